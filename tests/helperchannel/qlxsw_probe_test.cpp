// Torvex_Api_Check_QLXSW_Support end to end: the real DLL probing the bench's helper builds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"
#include "loaded_module.h"

namespace {

// One board whose controller firmware (0x04FF) is too old for the capability word: the function
// check answers -1 and leaves the pair alone, but for the QLXSW bit.
constexpr char kOldBoard[] =
    R"({"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x1E": [255, 4]}}}})";

TEST(QLXSWProbe, The32BitBuildReportingTheDeviceChoosesItAndSetsTheCapabilityBit) {
    HelperBench bench(R"("x86": {"device": true})", {HelperBuild::X86, HelperBuild::X64}, kOldBoard);
    LoadedModule module;
    FunctionSupport pair{0x100, 7};
    ASSERT_EQ(-1, module->Check_Function_Support(1, &pair));
    EXPECT_EQ(0x100u, pair.nFunction);

    bench.Serve("x86");
    uint8_t supported = 0xEE;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(1, supported);
    EXPECT_EQ(Strings({"x86"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x"}), bench.Requests());

    ASSERT_EQ(-1, module->Check_Function_Support(1, &pair));
    EXPECT_EQ(0x102u, pair.nFunction);
    EXPECT_EQ(7u, pair.nVersion);

    // The reading query starts the build the probe chose.
    bench.Serve("x86");
    QLXSWPowerStatus status{};
    EXPECT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(Strings({"x86", "x86"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x86 g"}), bench.Requests());
}

TEST(QLXSWProbe, The64BitBuildIsAskedOnlyAfterThe32BitOneSaidFalse) {
    HelperBench bench(R"("x86": {"device": false}, "x64": {"device": true})");
    LoadedModule module;
    bench.Serve("x86,x64");
    uint8_t supported = 0;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(1, supported);
    EXPECT_EQ(Strings({"x86", "x64"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x64 c", "x64 x"}), bench.Requests());

    bench.Serve("x64");
    QLXSWPowerStatus status{};
    EXPECT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(Strings({"x86", "x64", "x64"}), bench.Launches());
    EXPECT_EQ("x64 g", bench.Requests().back());
}

// The device counts as absent exactly when the answer contains "FALSE", case and place as given.
TEST(QLXSWProbe, OnlyACaseSensitiveFALSEAnywhereInTheAnswerMeansAbsent) {
    HelperBench bench(R"("x86": {"check": "false"}, "x64": {"check": "ISFALSEX"})");
    LoadedModule module;
    uint8_t supported = 0;
    bench.Serve("x86");
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));

    bench.SetHelper(R"("x86": {"check": "ISFALSEX"}, "x64": {"check": "ISFALSEX"})");
    bench.Serve("x86,x64");
    EXPECT_EQ(-1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(0, supported);
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x86 c", "x86 x", "x64 c", "x64 x"}), bench.Requests());
}

TEST(QLXSWProbe, AFailedProbeAfterASuccessfulOneKeepsTheFlagButForgetsTheBuild) {
    HelperBench bench("", {HelperBuild::X86, HelperBuild::X64}, kOldBoard);
    LoadedModule module;
    QLXSWPowerStatus status{};
    EXPECT_EQ(-4, module->Get_QLXSW_PowerStatus(1, &status));

    bench.Serve("x86");
    uint8_t supported = 0;
    ASSERT_EQ(1, module->Check_QLXSW_Support(&supported));

    bench.SetHelper(R"("x86": {"device": false}, "x64": {"device": false})");
    bench.Serve("x86,x64");
    EXPECT_EQ(-1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(0, supported);
    FunctionSupport pair{0, 0};
    module->Check_Function_Support(1, &pair);
    EXPECT_EQ(0x2u, pair.nFunction);

    // No build is chosen now: the list is {0}, and the helper is neither launched nor asked.
    const size_t launches = bench.Launches().size();
    const size_t requests = bench.Requests().size();
    EXPECT_EQ(-6, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(launches, bench.Launches().size());
    EXPECT_EQ(requests, bench.Requests().size());
}

// With no helper installed and none running, every exchange answers "ERROR": no "FALSE" in it, so
// the device counts as present through the 32-bit build, whose reading list is then {14}.
TEST(QLXSWProbe, AHelperThatCannotBeReachedCountsAsPresent) {
    HelperBench bench("", {});
    LoadedModule module;
    uint8_t supported = 0;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(1, supported);

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
    uint8_t supported = 0;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(Strings{}, Launches(diagnostics));
    EXPECT_EQ(Strings({"x86 c", "x86 x"}), bench.Requests());
}

}  // namespace
