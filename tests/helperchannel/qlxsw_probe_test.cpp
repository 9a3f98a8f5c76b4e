// Torvex_Api_Check_QLXSW_Support end to end: the real DLL probing the bench's helper builds.
#include <gtest/gtest.h>

#include <algorithm>
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

// The 64-bit build is asked only after the 32-bit one said "FALSE": the device counts as absent
// exactly when the answer contains "FALSE", case and place as given. The first build that reports
// the device is chosen for the reading queries, and the function check then sets the QLXSW bit.
TEST(QLXSWProbe, TheFirstBuildNotAnsweringFALSEIsChosenAndSetsTheCapabilityBit) {
    const struct {
        const char* helper;
        Strings asked;  // the builds asked, in turn
        std::pair<int, int> probed;
        uint32_t function;
    } cases[] = {
        {R"("x86": {"device": true})", {"x86"}, kPresent, 0x102},
        {R"("x86": {"device": false}, "x64": {"device": true})", {"x86", "x64"}, kPresent, 0x102},
        {R"("x86": {"check": "false"})", {"x86"}, kPresent, 0x102},
        {R"("x86": {"check": "ISFALSEX"}, "x64": {"check": "ISFALSEX"})", {"x86", "x64"}, {-1, 0}, 0x100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.helper);
        HelperBench bench(c.helper, {HelperBuild::X86, HelperBuild::X64}, kOldBoard);
        LoadedModule module;
        EXPECT_EQ(0x100u, FunctionAfterCheck(module, 0x100));
        bench.Serve(c.asked.size() == 1 ? "x86" : "x86,x64");
        EXPECT_EQ(c.probed, Probe(module));
        EXPECT_EQ(c.function, FunctionAfterCheck(module, 0x100));
        Strings launches = c.asked, requests;
        for (const std::string& build : c.asked) requests.insert(requests.end(), {build + " c", build + " x"});
        if (c.probed == kPresent) {
            // The reading query goes to the chosen build, launched once more.
            bench.Serve(c.asked.back().c_str());
            QLXSWPowerStatus status{};
            EXPECT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
            launches.push_back(c.asked.back());
            requests.push_back(c.asked.back() + " g");
        }
        std::sort(launches.begin(), launches.end());
        EXPECT_EQ(launches, bench.Launches());
        EXPECT_EQ(requests, bench.Requests());
    }
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
