#include "it8915_decode.h"

namespace {

uint16_t Word16(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

uint32_t Word32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

// A reading above 50 is outside what a connector can carry; the host expects 0.01 in its place.
float PowerReading(const uint8_t* pair) {
    const float reading = static_cast<float>(Word16(pair)) * 0.001f;
    return reading > 50.0f ? 0.01f : reading;
}

float Tenths(int16_t word) { return static_cast<float>(word) * 0.1f; }

float PairAverage(int16_t first, int16_t second) { return (Tenths(first) + Tenths(second)) * 0.5f; }

}  // namespace

MileageCounters DecodeMileageBlock(const uint8_t (&block)[kMileageBlockLength]) {
    return MileageCounters{Word32(block + 8), Word32(block + 4), Word32(block)};
}

PowerReadings DecodePowerBlock(const uint8_t (&block)[kPowerBlockLength]) {
    // Each channel is a group of four bytes whose last two hold the reading; the host's first
    // channel is the controller's last group.
    constexpr int kReadingOffsets[] = {22, 18, 14, 10, 6, 2};
    PowerReadings readings{};
    float sum = 0.0f;
    for (int i = 0; i < 6; ++i) {
        readings.fValue[i] = PowerReading(block + kReadingOffsets[i]);
        sum += readings.fValue[i];
    }
    readings.fTotal = sum;
    return readings;
}

void StorePowerReadings(const PowerReadings& readings, QLXSWPowerStatus* status) {
    for (int i = 0; i < 6; ++i) status->fValue[i] = readings.fValue[i];
    status->fTotal = readings.fTotal;
    status->nOverLimit = 0;
    status->nCount = 6;
}

void DecodeThermalBlock(const uint8_t (&block)[kThermalBlockLength], ThermalMap* map) {
    int16_t w[8];
    for (int i = 0; i < 8; ++i) {
        w[i] = static_cast<int16_t>(Word16(block + 2 * i));
    }
    // Sensors 1 to 3 each have two words whose average is reported; word 6 is not a temperature.
    map->fValue[0] = PairAverage(w[2], w[5]);
    map->fValue[1] = PairAverage(w[1], w[3]);
    map->fValue[2] = PairAverage(w[0], w[7]);
    if (w[4] >= 0) {
        map->fValue[3] = Tenths(w[4]);
    }
    map->nCount = 4;
}
