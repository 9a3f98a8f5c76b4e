#include "syssensors/sensor_naming.h"

#include <gtest/gtest.h>

#include "syssensors/record_text.h"

namespace {

SensorRecord Keyed(const char16_t* key, int32_t device) {
    SensorRecord r{};
    SetRecordText(r.szKey, key);
    r.nDeviceIndex = device;
    return r;
}

}  // namespace

TEST(SensorNaming, GroupsOrdinalsAndDisplayNamesFollowTheKeysInOrder) {
    std::vector<SensorRecord> records = {Keyed(u"CPU-Temp-Core", 0), Keyed(u"CPU-Temp-Core", 0),
                                         Keyed(u"MB-volts-12V", 1),  Keyed(u"CPU-Temp-Core", 0),
                                         Keyed(u"MB-Fan-FANIN", 1),  Keyed(u"CPU-Temp-Package", 7)};
    const std::vector<SensorDevice> devices = {{0, u"CPU", u"Vexon 16-Core", 40}, {1, u"MB", u"Device 1", 12}};
    NameCatalogue(records, devices);

    const int32_t groups[] = {0, 0, 1, 0, 2, 3};
    // The running ordinal starts again at every new key and rises at every key seen before, so a
    // key that comes back after another continues from that other key's ordinal.
    const int32_t ordinals[] = {0, 1, 0, 1, 0, 0};
    const char16_t* displays[] = {u"CPU-Temp-Core_0", u"CPU-Temp-Core_1", u"MB-volts-12V",
                                  u"CPU-Temp-Core_1", u"MB-Fan-FANIN",    u"CPU-Temp-Package"};
    const char16_t* deviceNames[] = {u"Vexon 16-Core", u"Vexon 16-Core", u"Device 1", u"Vexon 16-Core", u"Device 1", u""};
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(groups[i], records[i].nGroup) << i;
        EXPECT_EQ(ordinals[i], records[i].nGroupOrdinal) << i;
        EXPECT_EQ(displays[i], RecordText(records[i].szDisplayName)) << i;
        EXPECT_EQ(deviceNames[i], RecordText(records[i].szDeviceName)) << i;
    }
}

TEST(SensorNaming, DisplayNamesAreCutToTheirField) {
    const std::u16string key(127, u'k');
    std::vector<SensorRecord> records = {Keyed(key.c_str(), 0), Keyed(key.c_str(), 0)};
    NameCatalogue(records, {});
    EXPECT_EQ(key, RecordText(records[1].szDisplayName)) << "the suffix falls past the field";
    EXPECT_EQ(0, records[1].szDisplayName[127]);
}
