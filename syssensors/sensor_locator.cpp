#include "syssensors/sensor_locator.h"

SensorSlot SlotOf(const SensorRecord& record) {
    return {record.nDeviceIndex, record.nClassNumber, record.nSensorIndex};
}

size_t SensorLocator::SlotHash::operator()(const SensorSlot& s) const {
    uint64_t h = static_cast<uint32_t>(s.nDeviceIndex);
    h = h * 0x9E3779B97F4A7C15ull + static_cast<uint32_t>(s.nClassNumber);
    h = h * 0x9E3779B97F4A7C15ull + static_cast<uint32_t>(s.nSensorIndex);
    return static_cast<size_t>(h ^ (h >> 29));
}

void SensorLocator::Build(const std::vector<SensorRecord>& records) {
    m_first.clear();
    m_first.reserve(records.size());
    m_next.assign(records.size(), kEnd);
    // Backwards, so that each slot's chain ends up in ascending order with a push at its front.
    for (size_t i = records.size(); i-- > 0;) {
        const auto [first, isNew] = m_first.try_emplace(SlotOf(records[i]), static_cast<uint32_t>(i));
        if (!isNew) {
            m_next[i] = first->second;
            first->second = static_cast<uint32_t>(i);
        }
    }
}

int64_t SensorLocator::Find(const SensorSlot& slot) const {
    const auto found = m_first.find(slot);
    return found == m_first.end() ? kNone : static_cast<int64_t>(found->second);
}

void SensorLocator::Move(size_t position, const SensorSlot& from, const SensorSlot& to) {
    if (from == to || position >= m_next.size()) return;
    Remove(static_cast<uint32_t>(position), from);
    Insert(static_cast<uint32_t>(position), to);
}

void SensorLocator::Remove(uint32_t position, const SensorSlot& slot) {
    const auto found = m_first.find(slot);
    if (found == m_first.end()) return;
    if (found->second == position) {
        if (m_next[position] == kEnd) {
            m_first.erase(found);
        } else {
            found->second = m_next[position];
        }
    } else {
        uint32_t at = found->second;
        while (m_next[at] != kEnd && m_next[at] != position) at = m_next[at];
        if (m_next[at] == position) m_next[at] = m_next[position];
    }
    m_next[position] = kEnd;
}

void SensorLocator::Insert(uint32_t position, const SensorSlot& slot) {
    const auto [first, isNew] = m_first.try_emplace(slot, position);
    if (isNew) return;
    if (position < first->second) {
        m_next[position] = first->second;
        first->second = position;
        return;
    }
    uint32_t at = first->second;
    while (m_next[at] != kEnd && m_next[at] < position) at = m_next[at];
    m_next[position] = m_next[at];
    m_next[at] = position;
}
