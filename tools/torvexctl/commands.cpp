#include "commands.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "bench_scenario.h"
#include "board_choice.h"
#include "board_snapshot.h"
#include "board_text.h"
#include "code_meaning.h"
#include "console.h"
#include "exit_codes.h"
#include "gpu_listing.h"
#include "module_exports.h"
#include "number_text.h"
#include "render_table.h"

using json = nlohmann::ordered_json;

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

std::string HeaderLines(const LoadedExports& module) {
    return "TorvexModule: " + ToUtf8(module.path()) + "\n" + BenchScenarioLine();
}

void Print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

namespace {

// The module's boards as torvexctl can name them, or nothing with *exitCode set and the reason
// told: the module has no board, torvexctl's own discovery finds none, or an id names no board.
std::optional<std::vector<BoardTarget>> ModuleBoards(const ModuleExports& api, const BoardSelection& selection,
                                                     int* exitCode) {
    *exitCode = kExitNoBoard;
    // Any id reaches a board when there is one; this check refuses only when there is none.
    uint8_t present = 0;
    if (api.Check_GSensor_Support(-1, &present) == -1) {
        PrintError("the module has no board: it found no GPU it can talk to, so every board export answers -1");
        return std::nullopt;
    }
    const GpuListing listing = ListGpus();
    if (listing.gpus.empty()) {
        PrintError(
            "the module has a board, but the GPU discovery run in torvexctl's process finds no GPU, so "
            "torvexctl cannot tell which board it is");
        return std::nullopt;
    }
    const BoardChoice choice = ChooseBoards(listing, selection.gpuIds, selection.allowFallback);
    for (const std::string& note : choice.notes) PrintError(note);
    if (!choice.refusal.empty()) {
        PrintError(choice.refusal);
        *exitCode = kExitNoSuchBoard;
        return std::nullopt;
    }
    *exitCode = kExitOk;
    return choice.targets;
}

std::vector<BoardSnapshot> ReadBoards(const ModuleExports& api, const std::vector<BoardTarget>& targets) {
    std::vector<BoardSnapshot> boards;
    for (const BoardTarget& target : targets) boards.push_back(ReadBoardSnapshot(api, target.gpuId));
    return boards;
}

std::string RenderTables(const std::vector<BoardTarget>& targets, const std::vector<BoardSnapshot>& boards) {
    std::string text;
    for (size_t i = 0; i < targets.size(); ++i) text += RenderBoardTable(targets[i], boards[i]);
    return text;
}

json Document(const LoadedExports& module, const json& boards) {
    return {{"module", ToUtf8(module.path())}, {"bench_scenario", BenchScenarioJson()}, {"boards", boards}};
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

std::string StopwatchText(const StopwatchSnapshot& s) {
    const std::string state = s.state.valid ? RecorderStateName(s.state.value)
                                            : "n/a (" + CodeText(ModuleExport::GetMileageStatus, s.state.code) + ")";
    const std::string reading = s.reading.valid
                                    ? std::to_string(s.reading.value[0]) + " " + std::to_string(s.reading.value[1]) +
                                          " " + std::to_string(s.reading.value[2])
                                    : "n/a (" + CodeText(ModuleExport::GetMileageLatestManual, s.reading.code) + ")";
    char text[320];
    std::snprintf(text, sizeof(text), "state %-10s reading %s\n", state.c_str(), reading.c_str());
    return text;
}

// One line of the mileage log: when, what was asked, the module's answer, then the stopwatch.
std::string ActionLine(const std::string& when, const char* action, const std::string& result,
                       const StopwatchSnapshot& stopwatch) {
    char head[200];
    std::snprintf(head, sizeof(head), "%9s  %-7s %-4s ", when.c_str(), action, result.c_str());
    return head + StopwatchText(stopwatch);
}

}  // namespace

int RunStatus(const ModuleChoice& choice, const StatusOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    int exitCode = kExitOk;
    const auto targets = ModuleBoards(module->api(), options.boards, &exitCode);
    if (!targets) return exitCode;
    const std::vector<BoardSnapshot> boards = ReadBoards(module->api(), *targets);
    if (options.json) {
        Print(JsonText(Document(*module, BoardsJson(*targets, boards, options.query)), 2) + "\n");
    } else if (!options.query.empty()) {
        Print(CsvHeader(options.query) + CsvRows(LocalTimeText(), *targets, boards, options.query));
    } else {
        const Utf8Console utf8;
        Print(HeaderLines(*module) + RenderTables(*targets, boards));
    }
    return kExitOk;
}

int RunWatch(const ModuleChoice& choice, const WatchOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    int exitCode = kExitOk;
    const auto targets = ModuleBoards(module->api(), options.boards, &exitCode);
    if (!targets) return exitCode;
    const bool table = !options.json && !options.csv && options.query.empty();
    const Utf8Console utf8;
    FramePrinter printer;
    // The header once: at the top of the redrawn frame on a console, before the frames otherwise.
    const std::string header = table ? HeaderLines(*module) : std::string();
    if (!table && !options.json) Print(CsvHeader(options.query));
    if (table && !printer.InPlace()) Print(header + "\n");
    for (int frame = 1; options.count == 0 || frame <= options.count; ++frame) {
        if (frame > 1) SleepSeconds(options.intervalSeconds);
        const std::vector<BoardSnapshot> boards = ReadBoards(module->api(), *targets);
        const std::string time = LocalTimeText();
        if (options.json) {
            Print(
                JsonText({{"time", time}, {"frame", frame}, {"boards", BoardsJson(*targets, boards, options.query)}}) +
                "\n");
        } else if (!table) {
            Print(CsvRows(time, *targets, boards, options.query));
        } else {
            std::string text = "frame " + std::to_string(frame);
            if (options.count > 0) text += " of " + std::to_string(options.count);
            text += ", " + time + "\n" + RenderTables(*targets, boards);
            printer.Show(printer.InPlace() ? header + text : text);
        }
    }
    return kExitOk;
}

int RunMileage(const ModuleChoice& choice, const MileageOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    const ModuleExports& api = module->api();
    int exitCode = kExitOk;
    const auto targets = ModuleBoards(api, options.board, &exitCode);
    if (!targets) return exitCode;
    const BoardTarget& board = targets->front();

    Print(HeaderLines(*module) + "Stopwatch of " + BoardLabel(board) +
          "; its reading is the counters first, second and third, in controller units\n");
    Print(ActionLine("", "before", "", ReadStopwatch(api, board.gpuId)));
    auto started = std::chrono::steady_clock::now();
    const auto when = [&] {
        char text[32];
        std::snprintf(text, sizeof(text), "%.1f s",
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        return std::string(text);
    };
    for (size_t i = 0; i < options.actions.size(); ++i) {
        if (i > 0) SleepSeconds(options.gapSeconds);
        const MileageAction action = options.actions[i];
        // A stop clears the reading: it is shown first.
        if (action == MileageAction::Stop) Print(ActionLine(when(), "read", "", ReadStopwatch(api, board.gpuId)));
        const int code = api.SetMileage_Rec(board.gpuId, RequestedState(action));
        const std::string result = code == 0 ? "ok" : "refused (" + CodeText(ModuleExport::SetMileage_Rec, code) + ")";
        Print(ActionLine(when(), ActionName(action), result, ReadStopwatch(api, board.gpuId)));
        if (code != 0) exitCode = kExitRefused;
    }
    if (exitCode != kExitOk) PrintError("the module refused one or more actions (see above)");
    return exitCode;
}
