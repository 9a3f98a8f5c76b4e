#include "qlxsw_command.h"

#include <climits>
#include <cstdio>

#include "cli_words.h"
#include "commands.h"
#include "console.h"
#include "exit_codes.h"
#include "module_exports.h"
#include "number_text.h"
#include "qlxsw_view.h"

namespace {

const char kQlxswFooter[] =
    "The module asks the host application's helper process, Halvane.exe, which it starts from "
    "LIB\\x86_lib or LIB\\x64_lib below the current directory: run torvexctl from the host "
    "application's folder. The probe tries the 32-bit build first and the 64-bit build only when the "
    "32-bit one reports no device; a helper that cannot be reached counts as reporting it. Readings "
    "are asked for keys (--id); a key no group of the helper's list covers gives -1. The helper keeps "
    "running after a reading until released: torvexctl qlxsw --release.";

}  // namespace

CLI::App* AddQlxswCommand(CLI::App& app, QlxswOptions& options, const std::string& exitCodes) {
    CLI::App* command = app.add_subcommand("qlxsw", "Show whether the QLXSW device is there and its readings.");
    command->footer(kQlxswFooter + ("\n\n" + exitCodes));
    CLI::Option* ids = command->add_option("--id", options.ids, "Key to show readings for (repeatable; default 1).");
    CLI::Option* json = command->add_flag("--json", options.json, "One JSON document with values and codes.");
    CLI::Option* watch = command->add_flag("--watch", options.watch, "Show the readings again and again.");
    CLI::Option* interval = command->add_option("--interval", options.intervalSeconds, "Seconds between refreshes.")
                                ->capture_default_str()
                                ->check(SecondsRange());
    CLI::Option* count = command->add_option("--count", options.count, "Refreshes with --watch; 0 runs until interrupted.")
                             ->capture_default_str()
                             ->check(WholeRange(0, INT_MAX));
    command->add_flag("--release", options.release, "Only tell the helper to end (Torvex_Api_Exit_KIVO).")
        ->excludes(ids)
        ->excludes(json)
        ->excludes(watch);
    json->excludes(watch);
    interval->needs(watch);
    count->needs(watch);
    return command;
}

int RunQlxsw(const ModuleChoice& choice, const QlxswOptions& options) {
    std::optional<LoadedExports> module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    const ModuleExports& api = module->api();
    if (options.release) {
        Print("helper released (Torvex_Api_Exit_KIVO " + std::to_string(api.Exit_KIVO()) + ")\n");
        return kExitOk;
    }
    const std::vector<int32_t> ids = options.ids.empty() ? std::vector<int32_t>{1} : options.ids;
    const QlxswPresence presence = ProbeQlxsw(api);
    const std::string header = HeaderLines(*module);
    if (options.json) {
        Print(JsonText(QlxswToJson(ToUtf8(module->path()), presence, ReadQlxsw(api, ids)), 2) + "\n");
    } else if (!options.watch) {
        Print(header + RenderQlxswTable(presence, ReadQlxsw(api, ids)));
    } else {
        FramePrinter printer;
        for (int frame = 1; options.count == 0 || frame <= options.count; ++frame) {
            if (frame > 1) SleepSeconds(options.intervalSeconds);
            std::string text = "frame " + std::to_string(frame);
            if (options.count > 0) text += " of " + std::to_string(options.count);
            printer.Show(text + "\n" + header + RenderQlxswTable(presence, ReadQlxsw(api, ids)));
        }
    }
    return presence.present ? kExitOk : kExitNoQlxsw;
}
