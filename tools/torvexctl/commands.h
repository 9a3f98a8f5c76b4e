// torvexctl's board commands. Each loads the module itself, prints to standard output (errors to
// standard error) and returns an ExitCode.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "board_output.h"
#include "module_exports.h"

struct ModuleChoice {
    std::string path;  // empty: TorvexModule.dll beside torvexctl.exe
};

// Loads the chosen module, its load-time lines sent to standard error; a failure is reported there.
std::optional<LoadedExports> OpenModule(const ModuleChoice& choice);
// "torvexctl: <text>" on standard error.
void PrintError(const std::string& text);
// Writes to standard output at once, so that a watching user sees each frame when it is made.
void Print(const std::string& text);
// "TorvexModule: <path>" and, on the bench, the scenario's name: the lines each command starts with.
std::string HeaderLines(const LoadedExports& module);

// The boards a command shows.
struct BoardSelection {
    std::vector<int> gpuIds;     // empty: every board
    bool allowFallback = false;  // show the first board for an id that matches no board
};

struct StatusOptions {
    BoardSelection boards;
    bool json = false;
    FieldQuery query;
};

struct WatchOptions {
    BoardSelection boards;
    double intervalSeconds = 1.0;
    int count = 0;  // 0: until interrupted
    bool json = false;
    bool csv = false;
    FieldQuery query;
};

enum class MileageAction { Start, Pause, Resume, Stop };

struct MileageOptions {
    BoardSelection board;  // at most one id; none: the first board
    std::vector<MileageAction> actions;
    double gapSeconds = 1.0;
};

int RunStatus(const ModuleChoice& module, const StatusOptions& options);
int RunWatch(const ModuleChoice& module, const WatchOptions& options);
int RunMileage(const ModuleChoice& module, const MileageOptions& options);
