#include "lively_board.h"

#include <algorithm>
#include <cmath>

#include "wave.h"

namespace bench {
namespace {

constexpr uint8_t kThermalFirst = 0x60;  // eight big-endian words, tenths of a degree
constexpr uint8_t kTiltFirst = 0x70;     // X, Y, Z: big-endian signed words, 4096 = 1 g
constexpr uint8_t kPowerFirst = 0x80;    // six groups of four bytes, reading in the last two
constexpr uint8_t kCounterFirst = 0xC0;  // three big-endian 32-bit counters

constexpr double kThermalSwing = 25.0;      // +-2.5 degrees
constexpr double kPowerSwing = 800.0;       // +-0.8 A
constexpr int kTiltJitter = 6;              // +-6 counts, about 0.1 degree
constexpr double kTiltStepSeconds = 0.25;   // a new jitter four times a second
constexpr std::array<double, 3> kCounterRates = {1.0, 0.5, 0.25};  // counts per second
constexpr uint16_t kPowerLimit = 50000;     // the controller never reports more than 50.000

bool Overlaps(uint8_t first, size_t count, uint8_t regionFirst, size_t regionSize) {
    return first < regionFirst + regionSize && regionFirst < first + count;
}

uint16_t ReadWord(const I2cDevice& d, uint8_t reg) {
    return static_cast<uint16_t>(d.Get(reg) << 8 | d.Get(static_cast<uint8_t>(reg + 1)));
}

void AnimateWord(I2cDevice& d, uint8_t reg, uint16_t value) {
    d.Animate(reg, static_cast<uint8_t>(value >> 8));
    d.Animate(static_cast<uint8_t>(reg + 1), static_cast<uint8_t>(value));
}

// A small integer hash, so jitter depends only on (seed, step, axis) and tests can replay it.
uint32_t Mix(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

}  // namespace

double LivelyBoard::Wave::At(double seconds) const {
    return (WaveSine(seconds, period, phase) - offset) / 2.0;
}

LivelyBoard::LivelyBoard(const I2cDevice& controller, uint32_t seed) : m_seed(seed) {
    // Each channel its own period and a phase of its own, so no two move in step.
    const auto wave = [seed](double period, uint32_t channel) {
        Wave w;
        w.period = period;
        w.phase = (Mix(seed * 31u + channel) % 1000) / 1000.0 * kTwoPi;
        w.offset = std::sin(w.phase);
        return w;
    };
    for (size_t i = 0; i < m_thermal.size(); ++i) {
        m_thermal[i] = ReadWord(controller, kThermalFirst + 2 * i);
        m_thermalWaves[i] = wave(40.0 + 7.0 * i, static_cast<uint32_t>(i));
    }
    for (size_t i = 0; i < m_tilt.size(); ++i)
        m_tilt[i] = static_cast<int16_t>(ReadWord(controller, kTiltFirst + 2 * i));
    for (size_t i = 0; i < m_power.size(); ++i) {
        m_power[i] = ReadWord(controller, kPowerFirst + 4 * i + 2);
        m_powerWaves[i] = wave(9.0 + 2.0 * i, static_cast<uint32_t>(16 + i));
    }
    for (size_t i = 0; i < m_counters.size(); ++i) {
        const uint8_t reg = static_cast<uint8_t>(kCounterFirst + 4 * i);
        m_counters[i] = static_cast<uint32_t>(ReadWord(controller, reg)) << 16 | ReadWord(controller, reg + 2);
    }
}

void LivelyBoard::Animate(I2cDevice& controller, double seconds, uint8_t first, size_t count) const {
    if (Overlaps(first, count, kThermalFirst, 16)) AnimateThermal(controller, seconds);
    if (Overlaps(first, count, kTiltFirst, 6)) AnimateTilt(controller, seconds);
    if (Overlaps(first, count, kPowerFirst, 24)) AnimatePower(controller, seconds);
    if (Overlaps(first, count, kCounterFirst, 12)) AnimateCounters(controller, seconds);
}

void LivelyBoard::AnimateThermal(I2cDevice& controller, double seconds) const {
    for (size_t i = 0; i < m_thermal.size(); ++i) {
        const double value = m_thermal[i] + kThermalSwing * m_thermalWaves[i].At(seconds);
        AnimateWord(controller, static_cast<uint8_t>(kThermalFirst + 2 * i),
                    static_cast<uint16_t>(std::clamp(std::lround(value), 0L, 0x7FFFL)));
    }
}

void LivelyBoard::AnimateTilt(I2cDevice& controller, double seconds) const {
    const auto step = static_cast<uint32_t>(seconds / kTiltStepSeconds);
    for (size_t i = 0; i < m_tilt.size(); ++i) {
        const int jitter = static_cast<int>(Mix(m_seed ^ Mix(step * 3u + uint32_t(i))) % (2 * kTiltJitter + 1)) - kTiltJitter;
        const int value = std::clamp(m_tilt[i] + jitter, -32768, 32767);
        AnimateWord(controller, static_cast<uint8_t>(kTiltFirst + 2 * i), static_cast<uint16_t>(value));
    }
}

void LivelyBoard::AnimatePower(I2cDevice& controller, double seconds) const {
    for (size_t i = 0; i < m_power.size(); ++i) {
        const double value = m_power[i] + kPowerSwing * m_powerWaves[i].At(seconds);
        AnimateWord(controller, static_cast<uint8_t>(kPowerFirst + 4 * i + 2),
                    static_cast<uint16_t>(std::clamp(std::lround(value), 0L, long{kPowerLimit})));
    }
}

void LivelyBoard::AnimateCounters(I2cDevice& controller, double seconds) const {
    for (size_t i = 0; i < m_counters.size(); ++i) {
        const uint32_t value = m_counters[i] + static_cast<uint32_t>(seconds * kCounterRates[i]);
        const uint8_t reg = static_cast<uint8_t>(kCounterFirst + 4 * i);
        AnimateWord(controller, reg, static_cast<uint16_t>(value >> 16));
        AnimateWord(controller, static_cast<uint8_t>(reg + 2), static_cast<uint16_t>(value));
    }
}

}  // namespace bench
