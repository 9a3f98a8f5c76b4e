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

// Loads the chosen module, its load-time lines sent to standard error; a failure is reported there.
std::optional<LoadedExports> OpenModule(const ModuleChoice& choice);
// "torvexctl: <text>" on standard error.
void PrintError(const std::string& text);

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

int RunStatus(const ModuleChoice& module, const StatusOptions& options);
int RunWatch(const ModuleChoice& module, const WatchOptions& options);
int RunMileage(const ModuleChoice& module, const MileageOptions& options);
