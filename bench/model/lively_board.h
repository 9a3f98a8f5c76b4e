// Time-driven changes of the board controller's registers, so that a demo shows a living card:
// the usage counters advance, temperatures and power readings drift within plausible bounds and
// the tilt reading jitters slightly. Every value moves around what the registers held when the
// scenario was loaded; registers set explicitly keep their value.
#pragma once

#include <array>
#include <cstdint>

#include "i2c_device.h"

namespace bench {

constexpr uint8_t kControllerAddress = 0x56;

class LivelyBoard {
public:
    // Takes the loaded register values as the centre of every change; seed makes boards differ.
    LivelyBoard(const I2cDevice& controller, uint32_t seed);

    // Writes the values for `seconds` of running time into the registers first..first+count-1
    // (only the time-driven ones among them).
    void Animate(I2cDevice& controller, double seconds, uint8_t first, size_t count) const;

private:
    // One slow oscillation between -1 and 1 that is 0 at time 0.
    struct Wave {
        double period = 1.0;
        double phase = 0.0;
        double offset = 0.0;
        double At(double seconds) const;
    };

    void AnimateThermal(I2cDevice& controller, double seconds) const;
    void AnimateTilt(I2cDevice& controller, double seconds) const;
    void AnimatePower(I2cDevice& controller, double seconds) const;
    void AnimateCounters(I2cDevice& controller, double seconds) const;

    uint32_t m_seed;
    std::array<uint16_t, 8> m_thermal{};  // tenths of a degree
    std::array<Wave, 8> m_thermalWaves{};
    std::array<int16_t, 3> m_tilt{};      // X, Y, Z
    std::array<uint16_t, 6> m_power{};    // thousandths
    std::array<Wave, 6> m_powerWaves{};
    std::array<uint32_t, 3> m_counters{};
};

}  // namespace bench
