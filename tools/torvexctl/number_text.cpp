#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

nlohmann::ordered_json FloatJson(float value) {
    if (!std::isfinite(value)) return nullptr;
    char text[32];
    *std::to_chars(text, text + sizeof(text) - 1, value).ptr = '\0';
    // The double nearest to the float's shortest text is printed as that text again.
    return std::strtod(text, nullptr);
}

std::string FloatText(float value) {
    // The JSON printer's own text, so that both forms always agree.
    const nlohmann::ordered_json number = FloatJson(value);
    return number.is_null() ? "-" : number.dump();
}

std::string HexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}
