// Reading and writing the UTF-16 text fields of the host-visible records.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "TorvexModule.h"

// Writes the text cut to the field (one unit is kept for the terminator); the rest is zero.
template <size_t N>
void SetRecordText(TorvexWChar (&field)[N], std::u16string_view text) {
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    for (size_t i = 0; i < n; ++i) field[i] = static_cast<TorvexWChar>(text[i]);
    for (size_t i = n; i < N; ++i) field[i] = 0;
}

// The field's text up to its terminator (or the whole field when it has none).
template <size_t N>
std::u16string RecordText(const TorvexWChar (&field)[N]) {
    std::u16string text;
    for (size_t i = 0; i < N && field[i] != 0; ++i) text += static_cast<char16_t>(field[i]);
    return text;
}
