#include "syssensors/sensor_catalogue.h"

#include <algorithm>
#include <string>

#include "base/diag.h"
#include "syssensors/record_text.h"
#include "syssensors/sdk_text.h"
#include "syssensors/sensor_locator.h"
#include "syssensors/sensor_naming.h"
#include "syssensors/sensor_reading.h"
#include "syssensors/sensor_sdk.h"
#include "syssensors/sensor_text.h"

std::mutex g_sensorLock;
std::vector<SensorRecord> g_vecSensors;
std::vector<SensorDevice> g_vecSensorDevices;
int32_t g_nSensorNumberBase = 0;
int32_t g_nNextSensorNumber = 0;

namespace {

bool g_bBuilt = false;
// Built with the catalogue, kept in step with every record a refresh moves.
SensorLocator g_locator;

// Each device, each class in table order, and the SDK's count of that class's sensors when it has
// any; the walk ends when it has asked for kMaxSensorsPerWalk sensors.
template <typename Visit>
void WalkSensorClasses(int32_t deviceCount, Visit&& visit) {
    int32_t budget = kMaxSensorsPerWalk;
    for (int32_t d = 0; d < deviceCount; ++d) {
        for (const SensorClass& sensorClass : g_SensorClasses) {
            const int32_t count = std::min(SdkSensorCount(d, sensorClass.nCode), budget);
            if (count <= 0) continue;
            visit(d, count, sensorClass);
            budget -= count;
            if (budget == 0) return;
        }
    }
}

void PrintReading(int32_t device, int32_t classCode, SensorReading& reading) {
    ReadingLine line;
    if (NormaliseSensorReading(device, classCode, reading, line)) StdoutPrint("%s", line.szText);
}

void SetReadingFields(SensorRecord& r, const SensorReading& reading) {
    r.nIdLow = cpuidsdk::IdLow(reading.nId);
    r.nClassNumber = cpuidsdk::IdClassNumber(reading.nId);
    r.nIdHigh = cpuidsdk::IdHigh(reading.nId);
    r.nRawValue = reading.nRawValue;
    r.fValue = reading.fValue;
    r.fMin = reading.fMin;
    r.fMax = reading.fMax;
}

// Numbers wrap around instead of overflowing; the differences below are taken the same way.
int32_t NextNumber() {
    const int32_t number = g_nNextSensorNumber;
    g_nNextSensorNumber = static_cast<int32_t>(static_cast<uint32_t>(number) + 1u);
    return number;
}

// A record's position is its number less the base: numbers are handed out in build order from the
// base, only by the one build, and never change afterwards.
SensorRecord* RecordNumbered(int32_t number) {
    const uint32_t position = static_cast<uint32_t>(number) - static_cast<uint32_t>(g_nSensorNumberBase);
    return position < g_vecSensors.size() ? &g_vecSensors[position] : nullptr;
}

void AddDevices(int32_t count) {
    // Kept for the life of the module, like the counters of the texts seen so far.
    static UniqueClassTexts classTexts;
    for (int32_t d = 0; d < count; ++d) {
        SensorDevice device;
        device.nDeviceIndex = d;
        device.strClass = std::u16string(DeviceClassText(SdkDeviceClass(d)));
        std::string name;
        device.strName = SdkDeviceName(d, name) ? Cut(AnsiToUtf16(name.c_str(), MB_PRECOMPOSED), kDeviceTextChars)
                                                : Widen("Device " + std::to_string(d));
        device.nSensorCount = SdkSensorCount(d, cpuidsdk::kAllSensorClasses);
        g_vecSensorDevices.push_back(std::move(device));
    }
    for (SensorDevice& device : g_vecSensorDevices) device.strClass = classTexts.Enter(std::move(device.strClass));
}

void AddClassSensors(int32_t d, int32_t count, const SensorClass& sensorClass, int32_t classOrdinal) {
    const std::u16string category = BuildSensorCategory(g_vecSensorDevices[d].strClass, Widen(sensorClass.szName));
    for (int32_t i = 0; i < count; ++i) {
        SensorReading reading;
        // A sensor the SDK does not answer for is left out; it uses up no number.
        if (!SdkSensorInfo(d, i, sensorClass.nCode, reading)) continue;
        PrintReading(d, sensorClass.nCode, reading);
        SensorRecord& r = g_vecSensors.emplace_back();
        r.nDeviceIndex = d;
        const std::u16string name = NormaliseSensorName(Cut(AnsiToUtf16(reading.szName, 0), kRecordTextChars));
        SetRecordText(r.szName, name);
        SetRecordText(r.szUnit, reading.szUnit);
        r.nSensorIndex = i;
        r.nClassOrdinal = classOrdinal;
        SetReadingFields(r, reading);
        r.bEnabled = 1;
        r.nNumber = NextNumber();
        SetRecordText(r.szCategory, category);
        SetRecordText(r.szKey, BuildSensorKey(name, category));
    }
}

void RefreshClassSensors(int32_t d, int32_t count, int32_t classCode) {
    const int32_t classNumber = cpuidsdk::IdClassNumber(classCode);
    for (int32_t i = 0; i < count; ++i) {
        const int64_t found = g_locator.Find({d, classNumber, i});
        if (found == SensorLocator::kNone || !g_vecSensors[found].bEnabled) continue;
        SensorReading reading;
        if (!SdkSensorInfo(d, i, classCode, reading)) continue;
        PrintReading(d, classCode, reading);
        const int32_t number = g_vecSensors[found].nNumber;
        SensorRecord* target = RecordNumbered(number);
        if (!target) continue;
        const SensorSlot before = SlotOf(*target);
        target->bEnabled = 1;
        target->nDeviceIndex = d;
        SetReadingFields(*target, reading);
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
    const int32_t devices = std::min(deviceCount, kMaxSensorDevices);
    AddDevices(devices);
    // The devices' own counts of their sensors size the catalogue once instead of growing it.
    int64_t expected = 0;
    for (const SensorDevice& device : g_vecSensorDevices) expected += std::max(device.nSensorCount, 0);
    g_vecSensors.reserve(static_cast<size_t>(std::min<int64_t>(expected, kMaxSensorsPerWalk)));
    int32_t classOrdinal = 0;
    WalkSensorClasses(devices, [&](int32_t d, int32_t count, const SensorClass& sensorClass) {
        AddClassSensors(d, count, sensorClass, classOrdinal++);
    });
    NameCatalogue(g_vecSensors, g_vecSensorDevices);
    g_locator.Build(g_vecSensors);
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
    WalkSensorClasses(devices, [](int32_t d, int32_t count, const SensorClass& sensorClass) {
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
