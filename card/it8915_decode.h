// Turns the controller's register runs into the values handed to the host. The controller sends
// every multi-byte value big-endian: the byte at the lower register is the more significant one.
#pragma once

#include <cstdint>

#include "TorvexModule.h"

constexpr uint8_t kMileageBlockLength = 12;
constexpr uint8_t kPowerBlockLength = 24;
constexpr uint8_t kThermalBlockLength = 16;

// The three usage-time counters in the order the host receives them: the controller keeps them
// the other way round, so the first output is the last counter of the block.
struct MileageCounters {
    uint32_t nFirst;
    uint32_t nSecond;
    uint32_t nThird;
};

MileageCounters DecodeMileageBlock(const uint8_t (&block)[kMileageBlockLength]);

// The six connector readings in the order the host receives them, and their sum.
struct PowerReadings {
    float fValue[6];
    float fTotal;
};

// The power decoding is inline: the board read then keeps the readings in registers from the
// decoding to their last store, instead of passing them through memory.
namespace it8915_decode {

inline uint16_t Word16(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

// A reading above 50 is outside what a connector can carry; the host expects 0.01 in its place.
inline float PowerReading(const uint8_t* pair) {
    const float reading = static_cast<float>(Word16(pair)) * 0.001f;
    return reading > 50.0f ? 0.01f : reading;
}

}  // namespace it8915_decode

// Each reading is stored as soon as it is known, so those stores are done with while the sum,
// added up in order, is still on its way.
inline void DecodePowerBlock(const uint8_t (&block)[kPowerBlockLength], PowerReadings* readings) {
    // Each channel is a group of four bytes whose last two hold the reading; the host's first
    // channel is the controller's last group.
    constexpr int kReadingOffsets[] = {22, 18, 14, 10, 6, 2};
    float sum = 0.0f;
    // Unrolled, as is the store below, so that no reading goes through an indexed array.
#pragma GCC unroll 6
    for (int i = 0; i < 6; ++i) {
        const float reading = it8915_decode::PowerReading(block + kReadingOffsets[i]);
        readings->fValue[i] = reading;
        sum += reading;
    }
    readings->fTotal = sum;
}

inline PowerReadings DecodePowerBlock(const uint8_t (&block)[kPowerBlockLength]) {
    PowerReadings readings;
    DecodePowerBlock(block, &readings);
    return readings;
}

// Writes the readings, their sum, nOverLimit 0 and nCount 6; fValue[6..9] stay as they were. The
// readings are taken by value: read from the cache just filled, they are then known to the compiler
// and not loaded again after each store to *status, which may alias the cache as far as it knows.
inline void StorePowerReadings(PowerReadings readings, QLXSWPowerStatus* status) {
#pragma GCC unroll 6
    for (int i = 0; i < 6; ++i) status->fValue[i] = readings.fValue[i];
    status->fTotal = readings.fTotal;
    status->nOverLimit = 0;
    status->nCount = 6;
}

// Writes the four temperatures and nCount 4. Each word is a two's-complement reading in tenths of
// a degree; the fourth temperature is left as it was when its word is negative.
void DecodeThermalBlock(const uint8_t (&block)[kThermalBlockLength], ThermalMap* map);
