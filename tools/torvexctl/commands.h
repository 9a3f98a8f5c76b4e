// torvexctl's commands. Each loads the module itself, prints to standard output (errors to
// standard error) and returns an ExitCode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "module_exports.h"

struct ModuleChoice {
    std::string path;  // empty: TorvexModule.dll beside torvexctl.exe
};

struct StatusOptions {
    std::vector<int> gpuIds;  // empty: the module's first board
    bool json = false;
};

struct WatchOptions {
    std::vector<int> gpuIds;
    double intervalSeconds = 1.0;
    int count = 0;  // 0: until interrupted
};

enum class MileageAction { Start, Pause, Resume, Stop };

struct MileageOptions {
    int gpuId = -1;
    std::vector<MileageAction> actions;
    double gapSeconds = 1.0;
};

// Loads the module the choice names, keeping its load-time lines off standard output; on failure
// says why on standard error.
std::optional<LoadedExports> OpenModule(const ModuleChoice& choice);

int RunStatus(const ModuleChoice& module, const StatusOptions& options);
int RunWatch(const ModuleChoice& module, const WatchOptions& options);
int RunMileage(const ModuleChoice& module, const MileageOptions& options);
