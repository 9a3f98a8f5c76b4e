// Outputs filled with a pattern before a call, so that the caller can tell whether an export wrote
// to them.
#pragma once

#include <cstring>

template <typename T>
T Poisoned() {
    T value;
    std::memset(&value, 0xCD, sizeof(T));
    return value;
}

template <typename... T>
bool Untouched(const T&... values) {
    return (... && (std::memcmp(&values, &static_cast<const T&>(Poisoned<T>()), sizeof(T)) == 0));
}
