#include "syssensors/sensor_sdk.h"

#include "base/diag.h"
#include "base/library_export.h"
#include "syssensors/sdk_text.h"
#include "vendor/vendor_names.h"

using namespace cpuidsdk;

HMODULE g_hSdkModule = nullptr;
std::unique_ptr<CPUIDSDK> g_pSdk;

namespace {

// Relative paths, each handed to the loader as it is, whose own search rules resolve it: the
// loader tries it against the program's folder and the system folders before the current one.
constexpr const wchar_t* kCandidateFolders[] = {L".", L"..\\", L"..\\..\\bin", L"..\\..\\..\\bin"};
constexpr const wchar_t* kSdkFileName = vendor::kLibraryNames.cpuidSdk.wide;

// The slot's function, or null when there is no SDK or the slot is unbound.
template <typename Fn>
Fn Bound(Slot slot) {
    return g_pSdk ? reinterpret_cast<Fn>(g_pSdk->m_pfn[slot]) : nullptr;
}

// Each slot takes QueryInterface's answer for its identifier, null included. A library without
// QueryInterface leaves every slot null.
void BindSdkFunctions() {
    const auto query = FindExport<QueryInterfaceFn>(g_hSdkModule, "QueryInterface");
    if (!query) return;
    for (size_t slot = 0; slot < kSlotCount; ++slot) g_pSdk->m_pfn[slot] = query(kBindingIds[slot]);
}

}  // namespace

bool LoadSensorSdk() {
    const wchar_t* folder = nullptr;
    for (const wchar_t* candidate : kCandidateFolders) {
        const std::wstring path = std::wstring(candidate) + L"\\" + kSdkFileName;
        g_hSdkModule = LoadLibraryW(path.c_str());
        if (g_hSdkModule) {
            folder = candidate;
            break;
        }
    }
    if (!g_hSdkModule) return false;

    g_pSdk = std::make_unique<CPUIDSDK>();
    BindSdkFunctions();
    if (const auto create = Bound<SdkCreateFn>(kSlotCreate)) g_pSdk->m_hInstance = create();

    char directory[512];
    char fileName[512];
    Utf16ToAnsi(folder, directory);
    Utf16ToAnsi(kSdkFileName, fileName);
    const auto init = Bound<SdkInitFn>(kSlotInit);
    if (!init) return false;
    // What the SDK says about a failed start is not needed: a failed start is undone as a whole.
    int32_t error = 0;
    int32_t extendedError = 0;
    if (init(g_pSdk->m_hInstance, directory, fileName, kAllFeatures, &error, &extendedError) == 0) return false;

    uint32_t version = 0;
    if (const auto getVersion = Bound<SdkGetVersionFn>(kSlotGetVersion)) getVersion(g_pSdk->m_hInstance, &version);
    StdoutPrint("DLL version: 0x%08X\n", version);
    return true;
}

void ReleaseSensorSdk() {
    if (g_pSdk) {
        if (const auto close = Bound<SdkCloseFn>(kSlotClose)) close(g_pSdk->m_hInstance);
        if (const auto destroy = Bound<SdkDestroyFn>(kSlotDestroy)) destroy(g_pSdk->m_hInstance);
        g_pSdk.reset();
    }
    if (g_hSdkModule) FreeLibrary(g_hSdkModule);
    g_hSdkModule = nullptr;
}

int32_t SdkDeviceCount() {
    const auto f = Bound<SdkDeviceCountFn>(kSlotDeviceCount);
    return f ? f(g_pSdk->m_hInstance) : -1;
}

int32_t SdkDeviceClass(int32_t device) {
    const auto f = Bound<SdkDeviceClassFn>(kSlotDeviceClass);
    return f ? f(g_pSdk->m_hInstance, device) : -1;
}

bool SdkDeviceName(int32_t device, std::string& name) {
    const auto f = Bound<SdkDeviceNameFn>(kSlotDeviceName);
    const SdkString text = f ? f(g_pSdk->m_hInstance, device) : nullptr;
    if (!text) return false;
    char bytes[512];
    name.assign(bytes, TakeSdkText(text, bytes, sizeof(bytes)));
    return true;
}

int32_t SdkSensorCount(int32_t device, int32_t sensorClass) {
    const auto f = Bound<SdkSensorCountFn>(kSlotSensorCount);
    return f ? f(g_pSdk->m_hInstance, device, sensorClass) : -1;
}

bool SdkSensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading) {
    const auto f = Bound<SdkSensorInfoFn>(kSlotSensorInfo);
    if (!f) return false;
    SdkString name = nullptr;
    const bool filled = f(g_pSdk->m_hInstance, device, sensor, sensorClass, &reading.nId, &name, &reading.nRawValue,
                          &reading.fValue, &reading.fMin, &reading.fMax) != 0;
    // A string handed out with a refusal is still the caller's to free.
    TakeSdkText(name, reading.szName, sizeof(reading.szName));
    return filled;
}

void SdkRefresh() {
    if (const auto refresh = Bound<SdkRefreshFn>(kSlotRefresh)) refresh(g_pSdk->m_hInstance);
}
