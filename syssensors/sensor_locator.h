// Finds the catalogue record of a sensor by device, class number and sensor index in constant
// time. The answer is always the one a search from the start of the catalogue would give: the
// first record whose three fields match, also when several do (only a misbehaving SDK makes such
// twins) and after a record's fields have changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "TorvexModule.h"

struct SensorSlot {
    int32_t nDeviceIndex;
    int32_t nClassNumber;
    int32_t nSensorIndex;

    bool operator==(const SensorSlot& other) const {
        return nDeviceIndex == other.nDeviceIndex && nClassNumber == other.nClassNumber &&
               nSensorIndex == other.nSensorIndex;
    }
};

SensorSlot SlotOf(const SensorRecord& record);

class SensorLocator {
public:
    static constexpr int64_t kNone = -1;

    // Indexes the records in their order.
    void Build(const std::vector<SensorRecord>& records);
    // The position of the first record in this slot, or kNone.
    int64_t Find(const SensorSlot& slot) const;
    // The record at `position` has moved from one slot to another.
    void Move(size_t position, const SensorSlot& from, const SensorSlot& to);

private:
    struct SlotHash {
        size_t operator()(const SensorSlot& s) const;
    };
    static constexpr uint32_t kEnd = UINT32_MAX;

    void Insert(uint32_t position, const SensorSlot& slot);
    void Remove(uint32_t position, const SensorSlot& slot);

    // Each slot's records in ascending position: the first here, the next ones through m_next.
    std::unordered_map<SensorSlot, uint32_t, SlotHash> m_first;
    std::vector<uint32_t> m_next;
};
