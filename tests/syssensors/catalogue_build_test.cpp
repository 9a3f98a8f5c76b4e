#include "syssensors/sensor_naming.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <optional>
#include <string>

#include "syssensors/catalogue_build.h"
#include "syssensors/record_text.h"

namespace {

// A processor with two temperatures and a nameless mainboard with one voltage. Its texts
// are converted where the SDK's are, and the conversion numbered `failingConversion` (counting
// from 0) runs out of memory.
struct ScriptedSdk {
    int conversions = 0;
    int failingConversion = -1;

    std::u16string Convert(const char* text) {
        if (conversions++ == failingConversion) throw std::bad_alloc();
        return Widen(text);
    }
    int32_t DeviceClass(int32_t d) { return d == 0 ? cpuidsdk::kDeviceProcessor : cpuidsdk::kDeviceMainboard; }
    std::optional<std::u16string> DeviceName(int32_t d) {
        if (d == 1) return std::nullopt;
        return Convert("Vexon V9");
    }
    int32_t SensorCount(int32_t d, int32_t code) {
        if (code == cpuidsdk::kAllSensorClasses) return d == 0 ? 2 : 1;
        if (code == cpuidsdk::kSensorTemperature && d == 0) return 2;
        return code == cpuidsdk::kSensorVoltage && d == 1 ? 1 : 0;
    }
    bool SensorInfo(int32_t, int32_t i, int32_t code, SensorReading& reading) {
        reading.nId = code | i;
        std::snprintf(reading.szName, sizeof reading.szName, code == cpuidsdk::kSensorVoltage ? "+12V" : "Core #%d", i);
        reading.fValue = 40.0f;
        return true;
    }
    std::u16string SensorName(const char* text) { return Convert(text); }
    void Print(const char*) {}
};

struct Catalogue {
    std::vector<SensorRecord> records;
    std::vector<SensorDevice> devices;
    UniqueClassTexts classTexts;
    int32_t nextNumber = 1000;
    SensorLocator locator;

    void Append(ScriptedSdk& sdk) { AppendToCatalogue(sdk, 2, {records, devices, classTexts, nextNumber, locator}); }
};

}  // namespace

TEST(SensorCatalogueBuild, RunningOutOfMemoryAnywhereLeavesTheCatalogueAsItWas) {
    const std::vector<std::u16string> displays = {u"CPU-Temp-Core_0", u"CPU-Temp-Core_1", u"MB-volts-12V"};
    bool completed = false;
    for (int failing = 0; !completed; ++failing) {
        SCOPED_TRACE("conversion " + std::to_string(failing) + " fails");
        Catalogue catalogue;
        ScriptedSdk sdk{0, failing};
        try {
            catalogue.Append(sdk);
            completed = true;
            EXPECT_EQ(failing, sdk.conversions) << "each conversion has failed once";
        } catch (const std::bad_alloc&) {
            EXPECT_TRUE(catalogue.records.empty());
            EXPECT_TRUE(catalogue.devices.empty());
            EXPECT_EQ(1000, catalogue.nextNumber);
            EXPECT_EQ(SensorLocator::kNone, catalogue.locator.Find({0, 2, 0}));
            // Nothing of the failed build shows in the next one: no device is added twice, the
            // class texts start afresh and the numbers from the same base.
            ScriptedSdk again;
            catalogue.Append(again);
        }
        EXPECT_EQ(2u, catalogue.devices.size());
        ASSERT_EQ(displays.size(), catalogue.records.size());
        for (size_t i = 0; i < displays.size(); ++i) {
            EXPECT_EQ(displays[i], RecordText(catalogue.records[i].szDisplayName)) << i;
            EXPECT_EQ(1000 + static_cast<int32_t>(i), catalogue.records[i].nNumber) << i;
        }
        EXPECT_EQ(1003, catalogue.nextNumber);
        EXPECT_EQ(1, catalogue.locator.Find({0, 2, 1}));
    }
}
