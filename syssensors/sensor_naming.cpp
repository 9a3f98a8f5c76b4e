#include "syssensors/sensor_naming.h"

#include <string>
#include <unordered_map>

#include "syssensors/record_text.h"
#include "syssensors/sensor_text.h"

void NameCatalogue(std::vector<SensorRecord>& records, const std::vector<SensorDevice>& devices) {
    std::unordered_map<std::u16string, int32_t> groups;
    std::vector<int32_t> groupSizes;
    int32_t ordinal = 0;
    for (SensorRecord& r : records) {
        const auto [group, isNew] = groups.emplace(RecordText(r.szKey), static_cast<int32_t>(groupSizes.size()));
        if (isNew) {
            groupSizes.push_back(0);
            ordinal = 0;
        } else {
            ++ordinal;
        }
        r.nGroup = group->second;
        r.nGroupOrdinal = ordinal;
        ++groupSizes[group->second];
    }
    for (SensorRecord& r : records) {
        std::u16string display = RecordText(r.szKey);
        if (groupSizes[r.nGroup] > 1) display += Widen("_" + std::to_string(r.nGroupOrdinal));
        SetRecordText(r.szDisplayName, Cut(std::move(display), kRecordTextChars));
        const bool known = r.nDeviceIndex >= 0 && static_cast<size_t>(r.nDeviceIndex) < devices.size();
        SetRecordText(r.szDeviceName, known ? devices[r.nDeviceIndex].strName : std::u16string());
    }
}
