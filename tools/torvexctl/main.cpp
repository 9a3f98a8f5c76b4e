// torvexctl: shows what TorvexModule.dll reports about the boards behind it, and drives the
// usage-time stopwatch.
#include <CLI/CLI.hpp>

#include <climits>
#include <map>

#include "cli_words.h"
#include "commands.h"
#include "doctor_command.h"
#include "exit_codes.h"
#include "list_command.h"
#include "sensors_command.h"
#include "qlxsw_command.h"
#include "version_command.h"

namespace {

const char kGpuHelp[] =
    "PCI bus number of a board to show (repeatable; default: every board; torvexctl list shows them).";
const char kFallbackHelp[] =
    "For a --gpu number that matches no board, show the module's first board, labelled with its own bus.";

const char kBoardsFooter[] =
    "Boards: the module knows each board by its GPU's PCI bus number, and answers a number that "
    "matches no board with its first board. Without --gpu every board the module can address is "
    "shown under its own bus number, which torvexctl finds with the module's GPU discovery, run in "
    "torvexctl's own process (torvexctl list). A --gpu number that matches no board ends with exit "
    "code 7, unless --allow-fallback is given.\n\n"
    "Values: temperatures in degrees Celsius, tilt angles in degrees, raw tilt values in the sensor's "
    "counts; power readings and usage-time counters in controller units (the module passes the "
    "controller's values on, and the controller's firmware fixes their unit). Channels ch1..ch6 and "
    "the counters first, second, third are in the order the module's exports hand them over. A value "
    "the module did not give shows as n/a with its export's result code and what the code means; in "
    "JSON each group of values carries \"code\" and \"meaning\", and a value the export did not write "
    "is null.";

const char kFooter[] =
    "Exit codes: 0 ok, 1 bad command line, 2 TorvexModule.dll or one of its exports missing, "
    "3 the module has no board, 4 the module refused a mileage action or a sensor switch, "
    "5 the module could not catalogue the system sensors, 6 the QLXSW device was not found, "
    "7 a --gpu number matches no board.";

const char kMileageHelp[] =
    "The stopwatch lives only as long as the module stays loaded "
    "in one process, so give the whole sequence at once, e.g. 'mileage start pause resume stop "
    "--gap 5': the actions run in order in this one process, --gap seconds apart, and the "
    "stopwatch state and reading are printed after each. start and resume request recording, "
    "pause requests paused, stop requests stopped, which clears the reading: the reading just "
    "before a stop is printed first. Readings are the counters first, second and third, in "
    "controller units.";

// The boards' own footer, the --query fields and the exit codes.
std::string BoardsFooter() { return std::string(kBoardsFooter) + "\n\n" + QueryFieldsHelp() + "\n\n" + kFooter; }

CLI::Validator QueryField() {
    return CLI::Validator([](std::string& name) { return CheckQuery({name}); }, "");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"torvexctl: reads the boards behind TorvexModule.dll."};
    app.footer(kFooter);
    app.require_subcommand(0, 1);
    // Lets --module stand after the command name too.
    app.fallthrough();

    ModuleChoice module;
    app.add_option("--module", module.path, "TorvexModule.dll to load (default: the one beside torvexctl.exe)");
    bool showVersion = false;
    app.add_flag("--version", showVersion, "Show the module version torvexctl was built for and the DLL's version.");

    ListOptions list;
    CLI::App* listCmd = AddListCommand(app, list, kFooter);

    StatusOptions status;
    CLI::App* statusCmd =
        app.add_subcommand("status", "Show every value the module reports for the boards, with codes.");
    statusCmd->footer(BoardsFooter());
    statusCmd->add_option("--gpu", status.boards.gpuIds, kGpuHelp);
    statusCmd->add_flag("--allow-fallback", status.boards.allowFallback, kFallbackHelp);
    statusCmd->add_flag("--json", status.json, "One JSON document with values and codes, for scripts.");
    statusCmd->add_option("--query", status.query, "Only these fields, as CSV (or JSON with --json).")
        ->type_name("FIELD,...")
        ->delimiter(',')
        ->check(QueryField());

    WatchOptions watch;
    CLI::App* watchCmd = app.add_subcommand("watch", "Show the boards' values again and again.");
    watchCmd->footer(BoardsFooter());
    watchCmd->add_option("--gpu", watch.boards.gpuIds, kGpuHelp);
    watchCmd->add_flag("--allow-fallback", watch.boards.allowFallback, kFallbackHelp);
    watchCmd->add_option("--interval", watch.intervalSeconds, "Seconds between refreshes, 0 to 86400.")
        ->capture_default_str()
        ->check(SecondsRange());
    watchCmd->add_option("--count", watch.count, "Number of refreshes, 0 to 2147483647; 0 runs until interrupted.")
        ->capture_default_str()
        ->check(WholeRange(0, INT_MAX));
    CLI::Option* watchJson =
        watchCmd->add_flag("--json", watch.json, "One JSON object per line and refresh, with the time.");
    watchCmd->add_flag("--csv", watch.csv, "CSV: a header, then one line per board and refresh, time first.")
        ->excludes(watchJson);
    watchCmd->add_option("--query", watch.query, "Only these fields, as CSV (or JSON lines with --json).")
        ->type_name("FIELD,...")
        ->delimiter(',')
        ->check(QueryField());

    MileageOptions mileage;
    std::vector<std::string> actionNames;
    int mileageGpuId = 0;
    CLI::App* mileageCmd = app.add_subcommand(
        "mileage", "Start, pause, resume or stop the usage-time stopwatch, several actions in one run.");
    mileageCmd->footer(std::string(kMileageHelp) + "\n\n" + kBoardsFooter + "\n\n" + kFooter);
    mileageCmd->add_option("actions", actionNames, "start, pause, resume or stop; several run in order.")
        ->required()
        ->check(OneOf({"start", "pause", "resume", "stop"}));
    CLI::Option* mileageGpu =
        mileageCmd->add_option("--gpu", mileageGpuId, "PCI bus number of the board (default: the first board).");
    mileageCmd->add_flag("--allow-fallback", mileage.board.allowFallback, kFallbackHelp);
    mileageCmd->add_option("--gap", mileage.gapSeconds, "Seconds to wait between actions, 0 to 86400.")
        ->capture_default_str()
        ->check(SecondsRange());

    SensorsOptions sensors;
    CLI::App* sensorsCmd = app.add_subcommand("sensors", "Show the PC's own sensors, switch them, or log their readings.");
    AddSensorsOptions(*sensorsCmd, sensors);
    sensorsCmd->footer(std::string(kSensorsHelp) + "\n\n" + kFooter);

    DoctorOptions doctor;
    CLI::App* doctorCmd = app.add_subcommand(
        "doctor", "Show where the module looks for the vendor libraries, where it found them, and why it refused one.");
    doctorCmd->footer(kFooter);
    doctorCmd->add_flag("--json", doctor.json, "One JSON document, for a bug report or a script.");

    QlxswOptions qlxsw;
    CLI::App* qlxswCmd = AddQlxswCommand(app, qlxsw, kFooter);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help
        PrintError(DescribeParseError(app, e));
        return kExitUsage;
    }

    if (showVersion) return RunVersion(module);
    if (*listCmd) return RunList(list);
    if (*statusCmd) return RunStatus(module, status);
    if (*watchCmd) return RunWatch(module, watch);
    if (*sensorsCmd) return RunSensors(module, sensors);
    if (*doctorCmd) return RunDoctor(module, doctor);
    if (*qlxswCmd) return RunQlxsw(module, qlxsw);
    if (*mileageCmd) {
        const std::map<std::string, MileageAction> kActions = {{"start", MileageAction::Start},
                                                               {"pause", MileageAction::Pause},
                                                               {"resume", MileageAction::Resume},
                                                               {"stop", MileageAction::Stop}};
        for (const std::string& name : actionNames) mileage.actions.push_back(kActions.at(name));
        if (*mileageGpu) mileage.board.gpuIds = {mileageGpuId};
        return RunMileage(module, mileage);
    }
    PrintError(DescribeParseError(app, CLI::RequiredError("a command")));
    return kExitUsage;
}
