#include "syssensors/sensor_catalogue.h"

#include <algorithm>
#include <optional>
#include <string>

#include "base/diag.h"
#include "base/named_mutex.h"
#include "syssensors/sdk_text.h"
#include "syssensors/sensor_reading.h"

namespace {

// Other programs that use the SDK serialise its start with this mutex. It is waited for at most
// this long: a program that keeps it must not hang the host, so past the wait the SDK starts anyway.
constexpr wchar_t kSdkStartMutex[] = L"Global\\cpuzlock";
constexpr DWORD kSdkStartMutexWaitMs = 2000;

// The build's source: the started SDK, its texts converted from the ANSI code page.
struct StartedSdk {
    const SensorSdk& sdk;

    int32_t DeviceClass(int32_t device) { return sdk.DeviceClass(device); }
    std::optional<std::u16string> DeviceName(int32_t device) {
        std::string name;
        if (!sdk.DeviceName(device, name)) return std::nullopt;
        return AnsiToUtf16(name.c_str(), MB_PRECOMPOSED);
    }
    int32_t SensorCount(int32_t device, int32_t sensorClass) { return sdk.SensorCount(device, sensorClass); }
    bool SensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading) {
        return sdk.SensorInfo(device, sensor, sensorClass, reading);
    }
    std::u16string SensorName(const char* text) { return AnsiToUtf16(text, 0); }
    void Print(const char* line) { StdoutPrint("%s", line); }
};

}  // namespace

int SensorCatalogue::Start(int32_t firstNumber, void (*undoFailedStart)()) {
    if (m_bBuilt) return 0;
    if (firstNumber > 0) m_nNumberBase = m_nNextNumber = firstNumber;
    if (!GetModuleHandleW(nullptr)) {
        StdoutPrint("Fatal Error: GetModuleHandle failed\n");
        return -2;
    }
    // An SDK that started before (the build then found no device list) is used again.
    if (!m_sdk.Bound()) {
        bool started = false;
        {
            const NamedMutexLock startLock(kSdkStartMutex, kSdkStartMutexWaitMs);
            started = m_sdk.Load();
        }
        if (!started) {
            m_sdk.Release();
            undoFailedStart();
            return -1;
        }
    }
    try {
        return Build();
    } catch (...) {
        // A build that ran out of memory added nothing; undone like a failed start, the module is
        // then as if it had never started.
        m_sdk.Release();
        undoFailedStart();
        throw;
    }
}

int SensorCatalogue::Build() {
    const int32_t deviceCount = m_sdk.DeviceCount();
    if (deviceCount == -1) return -3;
    StartedSdk source{m_sdk};
    AppendToCatalogue(source, std::min(deviceCount, kMaxSensorDevices),
                      {m_records, m_devices, m_classTexts, m_nNextNumber, m_locator});
    m_bBuilt = true;
    m_sdk.Refresh();
    return 0;
}

// A record's position is its number less the base: numbers are handed out in build order from the
// base, only by the one build, and never change afterwards. The difference wraps as the numbers do.
SensorRecord* SensorCatalogue::RecordNumbered(int32_t number) {
    const uint32_t position = static_cast<uint32_t>(number) - static_cast<uint32_t>(m_nNumberBase);
    return position < m_records.size() ? &m_records[position] : nullptr;
}

void SensorCatalogue::RefreshClassSensors(int32_t d, int32_t count, int32_t classCode) {
    const int32_t classNumber = cpuidsdk::IdClassNumber(classCode);
    for (int32_t i = 0; i < count; ++i) {
        const int64_t found = m_locator.Find({d, classNumber, i});
        if (found == SensorLocator::kNone || !m_records[found].bEnabled) continue;
        SensorReading reading;
        if (!m_sdk.SensorInfo(d, i, classCode, reading)) continue;
        StartedSdk source{m_sdk};
        catalogue_build::PrintReading(source, d, classCode, reading);
        const int32_t number = m_records[found].nNumber;
        SensorRecord* target = RecordNumbered(number);
        if (!target) continue;
        const SensorSlot before = SlotOf(*target);
        target->bEnabled = 1;
        target->nDeviceIndex = d;
        catalogue_build::SetReadingFields(*target, reading);
        target->nNumber = number;
        target->nSensorIndex = i;
        m_locator.Move(static_cast<size_t>(target - m_records.data()), before, SlotOf(*target));
    }
}

void SensorCatalogue::Refresh() {
    if (!m_sdk.Bound()) return;
    const int32_t deviceCount = m_sdk.DeviceCount();
    if (deviceCount == -1) return;
    const int32_t devices = std::min(deviceCount, kMaxSensorDevices);
    if (devices != static_cast<int32_t>(m_devices.size())) return;
    WalkSensorClasses(
        devices, [this](int32_t d, int32_t sensorClass) { return m_sdk.SensorCount(d, sensorClass); },
        [this](int32_t d, int32_t count, const SensorClass& sensorClass) {
            RefreshClassSensors(d, count, sensorClass.nCode);
        });
    m_sdk.Refresh();
}

int SensorCatalogue::SetStatus(const SensorRecord* records, int32_t count) {
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
