// The group search and the block fill of the QLXSW readings (native build).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "helperchannel/power_block.h"
#include "poisoned.h"
#include "test_values.h"

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

TEST(QLXSWPowerBlock, TheCoveringGroupsReadingsAreScaledSummedAndCounted) {
    const std::vector<int32_t> oneGroup = {1, 1, 4, 2, 0x3E8, 0x7D0};
    for (int32_t id : {1, 2, 4}) {
        const Filled f = Fill(oneGroup, id);
        ASSERT_EQ(1, f.result) << id;
        EXPECT_EQ(1.0f, f.block.fValue[0]);
        EXPECT_EQ(2.0f, f.block.fValue[1]);
        EXPECT_EQ(3.0f, f.block.fTotal);
        EXPECT_EQ(0, f.block.nOverLimit);
        EXPECT_EQ(2, f.block.nCount);
        // Entries from the count on are not written.
        EXPECT_TRUE(Untouched(f.block.fValue[2]));
    }
    EXPECT_EQ(-1, Fill(oneGroup, 5).result);

    // The groups follow each other without gaps; the first covering one wins.
    const std::vector<int32_t> twoGroups = {2, 1, 1, 1, 0x64, 2, 2, 1, 0xC8};
    EXPECT_EQ(0.1f, Fill(twoGroups, 1).block.fValue[0]);
    EXPECT_EQ(0.2f, Fill(twoGroups, 2).block.fValue[0]);
    EXPECT_EQ(-1, Fill(twoGroups, 3).result);
    const std::vector<int32_t> overlapping = {2, 1, 9, 1, 0x64, 1, 9, 1, 0xC8};
    EXPECT_EQ(0.1f, Fill(overlapping, 5).block.fValue[0]);
    // Keys compare signed; a key range may lie anywhere.
    EXPECT_EQ(1, Fill({1, INT32_MIN, INT32_MAX, 1, 5}, 1).result);
}

TEST(QLXSWPowerBlock, MissingReadingsCountAsZeroAndNegativeOnesPassUnchanged) {
    const Filled f = Fill({1, 1, 1, 4, 0xFFF8, 0xFFFF, 0xFFF7, -500}, 1);
    ASSERT_EQ(1, f.result);
    EXPECT_EQ(0.0f, f.block.fValue[0]);
    EXPECT_EQ(0.0f, f.block.fValue[1]);
    EXPECT_EQ(65.527f, f.block.fValue[2]);
    EXPECT_EQ(-0.5f, f.block.fValue[3]);
    EXPECT_EQ(4, f.block.nCount);
}

TEST(QLXSWPowerBlock, TheSumIsSingleFloatsAddedInOrder) {
    // Added in order in single precision this is 0x4283126E; in double precision, or from the
    // small readings up, it would round to 0x4283126F.
    const Filled f = Fill({1, 1, 1, 10, 65527, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1);
    ASSERT_EQ(1, f.result);
    EXPECT_EQ(0x4283126Eu, Bits(f.block.fTotal));
    EXPECT_EQ(0, f.block.nOverLimit);
}

TEST(QLXSWPowerBlock, AtMostTenReadingsAreUsedAndOnlyThoseMustBeInTheList) {
    std::vector<int32_t> twelve = {1, 1, 1, 12};
    for (int32_t r = 1; r <= 12; ++r) twelve.push_back(r * 1000);
    Filled f = Fill(twelve, 1);
    ASSERT_EQ(1, f.result);
    EXPECT_EQ(10, f.block.nCount);
    EXPECT_EQ(10.0f, f.block.fValue[9]);
    EXPECT_EQ(55.0f, f.block.fTotal);

    twelve.resize(twelve.size() - 2);
    EXPECT_EQ(1, Fill(twelve, 1).result);
}

TEST(QLXSWPowerBlock, AGroupShortOfItsReadingsWritesOnlyItsCountAndAZeroSum) {
    const Filled f = Fill({1, 1, 1, 3, 1, 2}, 1);
    EXPECT_EQ(-7, f.result);
    EXPECT_EQ(3, f.block.nCount);
    EXPECT_EQ(0.0f, f.block.fTotal);
    EXPECT_TRUE(Untouched(f.block.fValue[0], f.block.nOverLimit));
}

TEST(QLXSWPowerBlock, ListsThatHoldNoUsableGroupWriteNothing) {
    struct Case {
        std::vector<int32_t> list;
        int32_t id;
        int result;
    };
    const Case cases[] = {
        {{}, 1, -6},
        {{0}, 1, -6},
        {{-1, 1, 1, 1, 5}, 1, -6},
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
