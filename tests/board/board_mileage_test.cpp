// The usage-time stopwatch driven through the exports while the controller's counters move.
#include <gtest/gtest.h>

#include <array>

#include "board_bench.h"
#include "debug_capture.h"
#include "loaded_module.h"
#include "poisoned.h"

namespace {

using Counters = std::array<uint32_t, 3>;

class Stopwatch {
public:
    explicit Stopwatch(const LoadedModule& module) : m_module(module) {}

    Counters Manual() {
        Counters c{};
        EXPECT_EQ(0, m_module->GetMileageLatestManual(1, &c[0], &c[1], &c[2]));
        return c;
    }
    int32_t State() {
        int32_t state = -7;
        EXPECT_EQ(0, m_module->GetMileageStatus(1, &state));
        return state;
    }
    int Request(int32_t state) { return m_module->SetMileage_Rec(1, state); }

private:
    const LoadedModule& m_module;
};

int CounterReads() { return CountReads(TakeLog(), 0, 0xC0); }

}  // namespace

TEST(BoardMileage, StopwatchAddsUpTheRecordedStretches) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}});
    DebugOutputCapture debug;
    LoadedModule module;
    Stopwatch watch(module);
    TakeLog();

    EXPECT_EQ(Stopped, watch.State());
    EXPECT_EQ(Counters({0, 0, 0}), watch.Manual());
    EXPECT_EQ(-1, watch.Request(Paused));
    EXPECT_EQ(0, watch.Request(Stopped));
    EXPECT_EQ(-1, watch.Request(3));
    EXPECT_EQ(-1, watch.Request(-1));
    EXPECT_EQ(Stopped, watch.State());
    EXPECT_EQ(0, CounterReads());

    SetCounters(0, 100, 200, 300);
    EXPECT_EQ(0, watch.Request(Recording));
    EXPECT_TRUE(debug.Contains(L"Stoped --> Recording : 100  | 200  |300\r\n"));
    EXPECT_EQ(0, watch.Request(Recording));  // already recording: the controller is not asked
    EXPECT_EQ(1, CounterReads());

    SetCounters(0, 110, 200, 305);
    EXPECT_EQ(0, watch.Request(Paused));
    EXPECT_TRUE(debug.Contains(L"Recording --->Paused : 10  | 0  |5\r\n"));
    EXPECT_TRUE(debug.Contains(L"Stoped T1 Reset : 110  | 200  |305 \r\n"));
    SetCounters(0, 999, 999, 999);
    EXPECT_EQ(Counters({10, 0, 5}), watch.Manual());
    EXPECT_EQ(Paused, watch.State());

    SetCounters(0, 150, 260, 305);
    EXPECT_EQ(0, watch.Request(Recording));
    SetCounters(0, 160, 260, 306);
    EXPECT_EQ(Counters({20, 0, 6}), watch.Manual());
    EXPECT_TRUE(debug.Contains(L"Manual Temp : 10  | 0  |1\r\n"));
    EXPECT_TRUE(debug.Contains(L"Manual Paused : 10  | 0  |5\r\n"));

    // The counters cannot be read while recording: no reading, nothing written.
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0xC0, 1, 0));
    Poisoned<uint32_t> a, b, c;
    EXPECT_EQ(-1, module->GetMileageLatestManual(1, a.get(), b.get(), c.get()));
    EXPECT_TRUE(a.Untouched() && b.Untouched() && c.Untouched());

    // The stop export adds the running stretch without starting a new one, so a later reading
    // counts that stretch a second time.
    EXPECT_EQ(0, module->SetMileage_Rec_Stop(1));
    EXPECT_EQ(Recording, watch.State());
    EXPECT_EQ(Counters({30, 0, 7}), watch.Manual());

    TakeLog();
    EXPECT_EQ(0, watch.Request(Stopped));
    EXPECT_EQ(0, CounterReads());
    EXPECT_EQ(Counters({0, 0, 0}), watch.Manual());
    EXPECT_EQ(Stopped, watch.State());
}
