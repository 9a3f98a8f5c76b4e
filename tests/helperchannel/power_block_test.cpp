// The group search and the block fill of the QLXSW readings (native build).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "helperchannel/power_block.h"
#include "poisoned.h"

namespace {

struct Filled {
    int result;
    QLXSWPowerStatus block;
};

Filled Fill(const std::vector<int32_t>& list, int32_t id) {
    Filled f{0, Poisoned<QLXSWPowerStatus>()};
    f.result = FillQLXSWPowerStatus(list, id, &f.block);
    return f;
}

const std::vector<int32_t> kOneGroup = {1, 1, 4, 2, 0x3E8, 0x7D0};
const std::vector<int32_t> kTwoGroups = {2, 1, 1, 1, 0x64, 2, 2, 1, 0xC8};

// The covering group's count, its readings (those from the count on are not written) and their
// sum; a group short of its readings writes only its count and a zero sum.
TEST(QLXSWPowerBlock, TheCoveringGroupsReadingsAreScaledSummedAndCounted) {
    struct Case {
        std::vector<int32_t> list;
        int32_t id;
        int result;
        int32_t count;
        std::vector<float> values;
        float total;
    };
    std::vector<int32_t> twelve = {1, 1, 1, 12};
    for (int32_t r = 1; r <= 12; ++r) twelve.push_back(r * 1000);
    const std::vector<float> firstTen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::vector<float> oneLargeNineSmall(10, 0.001f);
    oneLargeNineSmall[0] = 65.527f;
    const Case cases[] = {
        {kOneGroup, 1, 1, 2, {1.0f, 2.0f}, 3.0f},
        {kOneGroup, 4, 1, 2, {1.0f, 2.0f}, 3.0f},
        // The groups follow each other without gaps; the first covering one wins.
        {kTwoGroups, 1, 1, 1, {0.1f}, 0.1f},
        {kTwoGroups, 2, 1, 1, {0.2f}, 0.2f},
        {{2, 1, 9, 1, 0x64, 1, 9, 1, 0xC8}, 5, 1, 1, {0.1f}, 0.1f},
        // Keys compare signed; a key range may lie anywhere.
        {{1, INT32_MIN, INT32_MAX, 1, 5}, 1, 1, 1, {0.005f}, 0.005f},
        // Readings of 0xFFF8 and up are missing and count as zero; negative ones pass unchanged.
        {{1, 1, 1, 4, 0xFFF8, 0xFFFF, 0xFFF7, -500}, 1, 1, 4, {0.0f, 0.0f, 65.527f, -0.5f}, 65.527f - 0.5f},
        // At most ten readings are used, and only those must be in the list.
        {twelve, 1, 1, 10, firstTen, 55.0f},
        {std::vector<int32_t>(twelve.begin(), twelve.end() - 2), 1, 1, 10, firstTen, 55.0f},
        // Single floats added in order: 0x4283126E; in double precision, or from the small readings
        // up, the sum would round to 0x4283126F.
        {{1, 1, 1, 10, 65527, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1, 1, 10, oneLargeNineSmall, 0x1.0624dcp+6f},
        {{1, 1, 1, 3, 1, 2}, 1, -7, 3, {}, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("list of " + std::to_string(c.list.size()) + " values, id " + std::to_string(c.id));
        const Filled f = Fill(c.list, c.id);
        ASSERT_EQ(c.result, f.result);
        EXPECT_EQ(c.count, f.block.nCount);
        EXPECT_EQ(c.total, f.block.fTotal);
        for (size_t i = 0; i < c.values.size(); ++i) EXPECT_EQ(c.values[i], f.block.fValue[i]) << i;
        if (c.values.size() < 10) EXPECT_TRUE(Untouched(f.block.fValue[c.values.size()]));
        if (c.result == 1) EXPECT_EQ(0, f.block.nOverLimit);
        else EXPECT_TRUE(Untouched(f.block.nOverLimit));
    }
}

TEST(QLXSWPowerBlock, ListsThatHoldNoUsableGroupWriteNothing) {
    struct Case {
        std::vector<int32_t> list;
        int32_t id;
        int result;
    };
    const Case cases[] = {
        {{}, 1, -6},
        {kOneGroup, 5, -1},
        {kTwoGroups, 3, -1},
        {{0}, 1, -6},
        // "ERROR" read as a list: one group announced, its header does not fit.
        {{14}, 1, -1},
        {{1, 1, 1}, 1, -1},
        // More groups announced than there are: the list ends inside the next header.
        {{3, 1, 1, 1, 5, 2, 2}, 3, -1},
        // Fewer announced than there are: the rest is not looked at.
        {{1, 1, 1, 1, 5, 2, 2, 1, 5}, 2, -1},
        // A negative count ends the search whether or not its group covers the key.
        {{2, 1, 1, -3, 5, 2, 2, 1, 7}, 1, -1},
        {{2, 1, 1, -3, 5, 2, 2, 1, 7}, 2, -1},
        // A count near the top of the range must not wrap the next group's position around.
        {{2, 1, 1, INT32_MAX, 2, 2, 1, 7}, 2, -1},
    };
    for (const Case& c : cases) {
        const Filled f = Fill(c.list, c.id);
        EXPECT_EQ(c.result, f.result) << "list of " << c.list.size() << " values, id " << c.id;
        EXPECT_TRUE(Untouched(f.block)) << "list of " << c.list.size() << " values, id " << c.id;
    }
}

}  // namespace
