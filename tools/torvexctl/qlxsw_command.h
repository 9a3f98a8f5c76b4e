// torvexctl qlxsw: the QLXSW device through the module's helper channel.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <vector>

#include "commands.h"

struct QlxswOptions {
    std::vector<int32_t> ids;  // empty: key 1
    bool json = false;
    bool watch = false;
    double intervalSeconds = 1.0;
    int count = 0;  // frames with --watch; 0: until interrupted
    bool release = false;
};

// Registers the command and its options on `app`; `exitCodes` ends its help.
CLI::App* AddQlxswCommand(CLI::App& app, QlxswOptions& options, const std::string& exitCodes);
int RunQlxsw(const ModuleChoice& module, const QlxswOptions& options);
