// Torvex_Api_Check_QLXSW_Support end to end: the real DLL probing the bench's helper builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"

namespace {

// One board whose controller firmware (0x04FF) is too old for the capability word: the function
// check answers -1 and leaves the pair alone, but for the QLXSW bit.
constexpr char kOldBoard[] =
    R"({"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x1E": [255, 4]}}}})";

// The function word the function check leaves in a pair that held `function`.
uint32_t FunctionAfterCheck(const LoadedModule& module, uint32_t function) {
    FunctionSupport pair{function, 7};
    EXPECT_EQ(-1, module->Check_Function_Support(1, &pair));
    EXPECT_EQ(7u, pair.nVersion);
    return pair.nFunction;
}

// The reading query (for key 1) answers 1 through the build the probe chose, launched once more.
void QueryRunsOn(HelperBench& bench, const LoadedModule& module, const char* build) {
    const size_t launches = bench.Launches().size(), requests = bench.Requests().size();
    bench.Serve(build);
    QLXSWPowerStatus status{};
    EXPECT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(launches + 1, bench.Launches().size());
    EXPECT_EQ(build, bench.Launches().back());
    EXPECT_EQ(requests + 1, bench.Requests().size());
    EXPECT_EQ(std::string(build) + " g", bench.Requests().back());
}

TEST(QLXSWProbe, The32BitBuildReportingTheDeviceChoosesItAndSetsTheCapabilityBit) {
    HelperBench bench(R"("x86": {"device": true})", {HelperBuild::X86, HelperBuild::X64}, kOldBoard);
    LoadedModule module;
    EXPECT_EQ(0x100u, FunctionAfterCheck(module, 0x100));
    bench.Serve("x86");
    EXPECT_EQ(kPresent, Probe(module));
    EXPECT_EQ(Strings({"x86"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x"}), bench.Requests());
    EXPECT_EQ(0x102u, FunctionAfterCheck(module, 0x100));
    QueryRunsOn(bench, module, "x86");
}

TEST(QLXSWProbe, The64BitBuildIsAskedOnlyAfterThe32BitOneSaidFalse) {
    HelperBench bench(R"("x86": {"device": false}, "x64": {"device": true})");
    LoadedModule module;
    bench.Serve("x86,x64");
    EXPECT_EQ(kPresent, Probe(module));
    EXPECT_EQ(Strings({"x86", "x64"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x64 c", "x64 x"}), bench.Requests());
    QueryRunsOn(bench, module, "x64");
}

// The device counts as absent exactly when the answer contains "FALSE", case and place as given.
TEST(QLXSWProbe, OnlyACaseSensitiveFALSEAnywhereInTheAnswerMeansAbsent) {
    HelperBench bench(R"("x86": {"check": "false"}, "x64": {"check": "ISFALSEX"})");
    LoadedModule module;
    bench.Serve("x86");
    EXPECT_EQ(kPresent, Probe(module));
    bench.SetHelper(R"("x86": {"check": "ISFALSEX"}, "x64": {"check": "ISFALSEX"})");
    bench.Serve("x86,x64");
    EXPECT_EQ(std::make_pair(-1, 0), Probe(module));
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x86 c", "x86 x", "x64 c", "x64 x"}), bench.Requests());
}

TEST(QLXSWProbe, AFailedProbeAfterASuccessfulOneKeepsTheFlagButForgetsTheBuild) {
    HelperBench bench("", {HelperBuild::X86, HelperBuild::X64}, kOldBoard);
    LoadedModule module;
    QLXSWPowerStatus status{};
    EXPECT_EQ(-4, module->Get_QLXSW_PowerStatus(1, &status));
    bench.Serve("x86");
    ASSERT_EQ(kPresent, Probe(module));
    bench.SetHelper(R"("x86": {"device": false}, "x64": {"device": false})");
    bench.Serve("x86,x64");
    EXPECT_EQ(std::make_pair(-1, 0), Probe(module));
    EXPECT_EQ(0x2u, FunctionAfterCheck(module, 0));

    // No build is chosen now: the list is {0}, and the helper is neither launched nor asked.
    const size_t launches = bench.Launches().size(), requests = bench.Requests().size();
    EXPECT_EQ(-6, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(launches, bench.Launches().size());
    EXPECT_EQ(requests, bench.Requests().size());
}

// With no helper installed and none running, every exchange answers "ERROR": no "FALSE" in it, so
// the device counts as present through the 32-bit build, whose reading list is then {14}.
TEST(QLXSWProbe, AHelperThatCannotBeReachedCountsAsPresent) {
    HelperBench bench("", {});
    LoadedModule module;
    EXPECT_EQ(kPresent, Probe(module));
    QLXSWPowerStatus status{};
    status.nCount = 77;
    EXPECT_EQ(-1, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(77, status.nCount);
}

// The helper's path is formed from a current directory of at most 255 characters; beyond that the
// helper counts as missing (no launch, no pause), while a helper that already runs still answers.
// A helper cannot be started from a path this long anyway, so only the module's own lines tell
// whether it tried.
TEST(QLXSWProbe, ACurrentDirectoryLongerThan255CharactersLaunchesNothing) {
    HelperBench bench(R"("x86": {"device": true})");
    std::string deep = bench.Folder().Root();
    while (deep.size() < 256) {
        deep += "\\" + std::string(std::min<size_t>(40, 256 - deep.size() - 1), 'd');
        // Beyond 248 characters a folder can be made only through the long-path form.
        CreateDirectoryW(FromUtf8("\\\\?\\" + deep).c_str(), nullptr);
    }
    ASSERT_EQ(256u, deep.size());
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str())) << deep;
    LoadedModule module;
    const DebugOutputCapture diagnostics;
    bench.Serve("x86");
    EXPECT_EQ(1, Probe(module).first);
    // No helper can start from here, so only the module's own lines can show that it tried.
    EXPECT_FALSE(diagnostics.Contains(L"Helper launch")) << "a launch was tried";
    EXPECT_EQ(Strings({"x86 c", "x86 x"}), bench.Requests());
}

}  // namespace
