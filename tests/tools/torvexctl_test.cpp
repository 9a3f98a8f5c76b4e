// torvexctl as a user runs it: a separate process under Wine, against bench machines described by
// the scenario files beside this test.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "module_exports.h"
#include "program_run.h"

using nlohmann::json;

namespace {

// Exit codes as torvexctl documents them in --help.
constexpr DWORD kModuleMissing = 2;
constexpr DWORD kNoBoard = 3;
constexpr DWORD kRefused = 4;

// The text with every run of blanks and line ends made one blank, so that a table compares
// without its column widths.
std::string Flat(const std::string& text) { return std::regex_replace(text, std::regex("\\s+"), " "); }

}  // namespace

// The static board: firmware 0x0511 with capability byte 0x07, fixed temperatures, channels,
// counters and tilt registers; nothing moves.
TEST(Torvexctl, StatusShowsEveryValueInTheTableAndTheJsonAndWatchRepeatsIt) {
    ProgramRun table = Torvexctl("static_board.json", {"status", "--gpu", "1"});
    ASSERT_EQ(0u, table.code) << table.err;
    EXPECT_NE(std::string::npos, Flat(table.out).find(
        "a number that matches no board shows the first board instead. Board: GPU on bus 1 (GPU id 1) Controller "
        "firmware version 0x0511 capabilities 0x7 usage-time totals, power status, thermal map controller check "
        "supported tilt sensor present Thermal map T1 T2 T3 T4 temperatures 41.0 35.5 30.5 55.5 Power connectors "
        "ch1 ch2 ch3 ch4 ch5 ch6 readings 5.000 6.500 0.250 12.000 0.000 1.234 total 24.984 over limit 0 Usage time "
        "first second third total 3600 120 7 latest (since load) 0 0 0 manual (stopwatch) 0 0 0 recorder state "
        "stopped Tilt X Y Z raw 4096 0 0 angle (deg) 90.00 0.00 90.00 filtered (deg) 90.00 0.00 90.00 status bits "
        "5..0 100001 ")) << table.out;

    // The JSON carries each 32-bit float in its shortest decimal form.
    ProgramRun js = Torvexctl("static_board.json", {"status", "--json"});
    ASSERT_EQ(0u, js.code) << js.err;
    EXPECT_EQ(json::parse(R"([{"gpu_id": -1, "label": "first board",
        "function_support": {"code": 0, "capabilities": 7, "firmware_version": 1297,
                             "capability_names": ["usage-time totals", "power status", "thermal map"]},
        "controller": {"code": 0, "supported": true}, "tilt_sensor": {"code": 1, "present": true},
        "thermal_map": {"code": 0, "temperatures": [41.0, 35.5, 30.5, 55.5]},
        "power": {"code": 0, "channels": [5.0, 6.5000005, 0.25, 12.000001, 0.0, 1.2340001], "total": 24.984,
                  "over_limit": 0},
        "mileage": {"total": {"code": 0, "counters": [3600, 120, 7]}, "latest": {"code": 0, "counters": [0, 0, 0]},
                    "manual": {"code": 0, "counters": [0, 0, 0]}, "state": {"code": 0, "value": 2, "name": "stopped"}},
        "tilt": {"code": 0, "raw": [4096, 0, 0], "angles": [90.00001, 0.0, 90.00001],
                 "filtered_angles": [90.00001, 0.0, 90.00001], "status_bits": [1, 0, 0, 0, 0, 1]}}])"),
              json::parse(js.out)["boards"]) << js.out;

    // Without a console there is nothing to redraw: the frames follow each other.
    ProgramRun watch = Torvexctl("static_board.json", {"watch", "--interval", "0", "--count", "3"});
    ASSERT_EQ(0u, watch.code) << watch.err;
    EXPECT_EQ(0u, watch.out.find("frame 1 of 3\nTorvexModule: ")) << watch.out;
    EXPECT_NE(std::string::npos, watch.out.find("100001\n\nframe 2 of 3\n")) << watch.out;
    EXPECT_NE(std::string::npos, watch.out.find("100001\n\nframe 3 of 3\n")) << watch.out;
    EXPECT_EQ(std::string::npos, watch.out.find("frame 4")) << watch.out;
}

// Firmware 0x0400 that identifies itself, no capability bits, no tilt sensor: the controller
// answers the stopwatch, while the capability-gated values and the tilt data are refused. The
// module prints a line of its own while it probes such a controller; the JSON must stay parseable.
TEST(Torvexctl, RefusedValuesShowTheirCodeInTableAndJson) {
    ProgramRun table = Torvexctl("old_firmware_board.json", {"status"});
    ASSERT_EQ(0u, table.code) << table.err;
    EXPECT_NE(std::string::npos, Flat(table.out).find(
        "without --gpu the board shown is the module's first one. Board: first board (GPU id -1) Controller "
        "firmware version n/a (-1) capabilities n/a (-1) controller check not supported (-1) tilt sensor absent "
        "Thermal map T1 T2 T3 T4 temperatures n/a (-1) Power connectors ch1 ch2 ch3 ch4 ch5 ch6 readings n/a (-1) "
        "total n/a (-1) over limit n/a (-1) Usage time first second third total n/a (-1) latest (since load) 0 0 0 "
        "manual (stopwatch) 0 0 0 recorder state stopped Tilt X Y Z raw n/a (-1) angle (deg) n/a (-1) "
        "filtered (deg) n/a (-1) ")) << table.out;

    ProgramRun js = Torvexctl("old_firmware_board.json", {"status", "--json"});
    ASSERT_EQ(0u, js.code) << js.err;
    EXPECT_EQ(json::parse(R"([{"gpu_id": -1, "label": "first board",
        "function_support": {"code": -1, "capabilities": null, "capability_names": null, "firmware_version": null},
        "controller": {"code": -1, "supported": false}, "tilt_sensor": {"code": 0, "present": false},
        "thermal_map": {"code": -1, "temperatures": null},
        "power": {"code": -1, "channels": null, "total": null, "over_limit": null},
        "mileage": {"total": {"code": -1, "counters": null}, "latest": {"code": 0, "counters": [0, 0, 0]},
                    "manual": {"code": 0, "counters": [0, 0, 0]}, "state": {"code": 0, "value": 2, "name": "stopped"}},
        "tilt": {"code": -1, "raw": null, "angles": null, "filtered_angles": null, "status_bits": null}}])"),
              json::parse(js.out)["boards"]) << js.out;
}

// start and resume request recording, pause paused, stop stopped; a refused action sets exit code
// 4 and the remaining actions still run.
TEST(Torvexctl, MileageActionsRunInOrderInOneProcess) {
    ProgramRun run =
        Torvexctl("static_board.json", {"mileage", "start", "pause", "resume", "stop", "pause", "--gap", "0"});
    EXPECT_EQ(kRefused, run.code) << run.err;
    EXPECT_EQ("Stopwatch of the first board (GPU id -1) before state stopped reading 0 0 0 start ok state recording "
              "reading 0 0 0 pause ok state paused reading 0 0 0 resume ok state recording reading 0 0 0 stop ok "
              "state stopped reading 0 0 0 pause refused (-1) state stopped reading 0 0 0 ",
              std::regex_replace(Flat(run.out), std::regex("[0-9.]+ s "), "")) << run.out;
    EXPECT_NE(std::string::npos, run.err.find("refused")) << run.err;
}

TEST(Torvexctl, MissingBoardOrModuleEndsWithItsExitCode) {
    ProgramRun noBoard = Torvexctl("no_gpu.json", {"status"});
    EXPECT_EQ(kNoBoard, noBoard.code);
    EXPECT_NE(std::string::npos, noBoard.err.find("the module has no board")) << noBoard.err;
    EXPECT_EQ(std::string::npos, noBoard.out.find("Board:")) << noBoard.out;

    ProgramRun noExports =
        Torvexctl("static_board.json", {"status", "--module", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_EQ(kModuleMissing, noExports.code);
    EXPECT_NE(std::string::npos, noExports.err.find("does not export Torvex_Api_Check_Function_Support"))
        << noExports.err;
    EXPECT_NE(std::string::npos, noExports.err.find("Windows error 127")) << noExports.err;

    // A copy of torvexctl in a folder of its own has no module beside it.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"torvexctl-alone-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::wstring exe = folder + L"\\torvexctl.exe";
    ASSERT_TRUE(CopyFileW(BesideRunningProgram(L"torvexctl.exe").c_str(), exe.c_str(), FALSE));
    ProgramRun alone = RunProgram(exe, {"status"});
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
    EXPECT_EQ(kModuleMissing, alone.code);
    EXPECT_NE(std::string::npos, alone.err.find("cannot load " + ToUtf8(folder) + "\\TorvexModule.dll")) << alone.err;
    EXPECT_NE(std::string::npos, alone.err.find("Windows error 126")) << alone.err;
    EXPECT_TRUE(alone.out.empty()) << alone.out;
}
