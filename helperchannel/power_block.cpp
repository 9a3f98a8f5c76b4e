#include "helperchannel/power_block.h"

#include <algorithm>

namespace {

constexpr int32_t kMissingReading = 65528;
constexpr float kPerUnit = 1000.0f;  // readings are thousandths; also the overload threshold
constexpr int64_t kBlockReadings = 10;

// Writes the group's readings that start at `first`. Readings beyond the tenth are skipped without
// being checked against the list's length.
QLXSWBlockResult FillFromGroup(const std::vector<int32_t>& list, int64_t first, int32_t announced,
                               QLXSWPowerStatus* status) {
    const int64_t count = std::min<int64_t>(announced, kBlockReadings);
    status->nCount = static_cast<int32_t>(count);
    status->fTotal = 0.0f;
    if (first + count > static_cast<int64_t>(list.size())) return kQLXSWShortGroup;
    for (int64_t i = 0; i < count; ++i) {
        const int32_t raw = list[static_cast<size_t>(first + i)];
        const float value = static_cast<float>(raw >= kMissingReading ? 0 : raw) / kPerUnit;
        status->fValue[i] = value;
        status->fTotal += value;
    }
    status->nOverLimit = status->fTotal > kPerUnit ? 1 : 0;
    return kQLXSWFilled;
}

}  // namespace

QLXSWBlockResult FillQLXSWPowerStatus(const std::vector<int32_t>& list, int32_t id, QLXSWPowerStatus* status) {
    if (list.empty() || list[0] < 1) return kQLXSWNoList;
    const int64_t size = static_cast<int64_t>(list.size());
    const int64_t groups = list[0];
    // Positions are 64-bit: a count near INT32_MAX must not wrap the next group's position.
    int64_t header = 1;
    for (int64_t examined = 0; examined < groups; ++examined) {
        if (header + 2 >= size) return kQLXSWNoGroup;
        const int32_t low = list[static_cast<size_t>(header)];
        const int32_t high = list[static_cast<size_t>(header + 1)];
        const int32_t count = list[static_cast<size_t>(header + 2)];
        // A negative count would walk the search backwards: the list is broken from here on.
        if (count < 0) return kQLXSWNoGroup;
        if (low <= id && id <= high) return FillFromGroup(list, header + 3, count, status);
        header += 3 + static_cast<int64_t>(count);
    }
    return kQLXSWNoGroup;
}
