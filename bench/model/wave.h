// The slow oscillations that make the bench's readings drift.
#pragma once

#include <cmath>

namespace bench {

constexpr double kTwoPi = 6.283185307179586;

// The sine of a wave of `period` seconds that started at `phase`, `seconds` in.
inline double WaveSine(double seconds, double period, double phase) {
    return std::sin(kTwoPi * seconds / period + phase);
}

}  // namespace bench
