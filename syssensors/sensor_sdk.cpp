#include "syssensors/sensor_sdk.h"

#include "base/diag.h"
#include "base/library_export.h"
#include "syssensors/sdk_text.h"
#include "vendor/vendor_names.h"

using namespace cpuidsdk;

namespace {

// Relative paths, each handed to the loader as it is, whose own search rules resolve it: the
// loader tries it against the program's folder and the system folders before the current one.
constexpr const wchar_t* kCandidateFolders[] = {L".", L"..\\", L"..\\..\\bin", L"..\\..\\..\\bin"};
constexpr const wchar_t* kSdkFileName = vendor::kLibraryNames.cpuidSdk.wide;

}  // namespace

// Each slot takes QueryInterface's answer for its identifier, null included. A library without
// QueryInterface leaves every slot null.
void SensorSdk::BindFunctions() {
    const auto query = FindExport<QueryInterfaceFn>(m_hModule, "QueryInterface");
    if (!query) return;
    for (size_t slot = 0; slot < kSlotCount; ++slot) m_binding->functions[slot] = query(kBindingIds[slot]);
}

bool SensorSdk::Load() {
    const wchar_t* folder = nullptr;
    for (const wchar_t* candidate : kCandidateFolders) {
        const std::wstring path = std::wstring(candidate) + L"\\" + kSdkFileName;
        m_hModule = LoadLibraryW(path.c_str());
        if (m_hModule) {
            folder = candidate;
            break;
        }
    }
    if (!m_hModule) return false;

    m_binding = std::make_unique<Binding>();
    BindFunctions();
    if (const auto create = Function<kSlotCreate>()) m_binding->instance = create();

    char directory[512];
    char fileName[512];
    Utf16ToAnsi(folder, directory);
    Utf16ToAnsi(kSdkFileName, fileName);
    const auto init = Function<kSlotInit>();
    if (!init) return false;
    // What the SDK says about a failed start is not needed: a failed start is undone as a whole.
    int32_t error = 0;
    int32_t extendedError = 0;
    if (init(m_binding->instance, directory, fileName, kAllFeatures, &error, &extendedError) == 0) return false;

    uint32_t version = 0;
    if (const auto getVersion = Function<kSlotGetVersion>()) getVersion(m_binding->instance, &version);
    StdoutPrint("DLL version: 0x%08X\n", version);
    return true;
}

void SensorSdk::Release() {
    if (m_binding) {
        if (const auto close = Function<kSlotClose>()) close(m_binding->instance);
        if (const auto destroy = Function<kSlotDestroy>()) destroy(m_binding->instance);
        m_binding.reset();
    }
    if (m_hModule) FreeLibrary(m_hModule);
    m_hModule = nullptr;
}

int32_t SensorSdk::DeviceCount() const {
    const auto f = Function<kSlotDeviceCount>();
    return f ? f(m_binding->instance) : -1;
}

int32_t SensorSdk::DeviceClass(int32_t device) const {
    const auto f = Function<kSlotDeviceClass>();
    return f ? f(m_binding->instance, device) : -1;
}

bool SensorSdk::DeviceName(int32_t device, std::string& name) const {
    const auto f = Function<kSlotDeviceName>();
    const SdkString text = f ? f(m_binding->instance, device) : nullptr;
    if (!text) return false;
    char bytes[512];
    name.assign(bytes, TakeSdkText(text, bytes, sizeof(bytes)));
    return true;
}

int32_t SensorSdk::SensorCount(int32_t device, int32_t sensorClass) const {
    const auto f = Function<kSlotSensorCount>();
    return f ? f(m_binding->instance, device, sensorClass) : -1;
}

bool SensorSdk::SensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading) const {
    const auto f = Function<kSlotSensorInfo>();
    if (!f) return false;
    SdkString name = nullptr;
    const bool filled = f(m_binding->instance, device, sensor, sensorClass, &reading.nId, &name, &reading.nRawValue,
                          &reading.fValue, &reading.fMin, &reading.fMax) != 0;
    // A string handed out with a refusal is still the caller's to free.
    TakeSdkText(name, reading.szName, sizeof(reading.szName));
    return filled;
}

void SensorSdk::Refresh() const {
    if (const auto refresh = Function<kSlotRefresh>()) refresh(m_binding->instance);
}
