// How torvexctl writes numbers, in every command and every output form: a float as the shortest
// text that reads back to the same single-precision value, with ".0" on whole numbers, exactly as
// the JSON views print it, so a value reads the same in a table, a CSV file and a JSON document.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// "41.0", "6.5000005", "0.25", "1e+20"; "-" for a value that is no finite number.
std::string FloatText(float value);
// The same value as a JSON number (printed as FloatText prints it); null when it is no finite number.
nlohmann::ordered_json FloatJson(float value);
// "0x0511" for HexText(0x511, 4): upper-case digits, at least `digits` of them.
std::string HexText(uint32_t value, int digits = 1);
