// torvexctl qlxsw as a user runs it from the host application's folder: a separate process under
// Wine, whose module questions the bench's helper.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "helper_bench.h"
#include "loaded_module.h"
#include "program_run.h"

namespace {

using nlohmann::json;

// torvexctl.exe with `args`, in the current directory (the bench's host folder).
ProgramRun Torvexctl(const std::vector<std::string>& args) { return RunProgram(BesideTestProgram(L"torvexctl.exe"), args); }

TEST(TorvexctlQlxsw, ShowsPresenceTheBuildThatAnsweredAndTheReadingsThenReleasesTheHelper) {
    HelperBench bench(R"("x86": {"device": false}, "lively": false,
        "groups": [{"low": 1, "high": 1, "readings": [5000, 65535, 250]}])");
    // One helper answers the probe as the 32-bit build, then as the 64-bit one, then the query.
    bench.Serve("x86,x64,x64");
    const ProgramRun shown = Torvexctl({"qlxsw", "--json", "--id", "1", "--id", "2"});
    ASSERT_EQ(0u, shown.code) << shown.out;
    EXPECT_EQ(json::parse(R"({"code": 1, "meaning": "a helper reported the device, or could not be reached",
        "present": true, "helper_build": "x64", "readings": [
        {"id": 1, "code": 1, "meaning": "ok", "unit": "device units", "values": [5.0, 0.0, 0.25], "total": 5.25,
         "over_limit": 0, "count": 3},
        {"id": 2, "code": -1, "meaning": "no group of the helper's list covers this key", "unit": "device units",
         "values": null, "total": null, "over_limit": null, "count": null}]})"),
              json::parse(shown.out)["qlxsw"])
        << shown.out;

    const ProgramRun released = Torvexctl({"qlxsw", "--release"});
    EXPECT_EQ(0u, released.code);
    EXPECT_EQ("helper released (Torvex_Api_Exit_KIVO 0)\n", released.out);
    EXPECT_EQ("x64 x", bench.Requests().back());
}

TEST(TorvexctlQlxsw, AnAbsentDeviceIsSaidAndEndsWithItsOwnExitCode) {
    HelperBench bench(R"("x86": {"device": false}, "x64": {"device": false})");
    bench.Serve("x86,x64");
    const ProgramRun run = Torvexctl({"qlxsw"});
    EXPECT_EQ(6u, run.code);
    EXPECT_NE(std::string::npos,
              run.out.find("absent (-1: both helper builds reported the device absent), helper build unknown"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("n/a (-4: no presence check has found the device yet)")) << run.out;
}

}  // namespace
