// What torvexctl says about its command line and about runs it cannot carry out: the exit code
// --help documents, the word it does not know and the closest one it does, ranges in plain numbers,
// its version, and a help that README repeats.
#include <gtest/gtest.h>

#include <regex>

#include "module_exports.h"
#include "program_run.h"

namespace {

struct RefusedRun {
    const char* scenario;
    std::vector<std::string> args;
    DWORD code;
    std::string message;  // part of standard error
};

const char kSeconds[] = "is not a number of seconds from 0 to 86400 (one day)";
const char kCount[] = "is not a whole number from 0 to 2147483647";

const RefusedRun kRefusedRuns[] = {
    // Unknown words, each named with the closest known one.
    {"static_board.json", {"stauts"}, 1, "unknown command \"stauts\"; did you mean \"status\"? (commands: list,"},
    {"static_board.json", {"status", "--query", "gpu.bus,thermal.t1"}, 1,
     "unknown field \"thermal.t1\"; did you mean \"thermal_map.t1\"?"},
    {"static_board.json", {}, 1, "name a command: list, status, watch, mileage, sensors, doctor, qlxsw"},
    // Waits and counts outside their range, in plain numbers.
    {"static_board.json", {"watch", "--interval", "nan"}, 1, std::string("--interval: nan ") + kSeconds},
    {"static_board.json", {"watch", "--interval", "-0.5"}, 1, std::string("--interval: -0.5 ") + kSeconds},
    {"static_board.json", {"mileage", "start", "--gap", "inf"}, 1, std::string("--gap: inf ") + kSeconds},
    {"static_board.json", {"watch", "--count", "-1"}, 1, std::string("--count: -1 ") + kCount},
    {"static_board.json", {"qlxsw", "--watch", "--count", "1e3"}, 1, std::string("--count: 1e3 ") + kCount},
    // No module there, and a module that is not TorvexModule.
    {"static_board.json", {"status", "--module", "C:\\nowhere\\TorvexModule.dll"}, 2,
     "cannot load C:\\nowhere\\TorvexModule.dll (Windows error 126:"},
    {"static_board.json", {"status", "--module", "C:\\windows\\system32\\kernel32.dll"}, 2,
     "does not export Torvex_Api_Check_Function_Support (Windows error 127:"},
    // A machine without a board, a GPU id that matches none, no sensor SDK.
    {"no_gpu.json", {"status"}, 3, "the module has no board"},
    {"three_gpus.json", {"mileage", "start", "--gpu", "300"}, 7, "GPU id 300 matches no board"},
    {"three_gpus.json", {"status", "--gpu", "7", "--gpu", "300"}, 7,
     "GPU id 300 matches no board; the module would answer with its first board, GPU 0 on bus 3 (NVIDIA)"},
    {"static_board.json", {"sensors"}, 5, "the sensor SDK could not be loaded or started"},
};

}  // namespace

TEST(TorvexctlCommandLine, RefusedRunsEndWithTheirExitCodeAndSayWhyAndNothingElse) {
    // The sensor SDK is found relative to the current folder: this one has it, the scenario not.
    SetCurrentDirectoryW(FromUtf8(TORVEX_BENCH_BIN).c_str());
    for (const RefusedRun& refused : kRefusedRuns) {
        const ProgramRun run = Torvexctl(refused.scenario, refused.args);
        SCOPED_TRACE(refused.message);
        EXPECT_EQ(refused.code, run.code) << run.err;
        EXPECT_EQ(0u, run.err.find("torvexctl: ")) << run.err;
        EXPECT_TRUE(Contains(run.err, refused.message));
        EXPECT_EQ("", run.out);
    }
}

TEST(TorvexctlCommandLine, VersionGivesTheHeadersVersionAndTheDllsVersionResource) {
    const ProgramRun run = Torvexctl("static_board.json", {"--version"});
    ASSERT_EQ(0u, run.code) << run.err;
    EXPECT_EQ("torvexctl, built with TorvexModule.h " TORVEX_MODULE_VERSION_STRING
              "\nTorvexModule.dll " TORVEX_MODULE_VERSION_STRING ".0 (version resource of " +
                  ToUtf8(DefaultModulePath()) + ")\n",
              run.out);
}

TEST(TorvexctlCommandLine, ReadmeListsTheCommandsAndExitCodesOfTheHelp) {
    const ProgramRun help = Torvexctl("static_board.json", {"--help"});
    ASSERT_EQ(0u, help.code) << help.err;
    const std::string readme = ReadTextFile(FromUtf8(TORVEX_TOOLS_TEST_DATA "/../../README.md"));
    ASSERT_FALSE(readme.empty());
    std::smatch exitCodes;
    ASSERT_TRUE(std::regex_search(help.out, exitCodes, std::regex("Exit codes: [^\n]*"))) << help.out;
    EXPECT_TRUE(Contains(Flat(readme), exitCodes[0].str())) << "README lacks: " << exitCodes[0];
    const std::string commands = help.out.substr(help.out.find("Subcommands:"));
    const std::regex command("\n  ([a-z]+) ");
    int found = 0;
    for (std::sregex_iterator it(commands.begin(), commands.end(), command), end; it != end; ++it, ++found)
        EXPECT_TRUE(Contains(readme, "| `" + (*it)[1].str() + "`")) << "README lacks " << (*it)[1];
    EXPECT_EQ(7, found) << commands;
}
