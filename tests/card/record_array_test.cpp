// The registry's growth rule decides how many times each board is probed at load, so it is
// checked event by event with a record type that logs its copies and destructions.
#include "board_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_events;

struct LoggedRecord {
    explicit LoggedRecord(uint32_t id) : m_nGpuId(id) {}
    LoggedRecord(const LoggedRecord& other) : m_nGpuId(other.m_nGpuId) {
        g_events.push_back("copy " + std::to_string(m_nGpuId));
    }
    LoggedRecord& operator=(const LoggedRecord&) = delete;
    virtual ~LoggedRecord() { g_events.push_back("destroy " + std::to_string(m_nGpuId)); }

    uint32_t m_nGpuId;
};

std::vector<std::string> TakeEvents() {
    std::vector<std::string> events;
    events.swap(g_events);
    return events;
}

using Events = std::vector<std::string>;

}  // namespace

TEST(RecordArray, GrowsByItsOwnRuleCopyingTheNewRecordFirst) {
    g_events.clear();
    {
        RecordArray<LoggedRecord> records;
        const LoggedRecord r1(1), r2(2), r3(3), r4(4), r5(5), r6(6), r7(7);

        records.Append(r1);
        EXPECT_EQ(1u, records.capacity());
        EXPECT_EQ(Events({"copy 1"}), TakeEvents());

        records.Append(r2);
        EXPECT_EQ(2u, records.capacity());
        EXPECT_EQ(Events({"copy 2", "copy 1", "destroy 1"}), TakeEvents());

        records.Append(r3);
        EXPECT_EQ(3u, records.capacity());
        EXPECT_EQ(Events({"copy 3", "copy 1", "copy 2", "destroy 1", "destroy 2"}), TakeEvents());

        records.Append(r4);  // 3 + 3 / 2 = 4
        EXPECT_EQ(4u, records.capacity());
        EXPECT_EQ(Events({"copy 4", "copy 1", "copy 2", "copy 3", "destroy 1", "destroy 2", "destroy 3"}),
                  TakeEvents());

        records.Append(r5);  // 4 + 4 / 2 = 6
        EXPECT_EQ(6u, records.capacity());
        TakeEvents();
        records.Append(r6);  // room left: one copy, nothing moves
        EXPECT_EQ(6u, records.capacity());
        EXPECT_EQ(Events({"copy 6"}), TakeEvents());
        records.Append(r7);  // 6 + 6 / 2 = 9
        EXPECT_EQ(9u, records.capacity());
        TakeEvents();

        ASSERT_EQ(7u, records.size());
        for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(i + 1, records[i].m_nGpuId);
    }
    // The originals leave scope first (in reverse), then the array destroys its records first to
    // last.
    const Events expected = {"destroy 7", "destroy 6", "destroy 5", "destroy 4", "destroy 3", "destroy 2",
                             "destroy 1", "destroy 1", "destroy 2", "destroy 3", "destroy 4", "destroy 5",
                             "destroy 6", "destroy 7"};
    EXPECT_EQ(expected, TakeEvents());
}
