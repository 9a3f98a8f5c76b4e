#include "number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

using json = nlohmann::ordered_json;

namespace {

// The fewest digits that read back to the same double, with ".0" on a whole number.
std::string DoubleText(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    const std::string digits(text, std::to_chars(text, text + sizeof(text), value).ptr);
    return digits.find_first_of(".e") == std::string::npos ? digits + ".0" : digits;
}

void NewLine(std::string& out, int indent, int depth) {
    if (indent >= 0) out += "\n" + std::string(static_cast<size_t>(indent * depth), ' ');
}

void Write(std::string& out, const json& value, int indent, int depth) {
    if (value.is_number_float()) {
        out += DoubleText(value.get<double>());
        return;
    }
    if (!value.is_structured() || value.empty()) {
        out += value.dump();
        return;
    }
    const bool object = value.is_object();
    out += object ? '{' : '[';
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ',';
        first = false;
        NewLine(out, indent, depth + 1);
        if (object) out += json(it.key()).dump() + (indent >= 0 ? ": " : ":");
        Write(out, it.value(), indent, depth + 1);
    }
    NewLine(out, indent, depth);
    out += object ? '}' : ']';
}

}  // namespace

json FloatJson(float value) {
    if (!std::isfinite(value)) return nullptr;
    // Scientific notation gives the fewest digits that read back; plain notation would write a
    // large whole number's every digit.
    char text[32];
    *std::to_chars(text, text + sizeof(text) - 1, value, std::chars_format::scientific).ptr = '\0';
    // The double nearest to those digits has them as its own shortest text.
    return std::strtod(text, nullptr);
}

std::string FloatText(float value) {
    const json number = FloatJson(value);
    return number.is_null() ? "-" : DoubleText(number.get<double>());
}

std::string JsonText(const json& document, int indent) {
    std::string out;
    Write(out, document, indent, 0);
    return out;
}

std::string HexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}
