// Floats compared bit for bit: the host compares the module's results with values computed the
// same way, so "close" is not good enough.
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
