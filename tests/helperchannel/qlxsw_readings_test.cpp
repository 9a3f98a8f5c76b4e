// Torvex_Api_Get_QLXSW_PowerStatus and Torvex_Api_Exit_KIVO end to end: the real DLL questioning
// the bench's helper. (Host threads querying at once, which launch the helper once between them:
// tests/module/threads_test.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"
#include "poisoned.h"

namespace {

// A successful probe through a helper served for it, which leaves afterwards; then a helper serves
// the queries.
void ProbeThenServe(HelperBench& bench, const LoadedModule& module) {
    bench.Serve("x86");
    ASSERT_EQ(kPresent, Probe(module));
    bench.Serve("x86");
}

TEST(QLXSWReadings, OneLaunchServesEveryQueryUntilTheHelperIsReleased) {
    HelperBench bench(R"("groups": [{"low": 1, "high": 1, "readings": [12050, 65535, 450]},
                                     {"low": 2, "high": 9, "readings": [3300]}])");
    LoadedModule module;
    ProbeThenServe(bench, module);
    QLXSWPowerStatus first = Poisoned<QLXSWPowerStatus>(), second = first;
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &first));
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(9, &second));
    EXPECT_EQ(Strings({"x86", "x86"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x86 g", "x86 g"}), bench.Requests());

    // Lively readings stay within 5 % of the scenario's; a missing one reads 0.
    EXPECT_EQ(3, first.nCount);
    EXPECT_NEAR(12.05f, first.fValue[0], 12.05f * 0.05f);
    EXPECT_EQ(0.0f, first.fValue[1]);
    EXPECT_NEAR(0.45f, first.fValue[2], 0.45f * 0.05f);
    EXPECT_EQ(first.fValue[0] + first.fValue[1] + first.fValue[2], first.fTotal);
    EXPECT_EQ(0, first.nOverLimit);
    EXPECT_EQ(1, second.nCount);
    EXPECT_NEAR(3.3f, second.fValue[0], 3.3f * 0.05f);

    EXPECT_EQ(0, module->Exit_KIVO());
    EXPECT_EQ("x86 x", bench.Requests().back());
    bench.Serve("x86");
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &first));
    EXPECT_EQ(Strings({"x86", "x86", "x86"}), bench.Launches());
    EXPECT_EQ("x86 g", bench.Requests().back());
}

// Fills and refusals reach the caller as the fill and the parse decide them (their cases are checked
// natively; misbehaving helpers in helper_misbehaviour_test): a group short of its readings writes
// only its count and a zero sum into the caller's block, and a number beyond 32 bits is refused like
// any unconvertible answer, with nothing written.
TEST(QLXSWReadings, AShortGroupAndANumberBeyond32BitsReachTheCallersBlockAsDecided) {
    HelperBench bench(R"("answer": "1,1,1,3,1,2")");
    LoadedModule module;
    ProbeThenServe(bench, module);
    auto status = Poisoned<QLXSWPowerStatus>();
    EXPECT_EQ(-7, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(3, status.nCount);
    EXPECT_EQ(0.0f, status.fTotal);
    EXPECT_TRUE(Untouched(status.fValue[0], status.fValue[9], status.nOverLimit));

    module->Exit_KIVO();
    bench.SetHelper(R"("answer": "FFFFFFFFF")");
    bench.Serve("x86");
    status = Poisoned<QLXSWPowerStatus>();
    EXPECT_EQ(-5, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_TRUE(Untouched(status));
}

TEST(QLXSWReadings, KeysBelowOneAndAnUnprobedDeviceAreRefusedWithoutAskingTheHelper) {
    HelperBench bench("");
    LoadedModule module;
    bench.Serve("x86");
    QLXSWPowerStatus status = Poisoned<QLXSWPowerStatus>();
    EXPECT_EQ(-4, module->Get_QLXSW_PowerStatus(1, &status));
    EXPECT_EQ(-3, module->Get_QLXSW_PowerStatus(0, &status));
    EXPECT_EQ(-3, module->Get_QLXSW_PowerStatus(INT32_MIN, &status));
    EXPECT_TRUE(Untouched(status));
    EXPECT_TRUE(bench.Launches().empty());
    EXPECT_TRUE(bench.Requests().empty());

    // Letting the helper go needs no probe: "x" goes to whichever helper serves.
    EXPECT_EQ(0, module->Exit_KIVO());
    EXPECT_EQ(Strings({"x86 x"}), bench.Requests());
    EXPECT_TRUE(bench.Launches().empty());
}

}  // namespace
