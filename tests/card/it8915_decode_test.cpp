#include "it8915_decode.h"

#include <gtest/gtest.h>

#include <cstring>

#include "float_bits.h"

namespace {

template <size_t N>
void PutWord16(uint8_t (&block)[N], size_t offset, uint16_t word) {
    block[offset] = static_cast<uint8_t>(word >> 8);
    block[offset + 1] = static_cast<uint8_t>(word);
}

constexpr uint32_t kUntouched = 0xCDCDCDCD;

}  // namespace

TEST(MileageBlock, CountersAreBigEndianAndHandedOutLastFirst) {
    const uint8_t block[12] = {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03};
    const MileageCounters c = DecodeMileageBlock(block);
    EXPECT_EQ(3u, c.nFirst);
    EXPECT_EQ(2u, c.nSecond);
    EXPECT_EQ(1u, c.nThird);

    const uint8_t wide[12] = {0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0xFE, 0x80, 0x00, 0x00, 0x01};
    const MileageCounters w = DecodeMileageBlock(wide);
    EXPECT_EQ(0x80000001u, w.nFirst);
    EXPECT_EQ(0xFFFFFFFEu, w.nSecond);
    EXPECT_EQ(0x12345678u, w.nThird);
}

TEST(PowerBlock, ReadingsComeFromTheLastTwoBytesOfEachGroupInReverseOrder) {
    uint8_t block[24];
    std::memset(block, 0xFF, sizeof(block));  // the unused bytes must not leak into any reading
    const uint16_t words[6] = {1234, 777, 3333, 45, 9999, 12345};
    const size_t offsets[6] = {22, 18, 14, 10, 6, 2};
    for (int i = 0; i < 6; ++i) PutWord16(block, offsets[i], words[i]);

    QLXSWPowerStatus status;
    std::memset(&status, 0xCD, sizeof(status));
    StorePowerReadings(DecodePowerBlock(block), &status);

    // Each word times 0.001f, a float product: 1234 gives 1.23400009, not the float nearest 1.234.
    const uint32_t expected[6] = {0x3F9DF3B7u, 0x3F46E979u, 0x40554FE0u, 0x3D3851ECu, 0x411FFBE8u, 0x4145851Fu};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(expected[i], Bits(status.fValue[i])) << "reading " << i + 1;
    for (int i = 6; i < 10; ++i) EXPECT_EQ(kUntouched, Bits(status.fValue[i])) << "entry " << i;
    // Summed left to right in 32-bit floats; double arithmetic would give 27.7329998.
    EXPECT_EQ(0x41DDDD30u, Bits(status.fTotal));
    EXPECT_EQ(0, status.nOverLimit);
    EXPECT_EQ(6, status.nCount);
}

TEST(PowerBlock, ReadingsAboveFiftyBecomeOneHundredth) {
    uint8_t block[24] = {};
    PutWord16(block, 22, 0x1388);  // 5.000
    PutWord16(block, 18, 0xC34F);  // 49.999 stays
    PutWord16(block, 14, 0xC350);  // 50 * 0.001f is 50.0000038, above 50
    PutWord16(block, 10, 0xFFFF);

    QLXSWPowerStatus status{};
    StorePowerReadings(DecodePowerBlock(block), &status);
    EXPECT_EQ(Bits(5.0f), Bits(status.fValue[0]));
    EXPECT_EQ(Bits(49.999f), Bits(status.fValue[1]));
    EXPECT_EQ(Bits(0.01f), Bits(status.fValue[2]));
    EXPECT_EQ(Bits(0.01f), Bits(status.fValue[3]));
    EXPECT_EQ(Bits(0.0f), Bits(status.fValue[4]));
    // The sum uses the replaced values.
    EXPECT_EQ(0x425C1374u, Bits(status.fTotal));
}

TEST(ThermalBlock, PairsAreAveragedInFloatAndWordSixIsIgnored) {
    uint8_t block[16] = {};
    PutWord16(block, 2 * 2, 400);
    PutWord16(block, 2 * 5, 420);
    PutWord16(block, 2 * 1, 300);
    PutWord16(block, 2 * 3, 313);
    PutWord16(block, 2 * 0, 650);
    PutWord16(block, 2 * 7, 0);
    PutWord16(block, 2 * 4, 555);
    PutWord16(block, 2 * 6, 0x7FFF);

    ThermalMap map;
    std::memset(&map, 0xCD, sizeof(map));
    DecodeThermalBlock(block, &map);
    EXPECT_EQ(Bits(41.0f), Bits(map.fValue[0]));
    // (300 * 0.1f + 313 * 0.1f) * 0.5f in floats; in doubles it would be 30.6499996.
    EXPECT_EQ(0x41F53334u, Bits(map.fValue[1]));
    EXPECT_EQ(Bits(32.5f), Bits(map.fValue[2]));
    EXPECT_EQ(Bits(55.5f), Bits(map.fValue[3]));
    for (int i = 4; i < 10; ++i) EXPECT_EQ(kUntouched, Bits(map.fValue[i])) << "entry " << i;
    EXPECT_EQ(4, map.nCount);
}

TEST(ThermalBlock, NegativeWordsAreTwosComplementEachOnItsOwn) {
    uint8_t block[16] = {};
    PutWord16(block, 2 * 2, static_cast<uint16_t>(-50));   // first word of sensor 1 negative
    PutWord16(block, 2 * 5, static_cast<uint16_t>(-30));
    PutWord16(block, 2 * 1, 100);                          // only the second word of sensor 2
    PutWord16(block, 2 * 3, static_cast<uint16_t>(-20));
    PutWord16(block, 2 * 0, static_cast<uint16_t>(-400));  // first negative, second positive
    PutWord16(block, 2 * 7, 200);
    PutWord16(block, 2 * 4, 0x8000);                       // fourth sensor negative

    ThermalMap map;
    std::memset(&map, 0xCD, sizeof(map));
    DecodeThermalBlock(block, &map);
    EXPECT_EQ(Bits(-4.0f), Bits(map.fValue[0]));
    EXPECT_EQ(Bits(4.0f), Bits(map.fValue[1]));
    EXPECT_EQ(Bits(-10.0f), Bits(map.fValue[2]));
    EXPECT_EQ(kUntouched, Bits(map.fValue[3]));
    EXPECT_EQ(4, map.nCount);
}
