// Torvex_Api_Get_QLXSW_PowerStatus and Torvex_Api_Exit_KIVO end to end: the real DLL questioning
// the bench's helper. (Host threads querying at once, which launch the helper once between them:
// tests/module/threads_test.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"
#include "poisoned.h"

namespace {

TEST(QLXSWReadings, OneLaunchServesEveryQueryUntilTheHelperIsReleased) {
    HelperBench bench(R"("groups": [{"low": 1, "high": 1, "readings": [12050, 65535, 450]},
                                     {"low": 2, "high": 9, "readings": [3300]}])");
    LoadedModule module;
    // Keys below one and an unprobed device are refused without asking the helper, and letting a
    // helper go that does not run is no failure.
    QLXSWPowerStatus first = Poisoned<QLXSWPowerStatus>(), second = first;
    EXPECT_EQ(-4, module->Get_QLXSW_PowerStatus(1, &first));
    EXPECT_EQ(-3, module->Get_QLXSW_PowerStatus(0, &first));
    EXPECT_EQ(-3, module->Get_QLXSW_PowerStatus(INT32_MIN, &first));
    EXPECT_TRUE(Untouched(first));
    EXPECT_EQ(0, module->Exit_KIVO());
    // A probe through a helper served for it, which leaves afterwards; then a helper serves the queries.
    bench.Serve("x86");
    ASSERT_EQ(kPresent, Probe(module));
    bench.Serve("x86");
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &first));
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(9, &second));
    EXPECT_EQ(Strings({"x86", "x86"}), bench.Launches());
    EXPECT_EQ(Strings({"x86 c", "x86 x", "x86 g", "x86 g"}), bench.Requests());

    // Each key's group reaches the caller's block (lively readings stay within 5 % of the
    // scenario's); how the block is filled is checked natively, in power_block_test.
    EXPECT_EQ(3, first.nCount);
    EXPECT_NEAR(12.05f, first.fValue[0], 12.05f * 0.05f);
    EXPECT_EQ(1, second.nCount);
    EXPECT_NEAR(3.3f, second.fValue[0], 3.3f * 0.05f);

    EXPECT_EQ(0, module->Exit_KIVO());
    EXPECT_EQ("x86 x", bench.Requests().back());
    bench.Serve("x86");
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &first));
    EXPECT_EQ(Strings({"x86", "x86", "x86"}), bench.Launches());
    EXPECT_EQ("x86 g", bench.Requests().back());
}

}  // namespace
