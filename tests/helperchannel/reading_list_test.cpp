// The helper's reading list: what each answer text converts to (native build).
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "helperchannel/reading_list.h"

namespace {

struct Converts {
    std::string answer;
    std::vector<int32_t> list;
};

const Converts kConverts[] = {
    // Blanks before a number and a line break after the last one do not count.
    {"2, 1,3,4\n", {2, 1, 3, 4}},
    {"A,ff,0x10", {10, 255, 16}},
    {"-1A,+0X1f,\t7", {-26, 31, 7}},
    {"7FFFFFFF,-80000000", {INT32_MAX, INT32_MIN}},
    // Conversion stops at the first character that is not a hexadecimal digit.
    {"12zz,3 4", {0x12, 3}},
    // What the channel answers when the helper cannot be reached: "E" is a digit.
    {"ERROR", {14}},
    {"", {}},
    {"1,2,", {1, 2}},
};

TEST(ReadingList, ConvertsEachPieceInBase16) {
    for (const Converts& c : kConverts) EXPECT_EQ(c.list, ParseReadingList(c.answer)) << '"' << c.answer << '"';
}

TEST(ReadingList, APieceWithoutADigitOrOutOfRangeThrowsTheStandardExceptions) {
    for (const char* answer : {"1,,2", ",", "zz", "1,\n", "1, ,2"})
        EXPECT_THROW(ParseReadingList(answer), std::invalid_argument) << '"' << answer << '"';
    for (const char* answer : {"1,80000000", "-80000001", "100000000,1"})
        EXPECT_THROW(ParseReadingList(answer), std::out_of_range) << '"' << answer << '"';
}

}  // namespace
