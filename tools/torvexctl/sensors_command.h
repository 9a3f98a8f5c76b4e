// torvexctl sensors: the PC's own sensors as the module catalogues them.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "commands.h"

struct SensorsOptions {
    int firstNumber = 0;       // the number of the first sensor (used when above 0)
    std::string match;         // show only sensors whose display name, device or category holds it
    bool json = false;
    std::string csvPath;       // log readings to this file instead of showing them
    double intervalSeconds = 1.0;
    int count = 1;             // rows of the log
    std::vector<std::string> disable;  // display names of sensors to stop re-reading
    std::vector<std::string> enable;
};

// The command's options, and what its help says besides them.
void AddSensorsOptions(CLI::App& command, SensorsOptions& options);
extern const char kSensorsHelp[];

int RunSensors(const ModuleChoice& module, const SensorsOptions& options);
