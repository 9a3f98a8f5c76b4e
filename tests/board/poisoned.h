// An output buffer filled with a pattern, so a test can tell whether an export wrote to it.
#pragma once

#include <cstdint>
#include <cstring>

template <typename T>
class Poisoned {
public:
    static constexpr uint8_t kPattern = 0xCD;

    Poisoned() { std::memset(&m_value, kPattern, sizeof(T)); }

    T* get() { return &m_value; }
    T& operator*() { return m_value; }
    T* operator->() { return &m_value; }

    bool Untouched() const {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&m_value);
        for (size_t i = 0; i < sizeof(T); ++i) {
            if (bytes[i] != kPattern) return false;
        }
        return true;
    }

private:
    T m_value;
};

constexpr uint32_t kPatternWord = 0xCDCDCDCD;
