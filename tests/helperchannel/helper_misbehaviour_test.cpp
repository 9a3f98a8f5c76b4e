// A helper that misbehaves costs the host at most the module's bound on one exchange (1000 ms,
// kExchangeLimit) and never more than what its answer says: the real DLL against the bench's
// helper told to misbehave. The probe and the release go through the same exchange as the reading
// query, so its cases stand for theirs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"

namespace {

constexpr long long kExchangeLimitMs = 1000;
// What a loaded machine may add to a bounded wait before the module's thread runs again. Generous,
// since two busy cores can stall a Wine thread for over a second; the misbehaviours below last
// 5000 ms or for ever, so a wait without its bound still overshoots every limit here.
constexpr long long kSchedulingMarginMs = 2000;

// Two fixed readings, 1.0 and 2.0, for key 1.
const std::string kTwoReadings = R"("groups": [{"low": 1, "high": 1, "readings": [1000, 2000]}], "lively": false, )";

// The flag is set and the module has launched its helper (so that a query is one exchange only);
// then the helper is replaced, unknown to the module, by one serving by the helper section `members`.
void ReplaceRunningHelper(HelperBench& bench, const LoadedModule& module, const std::string& members) {
    bench.Serve("x86");
    ASSERT_EQ(kPresent, Probe(module));
    bench.Serve("x86");
    QLXSWPowerStatus status{};
    ASSERT_EQ(1, module->Get_QLXSW_PowerStatus(1, &status));
    bench.EndServing();
    bench.SetHelper(members);
    bench.Serve("x86");
}

TEST(HelperMisbehaviour, AReadingAnswerCountsOnlyAsFarAsItArrivesInTimeWithin511BytesBeforeAZero) {
    struct Case {
        std::string members;
        int result;
        float first, total;  // of a filled block
    };
    const Case cases[] = {
        // An answer that comes too late (or never) is "ERROR", the list {14}, whose first group's
        // header does not fit: -1.
        {kTwoReadings + R"("misbehave": {"kind": "slow", "ms": 200, "on": "g"})", 1, 1.0f, 3.0f},
        {kTwoReadings + R"("misbehave": {"kind": "slow", "ms": 5000, "on": "g"})", -1, 0, 0},
        // A busy pipe is not waited for, even when it would be free soon: "ERROR" as well.
        {kTwoReadings + R"("misbehave": {"kind": "busy", "ms": 800})", -1, 0, 0},
        {kTwoReadings + R"("misbehave": {"kind": "busy"})", -1, 0, 0},
        // After a zero byte lies text that would make the answer unconvertible (-5), as the
        // garbage itself does; for the bytes beyond those the module reads, see the last row.
        {kTwoReadings + R"("misbehave": {"kind": "zero-byte", "on": "g"})", 1, 1.0f, 3.0f},
        {kTwoReadings + R"("misbehave": {"kind": "garbage", "on": "g"})", -5, 0, 0},
        // Closing without an answer gives the empty list.
        {kTwoReadings + R"("misbehave": {"kind": "hang-up", "on": "g"})", -6, 0, 0},
        // The 511th byte ends the last number read: its 503 zeros read 0, one byte more would read
        // 1, and the whole answer does not convert.
        {R"("answer": "1,1,1,1,)" + std::string(503, '0') + R"(1,zz")", 1, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.members.substr(0, 160));
        HelperBench bench("");
        LoadedModule module;
        ReplaceRunningHelper(bench, module, c.members);
        int result = 0;
        QLXSWPowerStatus status{};
        const long long ms = Elapsed([&] { result = module->Get_QLXSW_PowerStatus(1, &status); });
        EXPECT_EQ(c.result, result);
        EXPECT_LE(ms, kExchangeLimitMs + kSchedulingMarginMs);
        if (c.result == 1) {
            EXPECT_EQ(c.first, status.fValue[0]);
            EXPECT_EQ(c.total, status.fTotal);
        }
    }
}

}  // namespace
