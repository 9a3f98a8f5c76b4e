// The bench's cpuidsdk.dll: one export, QueryInterface, handing out the SDK functions the machine
// serves. Every function forwards to the bench unchanged. All of them are stdcall.
#include <windows.h>

#include <thread>
#include <type_traits>

#include "bench_sdk_entry.h"

namespace {

using namespace cpuidsdk;

// Whether the calling thread owns "Global\cpuzlock": another thread cannot take it, while the
// caller can take it again.
bool CallerHoldsStartLock() {
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, L"Global\\cpuzlock");
    if (!mutex) return false;
    bool ownedByAnyone = false;
    std::thread([&] {
        const DWORD result = WaitForSingleObject(mutex, 0);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
            ReleaseMutex(mutex);
        } else {
            ownedByAnyone = true;
        }
    }).join();
    bool ownedByCaller = false;
    if (ownedByAnyone && WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) {
        ReleaseMutex(mutex);
        ownedByCaller = true;
    }
    CloseHandle(mutex);
    return ownedByCaller;
}

Instance TVX_STDCALL Create() { return TorvexBenchSdk_Create(); }
void TVX_STDCALL Destroy(Instance instance) { TorvexBenchSdk_Destroy(instance); }
int32_t TVX_STDCALL Init(Instance instance, const char* directory, const char* fileName, int32_t featureMask,
                         int32_t* error, int32_t* extendedError) {
    return TorvexBenchSdk_Init(instance, directory, fileName, featureMask, error, extendedError,
                               CallerHoldsStartLock() ? 1 : 0);
}
void TVX_STDCALL Close(Instance instance) { TorvexBenchSdk_Close(instance); }
void TVX_STDCALL Refresh(Instance instance) { TorvexBenchSdk_Refresh(instance); }
void TVX_STDCALL GetVersion(Instance instance, uint32_t* version) { TorvexBenchSdk_GetVersion(instance, version); }
int32_t TVX_STDCALL DeviceCount(Instance instance) { return TorvexBenchSdk_DeviceCount(instance); }
int32_t TVX_STDCALL DeviceClass(Instance instance, int32_t device) { return TorvexBenchSdk_DeviceClass(instance, device); }
SdkString TVX_STDCALL DeviceName(Instance instance, int32_t device) { return TorvexBenchSdk_DeviceName(instance, device); }
int32_t TVX_STDCALL SensorCount(Instance instance, int32_t device, int32_t sensorClass) {
    return TorvexBenchSdk_SensorCount(instance, device, sensorClass);
}
int32_t TVX_STDCALL SensorInfo(Instance instance, int32_t device, int32_t sensor, int32_t sensorClass, int32_t* id,
                               SdkString* name, int32_t* rawValue, float* value, float* minimum, float* maximum) {
    return TorvexBenchSdk_SensorInfo(instance, device, sensor, sensorClass, id, name, rawValue, value, minimum, maximum);
}

// The declared pointer types pin each function to the SDK's signature and convention.
void* Function(uint32_t id) {
    if (id == kBindingIds[kSlotCreate]) return reinterpret_cast<void*>(SdkCreateFn{&Create});
    if (id == kBindingIds[kSlotDestroy]) return reinterpret_cast<void*>(SdkDestroyFn{&Destroy});
    if (id == kBindingIds[kSlotInit]) return reinterpret_cast<void*>(SdkInitFn{&Init});
    if (id == kBindingIds[kSlotClose]) return reinterpret_cast<void*>(SdkCloseFn{&Close});
    if (id == kBindingIds[kSlotRefresh]) return reinterpret_cast<void*>(SdkRefreshFn{&Refresh});
    if (id == kBindingIds[kSlotGetVersion]) return reinterpret_cast<void*>(SdkGetVersionFn{&GetVersion});
    if (id == kBindingIds[kSlotDeviceCount]) return reinterpret_cast<void*>(SdkDeviceCountFn{&DeviceCount});
    if (id == kBindingIds[kSlotDeviceClass]) return reinterpret_cast<void*>(SdkDeviceClassFn{&DeviceClass});
    if (id == kBindingIds[kSlotDeviceName]) return reinterpret_cast<void*>(SdkDeviceNameFn{&DeviceName});
    if (id == kBindingIds[kSlotSensorCount]) return reinterpret_cast<void*>(SdkSensorCountFn{&SensorCount});
    if (id == kBindingIds[kSlotSensorInfo]) return reinterpret_cast<void*>(SdkSensorInfoFn{&SensorInfo});
    return nullptr;
}

bool g_attached = false;

}  // namespace

extern "C" void* TVX_STDCALL QueryInterface(uint32_t id) { return TorvexBenchSdk_Serves(id) ? Function(id) : nullptr; }

static_assert(std::is_same_v<decltype(&QueryInterface), QueryInterfaceFn>, "QueryInterface matches the SDK's declaration");

// A machine without the SDK refuses the load, exactly like a missing file. At process exit the
// bench may be gone already, so only an unload by FreeLibrary is reported.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_attached = TorvexBenchSdk_Attach() != 0;
        return g_attached ? TRUE : FALSE;
    }
    if (reason == DLL_PROCESS_DETACH && g_attached && !reserved) TorvexBenchSdk_Detach();
    return TRUE;
}
