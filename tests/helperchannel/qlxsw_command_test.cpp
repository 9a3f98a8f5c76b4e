// torvexctl qlxsw as a user runs it from the host application's folder: a separate process under
// Wine, whose module questions the bench's helper.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "helper_bench.h"
#include "program_run.h"

namespace {

using nlohmann::json;

// torvexctl.exe with `args`, in the current directory (the bench's host folder).
ProgramRun Torvexctl(const Strings& args) { return RunProgram(BesideTestProgram(L"torvexctl.exe"), args); }

TEST(TorvexctlQlxsw, ShowsPresenceTheModulesLinesAndTheReadingsThenReleasesTheHelper) {
    HelperBench bench(R"("x86": {"device": false}, "lively": false,
        "groups": [{"low": 1, "high": 1, "readings": [5000, 65535, 250]}])");
    // One helper answers the probe as the 32-bit build, then as the 64-bit one, then the query.
    bench.Serve("x86,x64,x64");
    const ProgramRun shown = Torvexctl({"qlxsw", "--json", "--id", "1", "--id", "2"});
    ASSERT_EQ(0u, shown.code) << shown.out;
    json qlxsw = json::parse(shown.out)["qlxsw"];
    const json moduleLines = qlxsw["module_lines"];
    qlxsw.erase("module_lines");
    EXPECT_EQ(json::parse(R"({"code": 1, "meaning": "a helper reported the device, or could not be reached",
        "present": true, "readings": [
        {"id": 1, "code": 1, "meaning": "ok", "unit": "device units", "values": [5.0, 0.0, 0.25], "total": 5.25,
         "over_limit": 0, "count": 3},
        {"id": 2, "code": -1, "meaning": "no group of the helper's list covers this key", "unit": "device units",
         "values": null, "total": null, "over_limit": null, "count": null}]})"),
              qlxsw)
        << shown.out;

    const ProgramRun released = Torvexctl({"qlxsw", "--release"});
    EXPECT_EQ(0u, released.code);
    EXPECT_EQ("helper released (Torvex_Api_Exit_KIVO 0)\n", released.out);
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x64 c", "x64 x", "x64 g", "x64 g", "x64 x"}), bench.Requests());
    // torvexctl relays exactly what this process's copy of the module writes during the same probe.
    bench.Serve("x86,x64");
    LoadedModule module;
    const DebugOutputCapture diagnostics;
    Probe(module);
    Strings lines;
    for (const std::wstring& line : diagnostics.Lines()) lines.push_back(ToUtf8(line));
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(json(lines), moduleLines);
}

// The module's lines are relayed as in the JSON form above.
TEST(TorvexctlQlxsw, AnAbsentDeviceIsSaidAndEndsWithItsOwnExitCode) {
    HelperBench bench(R"("x86": {"device": false}, "x64": {"device": false})");
    bench.Serve("x86,x64");
    const ProgramRun run = Torvexctl({"qlxsw"});
    EXPECT_EQ(6u, run.code);
    EXPECT_TRUE(ContainsInOrder(run.out, {"QLXSW device\n",
                                          "    absent (-1: both helper builds reported the device absent)\n",
                                          "  Readings for key 1, in device units\n"
                                          "    n/a (-4: no presence check has found the device yet)\n"}));
}

}  // namespace
