// The helper's answer to "g" as a list of integers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Splits the answer at "," as reading it through a stream piece by piece would, and converts each piece as std::stoi(piece, nullptr, 16) does: leading
// white space skipped, a sign and a "0x" prefix accepted, conversion stopping at the first
// character that is not a hexadecimal digit. An empty answer gives an empty list, a trailing ","
// adds nothing, and a line break after the last number is ignored. Throws std::invalid_argument
// for a piece without a digit (an empty piece between two commas included) and std::out_of_range
// for a value outside int32_t; the list built so far is then discarded.
std::vector<int32_t> ParseReadingList(const std::string& answer);
