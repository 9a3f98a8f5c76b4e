// A helper that misbehaves costs the host at most the module's bound on one exchange (1000 ms,
// kExchangeLimit) and never more than what its answer says: the real DLL against the bench's
// helper told to misbehave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"
#include "loaded_module.h"

namespace {

using Strings = std::vector<std::string>;

constexpr long long kExchangeLimitMs = 1000;
// What a loaded machine may add to a bounded wait before the module's thread runs again.
constexpr long long kSchedulingMarginMs = 500;

// Two fixed readings, 1.0 and 2.0, for key 1.
constexpr char kTwoReadings[] = R"("groups": [{"low": 1, "high": 1, "readings": [1000, 2000]}], "lively": false, )";

// The flag is set and the module has launched its helper (so that a query is one exchange only);
// then the helper is replaced, unknown to the module, by one serving by the helper section `members`.
void ReplaceRunningHelper(HelperBench& bench, const LoadedModule& module, const std::string& members) {
    bench.Serve("x86");
    uint8_t supported = 0;
    ASSERT_EQ(1, module->Check_QLXSW_Support(&supported));
    bench.Serve("x86");
    QLXSWPowerStatus status{};
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
    bench.EndServing();
    bench.SetHelper(members);
    bench.Serve("x86");
}

struct Query {
    int result;
    QLXSWPowerStatus status;
    long long ms;
};

Query AskFor1(const LoadedModule& module) {
    Query q{0, {}, 0};
    q.ms = Elapsed([&] { q.result = module->Get_QLXSW_PowerStatus(1, &q.status); });
    return q;
}

TEST(HelperMisbehaviour, AnAnswerThatComesTooLateOrNeverCountsAsERRORAfterTheBound) {
    struct Case {
        const char* misbehaviour;
        int result;  // "ERROR" is the list {14}, whose first group's header does not fit: -1
        const wchar_t* diagnostic;
    };
    const Case cases[] = {
        {R"("misbehave": {"kind": "slow", "ms": 200, "on": "g"})", 1, nullptr},
        {R"("misbehave": {"kind": "slow", "ms": 5000, "on": "g"})", -1, L"Helper pipe: no answer to 'g' within 1000 ms\n"},
        {R"("misbehave": {"kind": "silent", "on": "g"})", -1, L"Helper pipe: no answer to 'g' within 1000 ms\n"},
        {R"("misbehave": {"kind": "busy", "ms": 300})", 1, nullptr},
        {R"("misbehave": {"kind": "busy"})", -1, L"Helper pipe: still busy after 1000 ms, 'g' not sent\n"},
    };
    for (const Case& c : cases) {
        HelperBench bench("");
        LoadedModule module;
        ReplaceRunningHelper(bench, module, kTwoReadings + std::string(c.misbehaviour));
        DebugOutputCapture diagnostics;
        const Query q = AskFor1(module);
        EXPECT_EQ(c.result, q.result) << c.misbehaviour;
        EXPECT_LE(q.ms, kExchangeLimitMs + kSchedulingMarginMs) << c.misbehaviour;
        if (c.result == 1) {
            EXPECT_EQ(3.0f, q.status.fTotal) << c.misbehaviour;
        }
        if (c.diagnostic) {
            EXPECT_TRUE(diagnostics.Contains(c.diagnostic)) << c.misbehaviour;
        }
    }
}

TEST(HelperMisbehaviour, OnlyTheFirst511BytesOfAnAnswerUpToAZeroByteCount) {
    struct Case {
        const char* misbehaviour;
        int result;
    };
    const Case cases[] = {
        // Beyond the bytes the module reads, or after the zero byte, lies text that would make the
        // answer unconvertible (-5).
        {R"("misbehave": {"kind": "oversized", "on": "g"})", 1},
        {R"("misbehave": {"kind": "zero-byte", "on": "g"})", 1},
        {R"("misbehave": {"kind": "garbage", "on": "g"})", -5},
        // Closing without an answer gives the empty list.
        {R"("misbehave": {"kind": "hang-up", "on": "g"})", -6},
    };
    for (const Case& c : cases) {
        HelperBench bench("");
        LoadedModule module;
        ReplaceRunningHelper(bench, module, kTwoReadings + std::string(c.misbehaviour));
        const Query q = AskFor1(module);
        EXPECT_EQ(c.result, q.result) << c.misbehaviour;
        if (c.result == 1) {
            EXPECT_EQ(1.0f, q.status.fValue[0]) << c.misbehaviour;
            EXPECT_EQ(2, q.status.nCount) << c.misbehaviour;
        }
        EXPECT_LE(q.ms, kExchangeLimitMs + kSchedulingMarginMs) << c.misbehaviour;
    }

    // The 511th byte ends the last number read: its 503 zeros read 0, one byte more would read 1,
    // and the whole answer does not convert.
    HelperBench bench("");
    LoadedModule module;
    ReplaceRunningHelper(bench, module, R"("answer": "1,1,1,1,)" + std::string(503, '0') + R"(1,zz")");
    const Query q = AskFor1(module);
    EXPECT_EQ(1, q.result);
    EXPECT_EQ(0.0f, q.status.fValue[0]);
}

// The probe reads its answers the same way: "FALSE" beyond the 511th byte or after a zero byte is
// not seen, and an answer that never comes is "ERROR", which holds no "FALSE".
TEST(HelperMisbehaviour, TheProbeSeesOnlyWhatTheOneReadDeliversInTime) {
    const char* const misbehaviours[] = {
        R"("x86": {"device": true}, "misbehave": {"kind": "oversized", "on": "c"})",
        R"("x86": {"device": true}, "misbehave": {"kind": "zero-byte", "on": "c"})",
        R"("x86": {"device": false}, "misbehave": {"kind": "silent", "on": "c"})",
    };
    for (const char* misbehaviour : misbehaviours) {
        HelperBench bench(misbehaviour);
        LoadedModule module;
        bench.Serve("x86");
        uint8_t supported = 0;
        int result = 0;
        const long long ms = Elapsed([&] { result = module->Check_QLXSW_Support(&supported); });
        EXPECT_EQ(1, result) << misbehaviour;
        EXPECT_EQ(1, supported) << misbehaviour;
        // One launch (100 ms and the process start), then "c" and "x", each within the bound.
        EXPECT_LE(ms, 2 * kExchangeLimitMs + 100 + kSchedulingMarginMs) << misbehaviour;
        EXPECT_EQ(Strings({"x86 c", "x86 x"}), bench.Requests()) << misbehaviour;
    }
}

TEST(HelperMisbehaviour, AHelperThatNeverTakesItsLeaveHoldsTheReleaseOnlyForTheBound) {
    HelperBench bench(R"("misbehave": {"kind": "silent", "on": "x"})");
    LoadedModule module;
    bench.Serve("x86");
    int result = -99;
    const long long ms = Elapsed([&] { result = module->Exit_KIVO(); });
    EXPECT_EQ(0, result);
    EXPECT_LE(ms, kExchangeLimitMs + kSchedulingMarginMs);
    EXPECT_EQ(Strings({"x86 x"}), bench.Requests());
}

}  // namespace
