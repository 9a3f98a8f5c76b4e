// How torvexctl writes numbers, in every command and every output form: a float as the shortest
// text that reads back to the same single-precision value, with ".0" on whole numbers, so that a
// value reads the same in a table, a CSV file and a JSON document.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// "41.0", "6.5000005", "0.25", "1e+20"; "-" for a value that is no finite number.
std::string FloatText(float value);
// The value as a JSON number that JsonText writes as FloatText does; null when it is no finite number.
nlohmann::ordered_json FloatJson(float value);
// The document as text, each number written as above (nlohmann's own writer may give a float's
// double more digits than it needs). `indent` as for dump(): below 0 one line.
std::string JsonText(const nlohmann::ordered_json& document, int indent = -1);
// "0x0511" for HexText(0x511, 4): upper-case digits, at least `digits` of them.
std::string HexText(uint32_t value, int digits = 1);
