#include "card/it8915_decode.h"

using it8915_decode::Word16;

namespace {

uint32_t Word32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

float Tenths(int16_t word) { return static_cast<float>(word) * 0.1f; }

float PairAverage(int16_t first, int16_t second) { return (Tenths(first) + Tenths(second)) * 0.5f; }

}  // namespace

MileageCounters DecodeMileageBlock(const uint8_t (&block)[kMileageBlockLength]) {
    return MileageCounters{Word32(block + 8), Word32(block + 4), Word32(block)};
}

void DecodeThermalBlock(const uint8_t (&block)[kThermalBlockLength], ThermalMap* map) {
    // Each word goes straight to its conversion: kept in an array, the words would be stored and
    // loaded again, which adds its latency to every temperature.
    const auto word = [&block](int index) { return static_cast<int16_t>(Word16(block + 2 * index)); };
    // Sensors 1 to 3 each have two words whose average is reported; word 6 is not a temperature.
    map->fValue[0] = PairAverage(word(2), word(5));
    map->fValue[1] = PairAverage(word(1), word(3));
    map->fValue[2] = PairAverage(word(0), word(7));
    const int16_t fourth = word(4);
    if (fourth >= 0) {
        map->fValue[3] = Tenths(fourth);
    }
    map->nCount = 4;
}
