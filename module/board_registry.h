// How a board export finds its record in the board registry.
#pragma once

#include <cstdint>

#include "base/record_array.h"

// The first record whose m_nGpuId equals the identifier (as 32-bit values), else the first
// record, else none: an unknown identifier silently addresses the first GPU's board.
template <typename Record>
Record* FindRecord(RecordArray<Record>& records, int gpuId) {
    for (Record& record : records) {
        if (record.m_nGpuId == static_cast<uint32_t>(gpuId)) return &record;
    }
    return records.size() > 0 ? records.begin() : nullptr;
}
