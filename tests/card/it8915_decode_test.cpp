#include "card/it8915_decode.h"

#include <gtest/gtest.h>

#include <cstring>

#include "test_values.h"

namespace {

void PutWord16(uint8_t* block, size_t offset, uint16_t word) {
    block[offset] = static_cast<uint8_t>(word >> 8);
    block[offset + 1] = static_cast<uint8_t>(word);
}

constexpr uint32_t kUntouched = 0xCDCDCDCD;

TEST(It8915Decode, PowerReadingsAreFloatProductsOfTheLastWordOfEachGroupInReverse) {
    uint8_t block[24];
    std::memset(block, 0xFF, sizeof(block));  // the unused bytes must not leak into any reading
    // 50000 * 0.001f is 50.0000038, above 50, so it and 65535 become 0.01; 49999 stays.
    const uint16_t words[6] = {1234, 50000, 3333, 49999, 65535, 45};
    for (int i = 0; i < 6; ++i) PutWord16(block, 22 - 4 * i, words[i]);

    QLXSWPowerStatus status;
    std::memset(&status, 0xCD, sizeof(status));
    StorePowerReadings(DecodePowerBlock(block), &status);
    // Each word times 0.001f, a float product: 1234 gives 1.23400009, not the float nearest 1.234.
    const uint32_t expected[6] = {0x3F9DF3B7u, Bits(0.01f), 0x40554FE0u, Bits(49.999f), Bits(0.01f), 0x3D3851ECu};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(i < 6 ? expected[i] : kUntouched, Bits(status.fValue[i])) << "entry " << i;
    // Summed left to right in 32-bit floats; double arithmetic would give 54.6310005.
    EXPECT_EQ(0x425A8624u, Bits(status.fTotal));
    EXPECT_EQ(0, status.nOverLimit);
    EXPECT_EQ(6, status.nCount);
}

TEST(It8915Decode, ThermalPairsAreAveragedInFloatAndAFourthSensorWithItsTopBitSetIsSkipped) {
    struct Case {
        int16_t words[8];
        uint32_t expected[4];
    };
    const Case cases[] = {
        // Word 6 is no temperature. (300 * 0.1f + 313 * 0.1f) * 0.5f in doubles would be 30.6499996.
        {{650, 300, 400, 313, 555, 420, 0x7FFF, 0}, {Bits(41.0f), 0x41F53334u, Bits(32.5f), Bits(55.5f)}},
        // Each word is a two's-complement reading on its own; a negative fourth one is not reported.
        {{-400, 100, -50, -20, INT16_MIN, -30, 0, 200}, {Bits(-4.0f), Bits(4.0f), Bits(-10.0f), kUntouched}},
        // Only the top bit decides: a zero fourth word is a reading of 0.
        {{0, 0, 0, 0, 0, 0, 0, 0}, {Bits(0.0f), Bits(0.0f), Bits(0.0f), Bits(0.0f)}},
    };
    for (const Case& c : cases) {
        uint8_t block[16];
        for (int i = 0; i < 8; ++i) PutWord16(block, 2 * i, static_cast<uint16_t>(c.words[i]));
        ThermalMap map;
        std::memset(&map, 0xCD, sizeof(map));
        DecodeThermalBlock(block, &map);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(i < 4 ? c.expected[i] : kUntouched, Bits(map.fValue[i])) << "entry " << i;
        }
        EXPECT_EQ(4, map.nCount);
    }
}

}  // namespace
