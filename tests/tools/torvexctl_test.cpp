// torvexctl as a user runs it: a separate process under Wine, against bench machines described by
// the scenario files beside this test.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "module_exports.h"
#include "run_program.h"

using nlohmann::json;

namespace {

// Exit codes as torvexctl documents them in --help.
constexpr DWORD kModuleMissing = 2;
constexpr DWORD kNoBoard = 3;
constexpr DWORD kRefused = 4;

std::string Scenario(const char* name) { return std::string(TORVEX_TOOLS_TEST_DATA "/") + name; }

// Runs bin/torvexctl.exe on the machine of the given scenario file.
ProgramRun Torvexctl(const std::string& scenario, const std::vector<std::string>& args) {
    SetEnvironmentVariableW(L"TORVEX_BENCH_SCENARIO", FromUtf8(scenario).c_str());
    return RunProgram(BesideRunningProgram(L"torvexctl.exe"), args);
}

// The text after a row label up to the end of its line, e.g. Row(out, "total") in the power block.
std::string RowAfter(const std::string& text, const std::string& section, const std::string& label) {
    size_t at = text.find("\n  " + section);
    if (at == std::string::npos) return "<no section " + section + ">";
    at = text.find("\n    " + label + " ", at);
    if (at == std::string::npos) return "<no row " + label + ">";
    size_t begin = text.find_first_not_of(' ', at + 5 + label.size());
    return text.substr(begin, text.find('\n', begin) - begin);
}

// Cells of a row separated by runs of blanks.
std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::regex spaces(" {2,}");
    for (std::sregex_token_iterator it(row.begin(), row.end(), spaces, -1), end; it != end; ++it) cells.push_back(*it);
    return cells;
}

using Strings = std::vector<std::string>;

// The module computes in 32-bit floats; the JSON carries each float's shortest decimal form.
void ExpectFloats(const std::vector<double>& expected, const json& actual) {
    ASSERT_TRUE(actual.is_array()) << actual.dump();
    ASSERT_EQ(expected.size(), actual.size()) << actual.dump();
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(expected[i], actual[i].get<double>(), 1e-4) << i;
}

}  // namespace

// The static board: firmware 0x0511, capability byte 0x07, fixed temperatures, channels, counters
// and tilt registers; nothing moves.
TEST(TorvexctlStatus, TableShowsEveryValueOfTheNamedBoard) {
    ProgramRun run = Torvexctl(Scenario("static_board.json"), {"status", "--gpu", "1"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    const std::string& t = run.out;
    EXPECT_NE(std::string::npos, t.find("Board: GPU on bus 1 (GPU id 1)")) << t;
    EXPECT_NE(std::string::npos, t.find("matches no board shows the first board")) << t;
    EXPECT_EQ("0x0511", RowAfter(t, "Controller", "firmware version"));
    EXPECT_EQ("0x7  usage-time totals, power status, thermal map", RowAfter(t, "Controller", "capabilities"));
    EXPECT_EQ("supported", RowAfter(t, "Controller", "controller check"));
    EXPECT_EQ("present", RowAfter(t, "Controller", "tilt sensor"));
    EXPECT_EQ((Strings{"41.0", "35.5", "30.5", "55.5"}), Cells(RowAfter(t, "Thermal map", "temperatures")));
    EXPECT_EQ((Strings{"5.000", "6.500", "0.250", "12.000", "0.000", "1.234"}),
              Cells(RowAfter(t, "Power connectors", "readings")));
    EXPECT_EQ("24.984", RowAfter(t, "Power connectors", "total"));
    EXPECT_EQ("0", RowAfter(t, "Power connectors", "over limit"));
    EXPECT_EQ((Strings{"3600", "120", "7"}), Cells(RowAfter(t, "Usage time", "total")));
    EXPECT_EQ((Strings{"0", "0", "0"}), Cells(RowAfter(t, "Usage time", "latest (since load)")));
    EXPECT_EQ((Strings{"0", "0", "0"}), Cells(RowAfter(t, "Usage time", "manual (stopwatch)")));
    EXPECT_EQ("stopped", RowAfter(t, "Usage time", "recorder state"));
    EXPECT_EQ((Strings{"4096", "0", "0"}), Cells(RowAfter(t, "Tilt", "raw")));
    EXPECT_EQ((Strings{"90.00", "0.00", "90.00"}), Cells(RowAfter(t, "Tilt", "angle (deg)")));
    EXPECT_EQ((Strings{"90.00", "0.00", "90.00"}), Cells(RowAfter(t, "Tilt", "filtered (deg)")));
    EXPECT_EQ("100001", RowAfter(t, "Tilt", "status bits 5..0"));
}

TEST(TorvexctlStatus, JsonOfTheFirstBoardCarriesValuesAndCodes) {
    ProgramRun run = Torvexctl(Scenario("static_board.json"), {"status", "--json"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    json doc = json::parse(run.out);
    ASSERT_EQ(1u, doc["boards"].size());
    const json& b = doc["boards"][0];
    EXPECT_EQ(-1, b["gpu_id"]);
    EXPECT_EQ("first board", b["label"]);
    EXPECT_EQ(0, b["function_support"]["code"]);
    EXPECT_EQ(0x0511, b["function_support"]["firmware_version"]);
    EXPECT_EQ(7, b["function_support"]["capabilities"]);
    EXPECT_EQ(1, b["tilt_sensor"]["code"]);
    EXPECT_EQ(true, b["tilt_sensor"]["present"]);
    ExpectFloats({41.0, 35.5, 30.5, 55.5}, b["thermal_map"]["temperatures"]);
    ExpectFloats({5.0, 6.5, 0.25, 12.0, 0.0, 1.234}, b["power"]["channels"]);
    ExpectFloats({24.984}, json::array({b["power"]["total"]}));
    EXPECT_EQ((std::vector<uint32_t>{3600, 120, 7}), b["mileage"]["total"]["counters"].get<std::vector<uint32_t>>());
    EXPECT_EQ(2, b["mileage"]["state"]["value"]);
    EXPECT_EQ((std::vector<int>{4096, 0, 0}), b["tilt"]["raw"].get<std::vector<int>>());
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 0, 1}), b["tilt"]["status_bits"].get<std::vector<int>>());
    ExpectFloats({90.0, 0.0, 90.0}, b["tilt"]["angles"]);
    ExpectFloats({90.0, 0.0, 90.0}, b["tilt"]["filtered_angles"]);
}

// Firmware 0x0400 that identifies itself, no capability bits, no tilt sensor: the controller
// answers the stopwatch, while the capability-gated values and the tilt data are refused. The
// module prints a line of its own while it probes such a controller; the JSON must stay parseable.
TEST(TorvexctlStatus, RefusedValuesShowTheirCodeInTableAndJson) {
    ProgramRun table = Torvexctl(Scenario("old_firmware_board.json"), {"status"});
    ASSERT_EQ(0u, table.exitCode) << table.err;
    const std::string& t = table.out;
    EXPECT_NE(std::string::npos, t.find("Board: first board (GPU id -1)")) << t;
    EXPECT_NE(std::string::npos, t.find("without --gpu the board shown is the module's first one")) << t;
    EXPECT_EQ("n/a (-1)", RowAfter(t, "Controller", "firmware version"));
    EXPECT_EQ("not supported (-1)", RowAfter(t, "Controller", "controller check"));
    EXPECT_EQ("absent", RowAfter(t, "Controller", "tilt sensor"));
    EXPECT_EQ("n/a (-1)", RowAfter(t, "Thermal map", "temperatures"));
    EXPECT_EQ("n/a (-1)", RowAfter(t, "Power connectors", "readings"));
    EXPECT_EQ("n/a (-1)", RowAfter(t, "Usage time", "total"));
    EXPECT_EQ((Strings{"0", "0", "0"}), Cells(RowAfter(t, "Usage time", "latest (since load)")));
    EXPECT_EQ("stopped", RowAfter(t, "Usage time", "recorder state"));
    EXPECT_EQ("n/a (-1)", RowAfter(t, "Tilt", "raw"));

    ProgramRun js = Torvexctl(Scenario("old_firmware_board.json"), {"status", "--json"});
    ASSERT_EQ(0u, js.exitCode) << js.err;
    const json b = json::parse(js.out)["boards"][0];
    EXPECT_EQ(-1, b["function_support"]["code"]);
    EXPECT_TRUE(b["function_support"]["firmware_version"].is_null());
    EXPECT_EQ(-1, b["thermal_map"]["code"]);
    EXPECT_TRUE(b["thermal_map"]["temperatures"].is_null());
    EXPECT_EQ(-1, b["power"]["code"]);
    EXPECT_TRUE(b["power"]["channels"].is_null());
    EXPECT_TRUE(b["mileage"]["total"]["counters"].is_null());
    EXPECT_EQ(0, b["mileage"]["latest"]["code"]);
    EXPECT_EQ(0, b["tilt_sensor"]["code"]);
    EXPECT_EQ(false, b["tilt_sensor"]["present"]);
    EXPECT_EQ(-1, b["tilt"]["code"]);
    EXPECT_TRUE(b["tilt"]["raw"].is_null());
}

TEST(TorvexctlStatus, MachineWithoutBoardExitsWithNoBoard) {
    ProgramRun run = Torvexctl(Scenario("no_gpu.json"), {"status"});
    EXPECT_EQ(kNoBoard, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("the module has no board")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("Board:")) << run.out;
}

TEST(TorvexctlLoad, MissingDllIsNamedWithItsWindowsError) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"torvexctl-alone-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::wstring exe = folder + L"\\torvexctl.exe";
    ASSERT_TRUE(CopyFileW(BesideRunningProgram(L"torvexctl.exe").c_str(), exe.c_str(), FALSE));

    ProgramRun run = RunProgram(exe, {"status"});
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());

    EXPECT_EQ(kModuleMissing, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("cannot load " + ToUtf8(folder) + "\\TorvexModule.dll")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("Windows error 126")) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
}

TEST(TorvexctlLoad, DllWithoutTheExportsNamesTheFirstMissingOne) {
    ProgramRun run =
        Torvexctl(Scenario("static_board.json"), {"status", "--module", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_EQ(kModuleMissing, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("does not export Torvex_Api_Check_Function_Support")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("Windows error 127")) << run.err;
}

// start/resume request recording, pause paused, stop stopped; a refused action sets exit code 4
// and the remaining actions still run.
TEST(TorvexctlMileage, ActionsRunInOrderInOneProcess) {
    ProgramRun run = Torvexctl(Scenario("static_board.json"),
                               {"mileage", "start", "pause", "resume", "stop", "pause", "--gap", "0"});
    EXPECT_EQ(kRefused, run.exitCode) << run.err;
    std::regex line(R"(\n +(?:[0-9.]+ s)? +(\w+) +(ok|refused \(-?\d+\))? *state (\w+) +reading (\d+ \d+ \d+))");
    std::vector<std::string> steps;
    for (std::sregex_iterator it(run.out.begin(), run.out.end(), line), end; it != end; ++it)
        steps.push_back((*it)[1].str() + ":" + (*it)[2].str() + ":" + (*it)[3].str() + ":" + (*it)[4].str());
    EXPECT_EQ((Strings{"before::stopped:0 0 0", "start:ok:recording:0 0 0", "pause:ok:paused:0 0 0",
                       "resume:ok:recording:0 0 0", "stop:ok:stopped:0 0 0", "pause:refused (-1):stopped:0 0 0"}),
              steps)
        << run.out;
    EXPECT_NE(std::string::npos, run.err.find("refused")) << run.err;
}

// Without a console there is nothing to redraw: the frames follow each other.
TEST(TorvexctlWatch, FramesToAPipeFollowEachOtherAfterABlankLine) {
    ProgramRun run = Torvexctl(Scenario("static_board.json"), {"watch", "--interval", "0", "--count", "3"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ(0u, run.out.find("frame 1 of 3\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\n\nframe 2 of 3\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("\n\nframe 3 of 3\n")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("frame 4")) << run.out;
}
