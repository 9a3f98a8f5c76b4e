// The controller's readings as the host receives them: thermal map, power status with its cache
// of the last good block, and the usage-time counters.
#include <gtest/gtest.h>

#include <cstring>

#include "../card/float_bits.h"
#include "board_bench.h"
#include "loaded_module.h"
#include "poisoned.h"

namespace {

BoardSetup ReadingsBoard() {
    BoardSetup board = CapabilityBoard(0x511, 0x07);
    // Thermal words w0..w7: sensor 1 averages w2 and w5, sensor 2 w1 and w3 (w3 negative),
    // sensor 3 w0 and w7, sensor 4 is w4 (negative: left as it was).
    board.Set(0x60, {0x02, 0x8A, 0x00, 0x64, 0x01, 0x90, 0xFF, 0xEC, 0x80, 0x00, 0x01, 0xA4, 0x7F, 0xFF, 0x00, 0x00});
    // Power groups, the last two bytes of each a reading in thousandths; the last group first.
    board.Set(0x80, {0xEE, 0xEE, 0x30, 0x39, 0xEE, 0xEE, 0x27, 0x0F, 0xEE, 0xEE, 0x00, 0x2D,
                     0xEE, 0xEE, 0xC3, 0x50, 0xEE, 0xEE, 0x03, 0x09, 0xEE, 0xEE, 0x13, 0x88});
    // Counters 10, 20, 30, kept last first.
    board.Set(0xC0, {0, 0, 0, 30, 0, 0, 0, 20, 0, 0, 0, 10});
    return board;
}

}  // namespace

TEST(BoardReadings, ThermalMapAndCountersAreDecodedAndFailedReadsWriteNothing) {
    LoadNvidiaMachine({{1, ReadingsBoard()}});
    LoadedModule module;

    Poisoned<ThermalMap> map;
    ASSERT_EQ(0, module->GetThermalMap(1, map.get()));
    EXPECT_EQ(Bits(41.0f), Bits(map->fValue[0]));
    EXPECT_EQ(Bits(4.0f), Bits(map->fValue[1]));
    EXPECT_EQ(Bits(32.5f), Bits(map->fValue[2]));
    EXPECT_EQ(kPatternWord, Bits(map->fValue[3]));
    EXPECT_EQ(kPatternWord, Bits(map->fValue[4]));
    EXPECT_EQ(4, map->nCount);

    uint32_t a = 0, b = 0, c = 0;
    ASSERT_EQ(0, module->GetMileageTotalTime(1, &a, &b, &c));
    EXPECT_EQ(10u, a);
    EXPECT_EQ(20u, b);
    EXPECT_EQ(30u, c);
    // The advance since load wraps at 32 bits.
    SetCounters(0, 15, 20, 29);
    ASSERT_EQ(0, module->GetMileageLatestTime(1, &a, &b, &c));
    EXPECT_EQ(5u, a);
    EXPECT_EQ(0u, b);
    EXPECT_EQ(0xFFFFFFFFu, c);

    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x60, 1, 0));
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0xC4, 2, 0));
    Poisoned<ThermalMap> failedMap;
    Poisoned<uint32_t> x, y, z;
    EXPECT_EQ(-1, module->GetThermalMap(1, failedMap.get()));
    EXPECT_EQ(-1, module->GetMileageTotalTime(1, x.get(), y.get(), z.get()));
    EXPECT_EQ(-1, module->GetMileageLatestTime(1, x.get(), y.get(), z.get()));
    EXPECT_TRUE(failedMap.Untouched() && x.Untouched() && y.Untouched() && z.Untouched());
}

TEST(BoardReadings, PowerStatusBridgesTwoFailedReadsWithTheLastGoodBlock) {
    LoadNvidiaMachine({{1, ReadingsBoard()}});
    LoadedModule module;
    auto failNextRead = [] { ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x80, 1, 0)); };

    // Nothing to bridge with before the first good read.
    failNextRead();
    Poisoned<QLXSWPowerStatus> none;
    EXPECT_EQ(-2, module->GetPowerStatus(1, none.get()));
    EXPECT_TRUE(none.Untouched());

    Poisoned<QLXSWPowerStatus> good;
    ASSERT_EQ(0, module->GetPowerStatus(1, good.get()));
    // The decoding itself is checked natively; here only that the block arrives whole.
    EXPECT_EQ(Bits(5.0f), Bits(good->fValue[0]));
    EXPECT_EQ(0x4145851Fu, Bits(good->fValue[5]));
    EXPECT_EQ(kPatternWord, Bits(good->fValue[6]));
    EXPECT_EQ(6, good->nCount);

    // The cache holds the whole block as handed out, including the caller's untouched entries.
    for (int attempt = 0; attempt < 2; ++attempt) {
        failNextRead();
        QLXSWPowerStatus bridged;
        std::memset(&bridged, 0xEE, sizeof(bridged));
        EXPECT_EQ(0, module->GetPowerStatus(1, &bridged)) << "failure " << attempt + 1;
        EXPECT_EQ(0, std::memcmp(good.get(), &bridged, sizeof(bridged)));
    }
    failNextRead();
    Poisoned<QLXSWPowerStatus> exhausted;
    EXPECT_EQ(-2, module->GetPowerStatus(1, exhausted.get()));
    EXPECT_TRUE(exhausted.Untouched());

    // A good read in between starts the count again.
    QLXSWPowerStatus status{};
    EXPECT_EQ(0, module->GetPowerStatus(1, &status));
    failNextRead();
    EXPECT_EQ(0, module->GetPowerStatus(1, &status));
    EXPECT_EQ(0, module->GetPowerStatus(1, &status));
    failNextRead();
    EXPECT_EQ(0, module->GetPowerStatus(1, &status));
    failNextRead();
    EXPECT_EQ(0, module->GetPowerStatus(1, &status));
    failNextRead();
    EXPECT_EQ(-2, module->GetPowerStatus(1, &status));
}
