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

PowerReadings DecodePowerBlock(const uint8_t (&block)[kPowerBlockLength]);

// Writes the readings, their sum, nOverLimit 0 and nCount 6; fValue[6..9] stay as they were.
void StorePowerReadings(const PowerReadings& readings, QLXSWPowerStatus* status);

// Writes the four temperatures and nCount 4. Each word is a two's-complement reading in tenths of
// a degree; the fourth temperature is left as it was when its word is negative.
void DecodeThermalBlock(const uint8_t (&block)[kThermalBlockLength], ThermalMap* map);
