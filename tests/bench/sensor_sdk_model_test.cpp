// The simulated system-monitoring SDK natively: its scenario section and the shipped machine
// profiles. Its answers, refusals and string ledger show through the module (tests/syssensors).
#include <gtest/gtest.h>

#include <string>

#include "scenario.h"
#include "sensor_sdk.h"
#include "vendor/cpuidsdk_abi.h"

using namespace bench;
using namespace cpuidsdk;

namespace {

SensorSdkConfig Sdk(const std::string& section) {
    const ScenarioResult result = ParseScenario(R"({"cpuidsdk": )" + section + "}");
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine.cpuidsdk;
}

SensorSdkConfig Profile(const char* file) {
    const ScenarioResult result = ReadScenarioFile(std::string(TORVEX_BENCH_SCENARIO_DIR) + "/" + file);
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine.cpuidsdk;
}

size_t SensorCount(const SensorSdkConfig& sdk) {
    size_t n = 0;
    for (const SdkDevice& device : sdk.devices) n += device.sensors.size();
    return n;
}

size_t DevicesOfClass(const SensorSdkConfig& sdk, int32_t classCode) {
    size_t n = 0;
    for (const SdkDevice& device : sdk.devices) n += device.classCode == classCode;
    return n;
}

}  // namespace

// Names, copies, given identifiers, answers and class counts reach the module's catalogue, whose tests
// pin them; what the module does not show is checked here.
TEST(SensorSdkScenario, DevicesAndSensorsAreReadWithTheirCopiesNullNamesAndRanges) {
    const SensorSdkConfig sdk = Sdk(R"({"devices": [
        {"class": "processor", "name": "CPU {i}", "count": 2, "sensors": [
          {"class": "temperature", "name": "Core #{i}", "count": 3, "value": [40, 42.5]},
          {"class": "fan", "name": null, "count": 2, "raw": -4},
          {"class": "temperature", "name": "Caf\u00e9", "value": 30, "min": -5, "max": 90}]},
        {"class": "0x4000", "sensorCount": 7}]})");
    ASSERT_EQ(3u, sdk.devices.size());
    EXPECT_EQ(kDeviceWaterCooler, sdk.devices[2].classCode);
    EXPECT_EQ(7, sdk.devices[2].allSensorsCount.value());

    const std::vector<SdkSensor>& s = sdk.devices[1].sensors;
    ASSERT_EQ(6u, s.size());
    EXPECT_FALSE(s[3].name.has_value());
    EXPECT_EQ(-4, s[3].raw);
    EXPECT_EQ(40.0f, s[0].minimum) << "unless given, the range spans the readings";
    EXPECT_EQ(42.5f, s[0].maximum);
    EXPECT_EQ("Caf\xE9", s[5].name.value()) << "characters up to U+00FF are the 8-bit text's bytes";
    EXPECT_EQ(-5.0f, s[5].minimum);
}

// The machines bench/README.md describes.
TEST(SensorSdkScenario, ShippedProfilesDescribeTheirMachines) {
    const struct {
        const char* file;
        size_t sensors, processors, waterCoolers, batteries, drives;
    } profiles[] = {
        {"default.json", 194, 1, 0, 0, 2},
        {"sensors-workstation.json", 250, 2, 1, 0, 2},
        {"sensors-laptop.json", 47, 1, 0, 1, 1},
        {"sensors-server.json", 2000, 2, 0, 0, 105},
    };
    for (const auto& p : profiles) {
        SCOPED_TRACE(p.file);
        const SensorSdkConfig sdk = Profile(p.file);
        EXPECT_EQ(p.sensors, SensorCount(sdk));
        EXPECT_EQ(p.processors, DevicesOfClass(sdk, kDeviceProcessor));
        EXPECT_EQ(p.waterCoolers, DevicesOfClass(sdk, kDeviceWaterCooler));
        EXPECT_EQ(p.batteries, DevicesOfClass(sdk, kDeviceBattery));
        EXPECT_EQ(p.drives, DevicesOfClass(sdk, kDeviceStorage));
    }
    EXPECT_FALSE(Profile("no-vendor.json").present) << "a machine without the section has no SDK";
}
