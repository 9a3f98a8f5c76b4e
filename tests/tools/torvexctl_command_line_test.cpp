// What torvexctl says about its command line: the word it does not know and the closest one it
// does, ranges in plain numbers, its version, and a help that README repeats.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

#include "module_exports.h"
#include "program_run.h"

namespace {

constexpr DWORD kUsage = 1;
constexpr DWORD kModuleMissing = 2;

std::string ReadFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return std::regex_replace(text.str(), std::regex("\r\n"), "\n");
}

}  // namespace

TEST(TorvexctlCommandLine, AnUnknownWordIsNamedWithTheClosestKnownOne) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"stauts"}, "unknown command \"stauts\"; did you mean \"status\"? (commands: list, status, watch,"},
        {{"status", "--jsn"},
         "unknown option \"--jsn\" for status; did you mean \"--json\"? (see torvexctl status --help)"},
        {{"mileage", "stp"}, "\"stp\" is not one of start, pause, resume, stop; did you mean \"stop\"?"},
        {{"status", "--query", "gpu.bus,thermal.t1"}, "unknown field \"thermal.t1\"; did you mean \"thermal_map.t1\"?"},
        {{}, "name a command: list, status, watch, mileage, sensors, doctor, qlxsw"},
    };
    for (const auto& [args, message] : cases) {
        const ProgramRun run = Torvexctl("static_board.json", args);
        EXPECT_EQ(kUsage, run.code) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("torvexctl: ")) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(message)) << run.err;
        EXPECT_EQ("", run.out);
    }
}

TEST(TorvexctlCommandLine, WaitsAndCountsOutsideTheirRangeAreRefusedWithTheRangeInPlainNumbers) {
    const char kSeconds[] = "is not a number of seconds from 0 to 86400 (one day)";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"watch", "--interval", "1e300"}, std::string("--interval: 1e300 ") + kSeconds},
        {{"watch", "--interval", "nan"}, std::string("--interval: nan ") + kSeconds},
        {{"watch", "--interval", "-0.5"}, std::string("--interval: -0.5 ") + kSeconds},
        {{"mileage", "start", "--gap", "inf"}, std::string("--gap: inf ") + kSeconds},
        {{"watch", "--count", "-1"}, "--count: -1 is not a whole number from 0 to 2147483647"},
        {{"qlxsw", "--watch", "--count", "1e3"}, "--count: 1e3 is not a whole number from 0 to 2147483647"},
    };
    for (const auto& [args, message] : cases) {
        const ProgramRun run = Torvexctl("static_board.json", args);
        EXPECT_EQ(kUsage, run.code) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(message)) << run.err;
    }
}

TEST(TorvexctlCommandLine, VersionGivesTheHeadersVersionAndTheDllsVersionResource) {
    const ProgramRun run = Torvexctl("static_board.json", {"--version"});
    ASSERT_EQ(0u, run.code) << run.err;
    EXPECT_EQ("torvexctl, built with TorvexModule.h " TORVEX_MODULE_VERSION_STRING
              "\nTorvexModule.dll " TORVEX_MODULE_VERSION_STRING ".0 (version resource of " +
                  ToUtf8(DefaultModulePath()) + ")\n",
              run.out);

    const ProgramRun missing =
        Torvexctl("static_board.json", {"--version", "--module", "C:\\nowhere\\TorvexModule.dll"});
    EXPECT_EQ(kModuleMissing, missing.code);
    EXPECT_NE(std::string::npos, missing.err.find("no version resource in C:\\nowhere\\TorvexModule.dll"))
        << missing.err;
}

// The vendor start-up in torvexctl's process unloads nvapi.dll and loads the AMD libraries, each
// a user of the bench, which says what is wrong with the scenario file once all the same.
TEST(TorvexctlCommandLine, TheBenchReportsAScenarioErrorOnce) {
    const ProgramRun run = Torvexctl("bad_bus.json", {"list"});
    EXPECT_EQ(3u, run.code);
    const std::string error = "torvexbench: TORVEX_BENCH_SCENARIO: scenario file ";
    const size_t first = run.err.find(error);
    ASSERT_NE(std::string::npos, first) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find(error, first + 1)) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Bench scenario: refusing to serve\n")) << run.out;
}

TEST(TorvexctlCommandLine, ReadmeListsTheCommandsAndExitCodesOfTheHelp) {
    const ProgramRun help = Torvexctl("static_board.json", {"--help"});
    ASSERT_EQ(0u, help.code) << help.err;
    const std::string readme = ReadFile(TORVEX_TOOLS_TEST_DATA "/../../README.md");
    ASSERT_FALSE(readme.empty());
    std::smatch exitCodes;
    ASSERT_TRUE(std::regex_search(help.out, exitCodes, std::regex("Exit codes: [^\n]*"))) << help.out;
    EXPECT_NE(std::string::npos, Flat(readme).find(exitCodes[0].str())) << "README lacks: " << exitCodes[0];
    const std::string commands = help.out.substr(help.out.find("Subcommands:"));
    const std::regex command("\n  ([a-z]+) ");
    int found = 0;
    for (std::sregex_iterator it(commands.begin(), commands.end(), command), end; it != end; ++it, ++found)
        EXPECT_NE(std::string::npos, readme.find("| `" + (*it)[1].str() + "`")) << "README lacks " << (*it)[1];
    EXPECT_EQ(7, found) << commands;
}
