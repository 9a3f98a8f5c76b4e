#include "syssensors/sensor_locator.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// What a search from the start of the catalogue finds.
int64_t FirstMatch(const std::vector<SensorRecord>& records, const SensorSlot& slot) {
    for (size_t i = 0; i < records.size(); ++i)
        if (SlotOf(records[i]) == slot) return static_cast<int64_t>(i);
    return SensorLocator::kNone;
}

SensorSlot RandomSlot(std::mt19937& random) {
    // Few values per field, so that twins and moves onto occupied slots are common.
    return {static_cast<int32_t>(random() % 3), static_cast<int32_t>(random() % 3), static_cast<int32_t>(random() % 4)};
}

void Place(SensorRecord& r, const SensorSlot& slot) {
    r.nDeviceIndex = slot.nDeviceIndex;
    r.nClassNumber = slot.nClassNumber;
    r.nSensorIndex = slot.nSensorIndex;
}

}  // namespace

TEST(SensorLocator, AlwaysFindsWhatAFirstMatchSearchFinds) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 200; ++round) {
        std::vector<SensorRecord> records(random() % 30);
        for (SensorRecord& r : records) Place(r, RandomSlot(random));
        SensorLocator locator;
        locator.Build(records);
        for (int step = 0; step < 60; ++step) {
            if (!records.empty() && random() % 2) {
                const size_t position = random() % records.size();
                const SensorSlot before = SlotOf(records[position]);
                Place(records[position], RandomSlot(random));
                locator.Move(position, before, SlotOf(records[position]));
            }
            const SensorSlot probe = RandomSlot(random);
            ASSERT_EQ(FirstMatch(records, probe), locator.Find(probe)) << "round " << round << ", step " << step;
        }
    }
}
