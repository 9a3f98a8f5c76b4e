#include "syssensors/sensor_catalogue.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/diag.h"
#include "syssensors/sdk_text.h"
#include "syssensors/sensor_locator.h"
#include "syssensors/sensor_reading.h"
#include "syssensors/sensor_sdk.h"

std::mutex g_sensorLock;
std::vector<SensorRecord> g_vecSensors;
std::vector<SensorDevice> g_vecSensorDevices;
int32_t g_nSensorNumberBase = 0;
int32_t g_nNextSensorNumber = 0;

namespace {

bool g_bBuilt = false;
// Built with the catalogue, kept in step with every record a refresh moves.
SensorLocator g_locator;
UniqueClassTexts g_classTexts;

// The build's source: the started SDK, its texts converted from the ANSI code page.
struct StartedSdk {
    int32_t DeviceClass(int32_t device) { return SdkDeviceClass(device); }
    std::optional<std::u16string> DeviceName(int32_t device) {
        std::string name;
        if (!SdkDeviceName(device, name)) return std::nullopt;
        return AnsiToUtf16(name.c_str(), MB_PRECOMPOSED);
    }
    int32_t SensorCount(int32_t device, int32_t sensorClass) { return SdkSensorCount(device, sensorClass); }
    bool SensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading) {
        return SdkSensorInfo(device, sensor, sensorClass, reading);
    }
    std::u16string SensorName(const char* text) { return AnsiToUtf16(text, 0); }
    void Print(const char* line) { StdoutPrint("%s", line); }
};

// A record's position is its number less the base: numbers are handed out in build order from the
// base, only by the one build, and never change afterwards. The difference wraps as the numbers do.
SensorRecord* RecordNumbered(int32_t number) {
    const uint32_t position = static_cast<uint32_t>(number) - static_cast<uint32_t>(g_nSensorNumberBase);
    return position < g_vecSensors.size() ? &g_vecSensors[position] : nullptr;
}

void RefreshClassSensors(int32_t d, int32_t count, int32_t classCode) {
    const int32_t classNumber = cpuidsdk::IdClassNumber(classCode);
    for (int32_t i = 0; i < count; ++i) {
        const int64_t found = g_locator.Find({d, classNumber, i});
        if (found == SensorLocator::kNone || !g_vecSensors[found].bEnabled) continue;
        SensorReading reading;
        if (!SdkSensorInfo(d, i, classCode, reading)) continue;
        StartedSdk sdk;
        catalogue_build::PrintReading(sdk, d, classCode, reading);
        const int32_t number = g_vecSensors[found].nNumber;
        SensorRecord* target = RecordNumbered(number);
        if (!target) continue;
        const SensorSlot before = SlotOf(*target);
        target->bEnabled = 1;
        target->nDeviceIndex = d;
        catalogue_build::SetReadingFields(*target, reading);
        target->nNumber = number;
        target->nSensorIndex = i;
        g_locator.Move(static_cast<size_t>(target - g_vecSensors.data()), before, SlotOf(*target));
    }
}

}  // namespace

bool SensorCatalogueBuilt() { return g_bBuilt; }

int BuildSensorCatalogue() {
    const int32_t deviceCount = SdkDeviceCount();
    if (deviceCount == -1) return -3;
    StartedSdk sdk;
    AppendToCatalogue(sdk, std::min(deviceCount, kMaxSensorDevices),
                      {g_vecSensors, g_vecSensorDevices, g_classTexts, g_nNextSensorNumber, g_locator});
    g_bBuilt = true;
    SdkRefresh();
    return 0;
}

void RefreshSensorCatalogue() {
    if (!g_pSdk) return;
    const int32_t deviceCount = SdkDeviceCount();
    if (deviceCount == -1) return;
    const int32_t devices = std::min(deviceCount, kMaxSensorDevices);
    if (devices != static_cast<int32_t>(g_vecSensorDevices.size())) return;
    WalkSensorClasses(devices, SdkSensorCount, [](int32_t d, int32_t count, const SensorClass& sensorClass) {
        RefreshClassSensors(d, count, sensorClass.nCode);
    });
    SdkRefresh();
}

int SetSensorStatus(const SensorRecord* records, int32_t count) {
    bool allFound = true;
    for (int32_t i = 0; i < count; ++i) {
        SensorRecord* known = RecordNumbered(records[i].nNumber);
        if (known && known->nNumber == records[i].nNumber) {
            known->bEnabled = records[i].bEnabled;
        } else {
            allFound = false;
        }
    }
    return allFound ? 0 : -2;
}
