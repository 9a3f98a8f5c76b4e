// The one float text torvexctl uses everywhere: the shortest text that reads back to the same
// single-precision value, identical in tables, CSV and JSON documents.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "number_text.h"

namespace {

float FromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Whether text with fewer significant digits than `text` reads back to the same float.
bool ShorterTextReadsBack(float value, const std::string& text) {
    std::string digits;
    for (size_t i = 0; i < text.size() && text[i] != 'e'; ++i)
        if (std::isdigit(static_cast<unsigned char>(text[i]))) digits += text[i];
    const size_t first = digits.find_first_not_of('0');
    const size_t significant = first == std::string::npos ? 0 : digits.find_last_not_of('0') - first + 1;
    for (size_t precision = 1; precision < significant; ++precision) {
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*g", static_cast<int>(precision), static_cast<double>(value));
        if (std::strtof(shorter, nullptr) == value) return true;
    }
    return false;
}

}  // namespace

TEST(FloatText, IsTheShortestTextThatReadsBackAndTheJsonNumbersOwn) {
    std::mt19937 random(20260101);
    for (int i = 0; i < 20000; ++i) {
        const float value = FromBits(static_cast<uint32_t>(random()));
        if (!std::isfinite(value)) continue;
        const std::string text = FloatText(value);
        ASSERT_EQ(value, std::strtof(text.c_str(), nullptr)) << text;
        ASSERT_FALSE(ShorterTextReadsBack(value, text)) << text;
        ASSERT_EQ(text, JsonText(FloatJson(value)));
    }
    // The module's power reading 410 x 0.001f is not the float nearest 0.41.
    EXPECT_EQ("0.41000003", FloatText(410 * 0.001f));
    EXPECT_EQ("41.0", FloatText(41.0f));
    EXPECT_EQ("-", FloatText(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_TRUE(FloatJson(std::numeric_limits<float>::infinity()).is_null());
    // nlohmann's own writer gives this one's double 17 digits.
    EXPECT_EQ("[-5.7077905e+19]", JsonText(nlohmann::ordered_json::array({FloatJson(-5.7077905e19f)})));
    // A whole number written with an exponent needs no ".0".
    EXPECT_EQ("[1e+20]", JsonText(nlohmann::ordered_json::array({FloatJson(1e20f)})));
    EXPECT_EQ("{\n  \"a\": [\n    1,\n    \"x\",\n    null\n  ],\n  \"b\": {}\n}",
              JsonText({{"a", {1, "x", nullptr}}, {"b", nlohmann::ordered_json::object()}}, 2));
}
