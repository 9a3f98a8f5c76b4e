#include "syssensors/sensor_text.h"

#include <gtest/gtest.h>

#include <string>

#include "vendor/cpuidsdk_abi.h"

TEST(SensorText, NamesAreRewrittenInTableOrderAndKeysKeepLimit) {
    const struct {
        const char* in;
        const char* name;
        const char* key;
    } cases[] = {
        {"CPU Temperature Limit", "CPU Temp ", "CPU Temp Limit"},
        {"PowerSupply Synchronisation", "PSU ", "PSU "},
        // Each row replaces the occurrences the text has when the row comes: removing "Limit"
        // from the middle makes a new "Limit", which stays.
        {"LimLimitit", "Limit", "LimLimitit"},
        // "PowerSupply" made by the removal of "Limit" comes after its own row.
        {"PowerLimitSupply", "PowerSupply", "PowerLimitSupply"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Widen(c.name), NormaliseSensorName(Widen(c.in)));
        EXPECT_EQ(Widen(c.key), NormaliseSensorKey(Widen(c.in)));
    }
}

TEST(SensorText, KeysJoinCategoryAndNameWithOneDashPass) {
    const struct {
        const char* name;
        const char* category;
        const char* key;
    } cases[] = {
        // Only what follows the last '#' goes.
        {"Drive #1 #2", "HD-Temp", "HD-Temp-Drive#1"},
        {"CPU (Tctl/Tdie)", "CPU-Temp", "CPU-Temp-CPU-Tctl-Tdie-"},
        {":Rate", "HD-", "HD-Rate"},
        // The pass makes one dash of two. (A class without a name, "HD-" + "Read Rate": the catalogue
        // tests.)
        {"a---b", "C-D", "C-D-a--b"},
        {"a----b", "C-D", "C-D-a--b"},
        // An empty name does not start with '-'.
        {"", "MB-volts", "MB-volts-"},
        {"#3", "MB-volts", "MB-volts-"},
        // Spaces go first, so "Power Supply" reaches the key rules as "PowerSupply".
        {"Power Supply", "PSU-Power", "PSU-Power-PSU"},
        {"Temperature", "CPU_1-Temp", "CPU_1-Temp-Temp"},
        {"Chip (x)", "Adapter (y)", "Adapter-y-Chip-x-"},
    };
    for (const auto& c : cases) EXPECT_EQ(Widen(c.key), BuildSensorKey(Widen(c.name), Widen(c.category)));
}

TEST(SensorText, CategoriesAreCutToTheirField) {
    EXPECT_EQ(kRecordTextChars, BuildSensorCategory(std::u16string(63, u'C'), Widen(std::string(100, 'n'))).size());
}

TEST(SensorText, DeviceClassTextsAndTheirSuffixes) {
    EXPECT_EQ(u"Unknown", DeviceClassText(-1));
    EXPECT_EQ(u"Unknown", DeviceClassText(cpuidsdk::kDeviceProcessor | cpuidsdk::kDeviceMemory));

    UniqueClassTexts texts;
    EXPECT_EQ(u"CPU", texts.Enter(u"CPU"));
    EXPECT_EQ(u"CPU_1", texts.Enter(u"CPU"));
    EXPECT_EQ(u"cpu", texts.Enter(u"cpu")) << "comparison is case-sensitive";
    EXPECT_EQ(u"CPU_2", texts.Enter(u"CPU"));
    const std::u16string full(kDeviceTextChars, u'D');
    EXPECT_EQ(full, texts.Enter(full));
    EXPECT_EQ(full, texts.Enter(full)) << "the suffix is cut away with the rest of a full text";
}
