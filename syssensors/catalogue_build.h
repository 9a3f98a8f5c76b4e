// The catalogue build over any source of SDK answers: the module's source is the started SDK, a
// test's a scripted one. Free of Windows, so the sanitizers reach it natively.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "TorvexModule.h"
#include "syssensors/record_text.h"
#include "syssensors/sensor_device.h"
#include "syssensors/sensor_locator.h"
#include "syssensors/sensor_naming.h"
#include "syssensors/sensor_reading.h"
#include "syssensors/sensor_text.h"
#include "vendor/cpuidsdk_abi.h"

// A hostile SDK must not make a walk over its sensors endless or the catalogue huge: at most this
// many of its devices are taken, and at most this many sensors asked for in one walk.
constexpr int32_t kMaxSensorDevices = 1024;
constexpr int32_t kMaxSensorsPerWalk = 32768;

// Each device, each class in table order, and the source's count of that class's sensors
// (`count(device, code)`) when it has any; the walk ends when it has asked for kMaxSensorsPerWalk
// sensors.
template <typename Count, typename Visit>
void WalkSensorClasses(int32_t deviceCount, Count&& count, Visit&& visit) {
    int32_t budget = kMaxSensorsPerWalk;
    for (int32_t d = 0; d < deviceCount; ++d) {
        for (const SensorClass& sensorClass : g_SensorClasses) {
            const int32_t k = std::min(count(d, sensorClass.nCode), budget);
            if (k <= 0) continue;
            visit(d, k, sensorClass);
            budget -= k;
            if (budget == 0) return;
        }
    }
}

// Everything a build changes. The class texts are kept for the life of the module, like the
// counters of the texts seen so far.
struct SensorCatalogueState {
    std::vector<SensorRecord>& records;
    std::vector<SensorDevice>& devices;
    UniqueClassTexts& classTexts;
    int32_t& nextNumber;
    SensorLocator& locator;
};

namespace catalogue_build {

// The copy a build works on; handed over to the module only once the build is complete.
struct Draft {
    std::vector<SensorRecord> records;
    std::vector<SensorDevice> devices;
    UniqueClassTexts classTexts;
    int32_t nextNumber;
    SensorLocator locator;
};
static_assert(std::is_nothrow_swappable_v<std::vector<SensorRecord>> &&
                  std::is_nothrow_swappable_v<std::vector<SensorDevice>> &&
                  std::is_nothrow_swappable_v<UniqueClassTexts> && std::is_nothrow_swappable_v<SensorLocator>,
              "handing a finished build over must not fail");

inline void SetReadingFields(SensorRecord& r, const SensorReading& reading) {
    r.nIdLow = cpuidsdk::IdLow(reading.nId);
    r.nClassNumber = cpuidsdk::IdClassNumber(reading.nId);
    r.nIdHigh = cpuidsdk::IdHigh(reading.nId);
    r.nRawValue = reading.nRawValue;
    r.fValue = reading.fValue;
    r.fMin = reading.fMin;
    r.fMax = reading.fMax;
}

// Numbers wrap around instead of overflowing.
inline int32_t TakeNumber(int32_t& next) {
    const int32_t number = next;
    next = static_cast<int32_t>(static_cast<uint32_t>(number) + 1u);
    return number;
}

template <typename Source>
void PrintReading(Source& source, int32_t device, int32_t classCode, SensorReading& reading) {
    ReadingLine line;
    if (NormaliseSensorReading(device, classCode, reading, line)) source.Print(line.szText);
}

template <typename Source>
void AddDevices(Source& source, int32_t count, Draft& draft) {
    for (int32_t d = 0; d < count; ++d) {
        SensorDevice device;
        device.nDeviceIndex = d;
        device.strClass = std::u16string(DeviceClassText(source.DeviceClass(d)));
        const std::optional<std::u16string> name = source.DeviceName(d);
        device.strName = name ? Cut(*name, kDeviceTextChars) : Widen("Device " + std::to_string(d));
        device.nSensorCount = source.SensorCount(d, cpuidsdk::kAllSensorClasses);
        draft.devices.push_back(std::move(device));
    }
    for (SensorDevice& device : draft.devices) device.strClass = draft.classTexts.Enter(std::move(device.strClass));
}

template <typename Source>
void AddClassSensors(Source& source, int32_t d, int32_t count, const SensorClass& sensorClass, int32_t classOrdinal,
                     Draft& draft) {
    const std::u16string category = BuildSensorCategory(draft.devices[d].strClass, Widen(sensorClass.szName));
    for (int32_t i = 0; i < count; ++i) {
        SensorReading reading;
        // A sensor the SDK does not answer for is left out; it uses up no number.
        if (!source.SensorInfo(d, i, sensorClass.nCode, reading)) continue;
        PrintReading(source, d, sensorClass.nCode, reading);
        SensorRecord& r = draft.records.emplace_back();
        r.nDeviceIndex = d;
        const std::u16string name = NormaliseSensorName(Cut(source.SensorName(reading.szName), kRecordTextChars));
        SetRecordText(r.szName, name);
        SetRecordText(r.szUnit, reading.szUnit);
        r.nSensorIndex = i;
        r.nClassOrdinal = classOrdinal;
        SetReadingFields(r, reading);
        r.bEnabled = 1;
        r.nNumber = TakeNumber(draft.nextNumber);
        SetRecordText(r.szCategory, category);
        SetRecordText(r.szKey, BuildSensorKey(name, category));
    }
}

}  // namespace catalogue_build

// Adds the first `deviceCount` devices of the source and their sensors to the catalogue, names
// the records and indexes them. All or nothing: when anything fails on the way (an allocation),
// the failure propagates and the catalogue, its class texts and its numbers are as they were.
//
// The source answers DeviceClass(d), DeviceName(d) (UTF-16, or nothing), SensorCount(d, code),
// SensorInfo(d, i, code, reading) and SensorName(8-bit text) as the SDK does, and takes the
// diagnostic lines through Print(line).
template <typename Source>
void AppendToCatalogue(Source& source, int32_t deviceCount, const SensorCatalogueState& state) {
    using namespace catalogue_build;
    Draft draft{state.records, state.devices, state.classTexts, state.nextNumber, SensorLocator()};
    AddDevices(source, deviceCount, draft);
    // The devices' own counts of their sensors size the catalogue once instead of growing it.
    int64_t expected = 0;
    for (const SensorDevice& device : draft.devices) expected += std::max(device.nSensorCount, 0);
    draft.records.reserve(draft.records.size() + static_cast<size_t>(std::min<int64_t>(expected, kMaxSensorsPerWalk)));
    int32_t classOrdinal = 0;
    WalkSensorClasses(
        deviceCount, [&](int32_t d, int32_t code) { return source.SensorCount(d, code); },
        [&](int32_t d, int32_t count, const SensorClass& sensorClass) {
            AddClassSensors(source, d, count, sensorClass, classOrdinal++, draft);
        });
    NameCatalogue(draft.records, draft.devices);
    draft.locator.Build(draft.records);

    using std::swap;
    swap(state.records, draft.records);
    swap(state.devices, draft.devices);
    swap(state.classTexts, draft.classTexts);
    swap(state.locator, draft.locator);
    state.nextNumber = draft.nextNumber;
}
