// torvexctl: shows what TorvexModule.dll reports about the boards behind it, and drives the
// usage-time stopwatch.
#include <CLI/CLI.hpp>

#include <map>

#include "commands.h"
#include "doctor_command.h"
#include "exit_codes.h"
#include "sensors_command.h"
#include "qlxsw_command.h"

namespace {

const char kGpuHelp[] = "PCI bus number of a board to show (repeatable; default: the first board).";

const char kBoardsFooter[] =
    "Boards: the module cannot list its boards, so name them with --gpu by PCI bus number. A number "
    "that matches no board silently shows the module's first board. Without --gpu the first board "
    "is shown: torvexctl asks for GPU id -1, which no bus number equals, so the module answers with "
    "its first board.";

const char kFooter[] =
    "Exit codes: 0 ok, 1 bad command line, 2 TorvexModule.dll or one of its exports missing, "
    "3 the module has no board, 4 the module refused a mileage action or a sensor switch, "
    "5 the module could not catalogue the system sensors, 6 the QLXSW device was not found.";

const char kMileageHelp[] =
    "The stopwatch lives only as long as the module stays loaded "
    "in one process, so give the whole sequence at once, e.g. 'mileage start pause resume stop "
    "--gap 5': the actions run in order in this one process, --gap seconds apart, and the "
    "stopwatch state and reading are printed after each. start and resume request recording, "
    "pause requests paused, stop requests stopped (which clears the reading).";

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"torvexctl: reads the boards behind TorvexModule.dll."};
    app.footer(kFooter);
    app.require_subcommand(1);
    // Lets --module stand after the command name too.
    app.fallthrough();

    ModuleChoice module;
    app.add_option("--module", module.path, "TorvexModule.dll to load (default: the one beside torvexctl.exe)");

    StatusOptions status;
    CLI::App* statusCmd = app.add_subcommand("status", "Show every value the module reports for a board, with codes.");
    statusCmd->footer(std::string(kBoardsFooter) + "\n\n" + kFooter);
    statusCmd->add_option("--gpu", status.gpuIds, kGpuHelp);
    statusCmd->add_flag("--json", status.json, "One JSON document with values and codes, for scripts.");

    WatchOptions watch;
    CLI::App* watchCmd = app.add_subcommand("watch", "Show the status table again and again, in place.");
    watchCmd->footer(std::string(kBoardsFooter) + "\n\n" + kFooter);
    watchCmd->add_option("--gpu", watch.gpuIds, kGpuHelp);
    watchCmd->add_option("--interval", watch.intervalSeconds, "Seconds between refreshes.")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);
    watchCmd->add_option("--count", watch.count, "Number of refreshes; 0 runs until interrupted.")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);

    MileageOptions mileage;
    std::vector<std::string> actionNames;
    CLI::App* mileageCmd = app.add_subcommand(
        "mileage", "Start, pause, resume or stop the usage-time stopwatch, several actions in one run.");
    mileageCmd->footer(std::string(kMileageHelp) + "\n\n" + kFooter);
    mileageCmd->add_option("actions", actionNames, "start, pause, resume or stop; several run in order.")
        ->required()
        ->check(CLI::IsMember({"start", "pause", "resume", "stop"}));
    mileageCmd->add_option("--gpu", mileage.gpuId, "PCI bus number of the board (default: the first board).")
        ->capture_default_str();
    mileageCmd->add_option("--gap", mileage.gapSeconds, "Seconds to wait between actions.")
        ->capture_default_str()
        ->check(CLI::NonNegativeNumber);

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
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    }

    if (*statusCmd) return RunStatus(module, status);
    if (*watchCmd) return RunWatch(module, watch);
    if (*sensorsCmd) return RunSensors(module, sensors);
    if (*doctorCmd) return RunDoctor(module, doctor);
    if (*qlxswCmd) return RunQlxsw(module, qlxsw);
    const std::map<std::string, MileageAction> kActions = {{"start", MileageAction::Start},
                                                           {"pause", MileageAction::Pause},
                                                           {"resume", MileageAction::Resume},
                                                           {"stop", MileageAction::Stop}};
    for (const std::string& name : actionNames) mileage.actions.push_back(kActions.at(name));
    return RunMileage(module, mileage);
}
