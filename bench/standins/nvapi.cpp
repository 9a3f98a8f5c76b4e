// The bench's nvapi.dll: one export, nvapi_QueryInterface, handing out the driver functions the
// machine serves. Every function forwards to the bench unchanged.
#include <windows.h>

#include "bench_vendor_entry.h"

namespace {

using namespace nvapi;

NvAPI_Status TVX_CDECL Initialize() { return TorvexBenchNv_Initialize(); }

NvAPI_Status TVX_CDECL EnumPhysicalGPUs(NvPhysicalGpuHandle handles[kMaxPhysicalGpus], NvU32* count) {
    return TorvexBenchNv_EnumPhysicalGPUs(handles, count);
}

NvAPI_Status TVX_CDECL GpuGetBusId(NvPhysicalGpuHandle gpu, NvU32* busId) { return TorvexBenchNv_GetBusId(gpu, busId); }

NvAPI_Status TVX_CDECL I2CReadEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* flags) {
    return TorvexBenchNv_I2CReadEx(gpu, info, flags);
}

void TVX_CDECL BeforeCallHook(NvU32, NvU32*) { TorvexBenchNv_BeforeCallHook(); }

void TVX_CDECL AfterCallHook(NvU32, NvU32, NvU32, NvAPI_Status) { TorvexBenchNv_AfterCallHook(); }

// The declared pointer types pin each function to the vendor's signature and convention.
void* Function(NvU32 id) {
    switch (id) {
        case kIdInitialize: return reinterpret_cast<void*>(InitializeFn{&Initialize});
        case kIdEnumPhysicalGPUs: return reinterpret_cast<void*>(EnumPhysicalGPUsFn{&EnumPhysicalGPUs});
        case kIdGpuGetBusId: return reinterpret_cast<void*>(GpuGetBusIdFn{&GpuGetBusId});
        case kIdI2CReadEx: return reinterpret_cast<void*>(I2CReadExFn{&I2CReadEx});
        case kIdBeforeCallHook: return reinterpret_cast<void*>(BeforeCallHookFn{&BeforeCallHook});
        case kIdAfterCallHook: return reinterpret_cast<void*>(AfterCallHookFn{&AfterCallHook});
        default: return nullptr;
    }
}

}  // namespace

extern "C" void* TVX_CDECL nvapi_QueryInterface(NvU32 id) {
    return TorvexBenchNv_Serves(id) ? Function(id) : nullptr;
}

// A machine without NVAPI refuses the load, exactly like a missing file.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    DisableThreadLibraryCalls(instance);
    return TorvexBenchLib_Attach(TorvexBenchLibrary_Nvapi) ? TRUE : FALSE;
}
