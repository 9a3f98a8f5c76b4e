// Entry points of torvexbench.dll for the bench's stand-in vendor libraries, not for hosts. Each
// takes what the vendor call took and returns what it returns: the stand-ins only translate the
// vendors' binary interface (exports, calling conventions, interface tables) into these calls.
// Plain C types only: every DLL carries its own C++ runtime.
#pragma once

#include "TorvexBench.h"
#include "vendor/vendor_abi.h"

extern "C" {

enum TorvexBenchLibrary {
    TorvexBenchLibrary_Nvapi = 1,
    TorvexBenchLibrary_Atiadlxy = 2,
    TorvexBenchLibrary_Amdadlx32 = 3,
};

// Counts the library's DLL_PROCESS_ATTACH; 0 when the machine has no such library.
TORVEX_BENCH_API int TorvexBenchLib_Attach(int library);

TORVEX_BENCH_API int TorvexBenchNv_Serves(nvapi::NvU32 id);
TORVEX_BENCH_API nvapi::NvAPI_Status TorvexBenchNv_Initialize(void);
TORVEX_BENCH_API nvapi::NvAPI_Status TorvexBenchNv_EnumPhysicalGPUs(nvapi::NvPhysicalGpuHandle* handles,
                                                                     nvapi::NvU32* count);
TORVEX_BENCH_API nvapi::NvAPI_Status TorvexBenchNv_GetBusId(nvapi::NvPhysicalGpuHandle gpu, nvapi::NvU32* busId);
TORVEX_BENCH_API nvapi::NvAPI_Status TorvexBenchNv_I2CReadEx(nvapi::NvPhysicalGpuHandle gpu,
                                                              nvapi::NV_I2C_INFO_V3* info, nvapi::NvU32* flags);
TORVEX_BENCH_API void TorvexBenchNv_BeforeCallHook(void);
TORVEX_BENCH_API void TorvexBenchNv_AfterCallHook(void);

TORVEX_BENCH_API int TorvexBenchAdl_Create(adl::ADL_MAIN_MALLOC_CALLBACK allocate, int enumConnectedAdapters,
                                           adl::ADL_CONTEXT_HANDLE* context, int threadingModel);
TORVEX_BENCH_API int TorvexBenchAdl_Destroy(adl::ADL_CONTEXT_HANDLE context);

// The stand-in's function tables for the interfaces that the bench hands out.
TORVEX_BENCH_API void TorvexBenchAdlx_UseVtables(const adlx::IADLXSystemVtbl* system,
                                                 const adlx::IADLMappingVtbl* mapping, const adlx::IADLXGPUVtbl* gpu,
                                                 const adlx::IADLXGPUListVtbl* gpuList, const adlx::IADLXI2CVtbl* i2c);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_QueryFullVersion(adlx::adlx_uint64* fullVersion);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_QueryVersion(const char** version);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_Initialize(adlx::adlx_uint64 version, adlx::IADLXSystem** system);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_InitializeWithCallerAdl(
    adlx::adlx_uint64 version, adlx::IADLXSystem** system, adlx::IADLMapping** mapping, adlx::adlx_handle adlContext,
    adlx::ADLX_ADL_Main_Memory_Free adlRelease);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_Terminate(void);

TORVEX_BENCH_API adlx::adlx_long TorvexBenchAdlx_Acquire(const void* iface);
TORVEX_BENCH_API adlx::adlx_long TorvexBenchAdlx_Release(const void* iface);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_GetGPUs(adlx::IADLXSystem* system, adlx::IADLXGPUList** list);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_GetI2C(adlx::IADLXSystem* system, adlx::IADLXGPU* gpu,
                                                         adlx::IADLXI2C** i2c);
TORVEX_BENCH_API adlx::adlx_uint TorvexBenchAdlx_ListSize(adlx::IADLXGPUList* list);
TORVEX_BENCH_API adlx::adlx_bool TorvexBenchAdlx_ListEmpty(adlx::IADLXGPUList* list);
TORVEX_BENCH_API adlx::adlx_uint TorvexBenchAdlx_ListBegin(adlx::IADLXGPUList* list);
TORVEX_BENCH_API adlx::adlx_uint TorvexBenchAdlx_ListEnd(adlx::IADLXGPUList* list);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_ListAt(adlx::IADLXGPUList* list, adlx::adlx_uint location,
                                                         adlx::IADLXGPU** gpu);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_I2cRead(adlx::IADLXI2C* i2c, int repeatedStart, adlx::adlx_int line,
                                                          adlx::adlx_int speed, adlx::adlx_int address,
                                                          adlx::adlx_int offset, adlx::adlx_int dataSize,
                                                          adlx::adlx_byte* data);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_MappingAdapterIndexFromGpu(adlx::IADLMapping* mapping,
                                                                             adlx::IADLXGPU* gpu,
                                                                             adlx::adlx_int* adapterIndex);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_MappingGpuFromAdapterIndex(adlx::IADLMapping* mapping,
                                                                             adlx::adlx_int adapterIndex,
                                                                             adlx::IADLXGPU** gpu);
TORVEX_BENCH_API adlx::ADLX_RESULT TorvexBenchAdlx_MappingBdfFromGpu(adlx::IADLMapping* mapping, adlx::IADLXGPU* gpu,
                                                                    adlx::adlx_int* bus, adlx::adlx_int* device,
                                                                    adlx::adlx_int* function);
}
