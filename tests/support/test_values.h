// What tests compare results as: texts in order, and floats bit for bit (the host compares the
// module's results with values computed the same way, so "close" is not good enough). Free of
// Windows, for the native tests too.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using Strings = std::vector<std::string>;

inline uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
