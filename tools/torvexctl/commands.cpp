#include "commands.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "board_snapshot.h"
#include "board_text.h"
#include "console.h"
#include "exit_codes.h"
#include "module_exports.h"
#include "render_json.h"
#include "render_table.h"

void PrintError(const std::string& text) { std::fprintf(stderr, "torvexctl: %s\n", text.c_str()); }

std::optional<LoadedExports> OpenModule(const ModuleChoice& choice) {
    ModuleLoadError error;
    std::optional<LoadedExports> loaded;
    {
        StdoutToStderr moduleLinesAside;
        loaded = LoadedExports::Load(choice.path.empty() ? DefaultModulePath() : FromUtf8(choice.path), error);
    }
    if (!loaded) PrintError(error.Describe());
    return loaded;
}

namespace {

void Print(const std::string& text) { std::fputs(text.c_str(), stdout); }

void ReportNoBoard() {
    PrintError("the module has no board: it found no GPU it can talk to, so every board export answers -1");
}

std::vector<int> BoardsToShow(const std::vector<int>& gpuIds) {
    return gpuIds.empty() ? std::vector<int>{kFirstBoard} : gpuIds;
}

std::vector<BoardSnapshot> ReadBoards(const ModuleExports& api, const std::vector<int>& gpuIds) {
    std::vector<BoardSnapshot> boards;
    for (int id : gpuIds) boards.push_back(ReadBoardSnapshot(api, id));
    return boards;
}

// All boards share the module's one registry: either it has boards or none of them is found.
bool AnyBoardFound(const std::vector<BoardSnapshot>& boards) {
    for (const BoardSnapshot& b : boards)
        if (b.BoardFound()) return true;
    return false;
}

std::string RenderTables(const std::string& modulePath, const std::vector<int>& ids,
                         const std::vector<BoardSnapshot>& boards) {
    std::string text = RenderHeader(modulePath, ids);
    for (const BoardSnapshot& b : boards) text += RenderBoardTable(b);
    return text;
}

const char* ActionName(MileageAction action) {
    switch (action) {
        case MileageAction::Start: return "start";
        case MileageAction::Pause: return "pause";
        case MileageAction::Resume: return "resume";
        case MileageAction::Stop: return "stop";
    }
    return "?";
}

int32_t RequestedState(MileageAction action) {
    switch (action) {
        case MileageAction::Start:
        case MileageAction::Resume: return Recording;
        case MileageAction::Pause: return Paused;
        case MileageAction::Stop: return Stopped;
    }
    return -1;
}

std::string StopwatchLine(const StopwatchSnapshot& s) {
    std::string state = s.state.valid ? RecorderStateName(s.state.value) : "n/a (" + std::to_string(s.state.code) + ")";
    std::string reading = s.reading.valid
                              ? std::to_string(s.reading.value[0]) + " " + std::to_string(s.reading.value[1]) + " " +
                                    std::to_string(s.reading.value[2])
                              : "n/a (" + std::to_string(s.reading.code) + ")";
    char text[160];
    std::snprintf(text, sizeof(text), "state %-10s reading %s\n", state.c_str(), reading.c_str());
    return text;
}

// One line of the mileage log: when, what was asked, the module's answer, then the stopwatch.
std::string ActionLine(const std::string& when, const char* action, const std::string& result,
                       const StopwatchSnapshot& after) {
    char head[96];
    std::snprintf(head, sizeof(head), "%9s  %-7s %-13s ", when.c_str(), action, result.c_str());
    return head + StopwatchLine(after);
}

}  // namespace

int RunStatus(const ModuleChoice& choice, const StatusOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    std::vector<int> ids = BoardsToShow(options.gpuIds);
    std::vector<BoardSnapshot> boards = ReadBoards(module->api(), ids);
    bool found = AnyBoardFound(boards);
    // Scripts get the document even without a board: the codes say what happened.
    if (options.json) Print(StatusToJson(ToUtf8(module->path()), boards).dump(2) + "\n");
    if (!found) {
        ReportNoBoard();
        return kExitNoBoard;
    }
    if (!options.json) Print(RenderTables(ToUtf8(module->path()), ids, boards));
    return kExitOk;
}

int RunWatch(const ModuleChoice& choice, const WatchOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    std::vector<int> ids = BoardsToShow(options.gpuIds);
    FramePrinter printer;
    for (int frame = 1; options.count == 0 || frame <= options.count; ++frame) {
        if (frame > 1) SleepSeconds(options.intervalSeconds);
        std::vector<BoardSnapshot> boards = ReadBoards(module->api(), ids);
        if (!AnyBoardFound(boards)) {
            ReportNoBoard();
            return kExitNoBoard;
        }
        std::string text = "frame " + std::to_string(frame);
        if (options.count > 0) text += " of " + std::to_string(options.count);
        text += "\n" + RenderTables(ToUtf8(module->path()), ids, boards);
        printer.Show(text);
    }
    return kExitOk;
}

int RunMileage(const ModuleChoice& choice, const MileageOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    const ModuleExports& api = module->api();

    uint8_t tiltPresent = 0;
    if (api.Check_GSensor_Support(options.gpuId, &tiltPresent) == -1) {
        ReportNoBoard();
        return kExitNoBoard;
    }
    Print("Stopwatch of the " + BoardLabel(options.gpuId) + " (GPU id " + std::to_string(options.gpuId) + ")\n");
    Print(ActionLine("", "before", "", ReadStopwatch(api, options.gpuId)));

    int exitCode = kExitOk;
    auto started = std::chrono::steady_clock::now();
    for (size_t i = 0; i < options.actions.size(); ++i) {
        if (i > 0) SleepSeconds(options.gapSeconds);
        MileageAction action = options.actions[i];
        int code = api.SetMileage_Rec(options.gpuId, RequestedState(action));
        double at = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::string result = code == 0 ? "ok" : "refused (" + std::to_string(code) + ")";
        char when[32];
        std::snprintf(when, sizeof(when), "%.1f s", at);
        Print(ActionLine(when, ActionName(action), result, ReadStopwatch(api, options.gpuId)));
        std::fflush(stdout);
        if (code != 0) exitCode = kExitRefused;
    }
    if (exitCode != kExitOk) PrintError("the module refused one or more actions (see above)");
    return exitCode;
}
