// The registry's growth rule decides how many times each board is probed at load, so it is
// checked event by event with a record type that logs its copies.
#include "module/board_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;
Events g_events;

struct LoggedRecord {
    explicit LoggedRecord(uint32_t id) : m_nGpuId(id) {}
    LoggedRecord(const LoggedRecord& other) : m_nGpuId(other.m_nGpuId) {
        g_events.push_back("copy " + std::to_string(m_nGpuId));
    }
    LoggedRecord& operator=(const LoggedRecord&) = delete;

    uint32_t m_nGpuId;
};

Events TakeEvents() {
    Events events;
    events.swap(g_events);
    return events;
}

// (The records' destruction does nothing a host sees, so its order is not checked.)
TEST(RecordArray, GrowsByHalfCopyingTheNewRecordFirst) {
    std::vector<LoggedRecord> originals;
    originals.reserve(7);
    for (uint32_t id = 1; id <= 7; ++id) originals.emplace_back(id);
    std::vector<size_t> capacities;
    std::vector<Events> appends;
    RecordArray<LoggedRecord> records;
    for (const LoggedRecord& record : originals) {
        records.Append(record);
        capacities.push_back(records.capacity());
        appends.push_back(TakeEvents());
    }
    ASSERT_EQ(7u, records.size());
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(i + 1, records[i].m_nGpuId);
    EXPECT_EQ((std::vector<size_t>{1, 2, 3, 4, 6, 6, 9}), capacities);
    EXPECT_EQ(Events({"copy 4", "copy 1", "copy 2", "copy 3"}), appends[3]);
    EXPECT_EQ(Events({"copy 6"}), appends[5]);  // room left: nothing moves
}

}  // namespace
