// The entry points behind the stand-ins: each runs the vendor call on the process's bench.
#include "bench_vendor_entry.h"
#include "process_bench.h"

using bench::Bench;
using namespace adlx;
using namespace nvapi;

extern "C" {

int TorvexBenchLib_Attach(int library) {
    const auto which = library == TorvexBenchLibrary_Nvapi      ? bench::Library::Nvapi
                       : library == TorvexBenchLibrary_Atiadlxy ? bench::Library::Atiadlxy
                                                                : bench::Library::Amdadlx32;
    return ProcessBench().With([&](Bench& b) { return b.AttachLibrary(which) ? 1 : 0; });
}

int TorvexBenchNv_Serves(NvU32 id) {
    return ProcessBench().With([&](Bench& b) { return b.NvServes(id) ? 1 : 0; });
}

NvAPI_Status TorvexBenchNv_Initialize(void) {
    return ProcessBench().With([](Bench& b) { return b.NvInitialize(); });
}

NvAPI_Status TorvexBenchNv_EnumPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    return ProcessBench().With([&](Bench& b) { return b.NvEnumPhysicalGPUs(handles, count); });
}

NvAPI_Status TorvexBenchNv_GetBusId(NvPhysicalGpuHandle gpu, NvU32* busId) {
    return ProcessBench().With([&](Bench& b) { return b.NvGetBusId(gpu, busId); });
}

NvAPI_Status TorvexBenchNv_I2CReadEx(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* flags) {
    return HeldRead([&](Bench& b) { return b.NvI2CReadEx(gpu, info, flags); });
}

void TorvexBenchNv_BeforeCallHook(void) {
    ProcessBench().With([](Bench& b) { b.NvBeforeCallHook(); });
}

void TorvexBenchNv_AfterCallHook(void) {
    ProcessBench().With([](Bench& b) { b.NvAfterCallHook(); });
}

int TorvexBenchAdl_Create(adl::ADL_MAIN_MALLOC_CALLBACK allocate, int enumConnectedAdapters,
                          adl::ADL_CONTEXT_HANDLE* context, int threadingModel) {
    return ProcessBench().With(
        [&](Bench& b) { return b.AdlCreate(allocate, enumConnectedAdapters, context, threadingModel); });
}

int TorvexBenchAdl_Destroy(adl::ADL_CONTEXT_HANDLE context) {
    return ProcessBench().With([&](Bench& b) { return b.AdlDestroy(context); });
}

void TorvexBenchAdlx_UseVtables(const IADLXSystemVtbl* system, const IADLMappingVtbl* mapping,
                                const IADLXGPUVtbl* gpu, const IADLXGPUListVtbl* gpuList, const IADLXI2CVtbl* i2c) {
    ProcessBench().With([&](Bench& b) { b.UseAdlxVtables({system, mapping, gpu, gpuList, i2c}); });
}

ADLX_RESULT TorvexBenchAdlx_QueryFullVersion(adlx_uint64* fullVersion) {
    return ProcessBench().With([&](Bench& b) { return b.AdlxQueryFullVersion(fullVersion); });
}

ADLX_RESULT TorvexBenchAdlx_QueryVersion(const char** version) {
    return ProcessBench().With([&](Bench& b) { return b.AdlxQueryVersion(version); });
}

ADLX_RESULT TorvexBenchAdlx_Initialize(adlx_uint64 version, IADLXSystem** system) {
    return ProcessBench().With([&](Bench& b) { return b.AdlxInitialize(version, system); });
}

ADLX_RESULT TorvexBenchAdlx_InitializeWithCallerAdl(adlx_uint64 version, IADLXSystem** system, IADLMapping** mapping,
                                                    adlx_handle adlContext, ADLX_ADL_Main_Memory_Free adlRelease) {
    return ProcessBench().With(
        [&](Bench& b) { return b.AdlxInitializeWithCallerAdl(version, system, mapping, adlContext, adlRelease); });
}

ADLX_RESULT TorvexBenchAdlx_Terminate(void) {
    return ProcessBench().With([](Bench& b) { return b.AdlxTerminate(); });
}

adlx_long TorvexBenchAdlx_Acquire(const void* iface) {
    return ProcessBench().With([&](Bench& b) { return b.AdlxAcquire(iface); });
}

adlx_long TorvexBenchAdlx_Release(const void* iface) {
    return ProcessBench().With([&](Bench& b) { return b.AdlxRelease(iface); });
}

ADLX_RESULT TorvexBenchAdlx_GetGPUs(IADLXSystem* system, IADLXGPUList** list) {
    return ProcessBench().With([&](Bench& b) { return b.SystemGetGPUs(system, list); });
}

ADLX_RESULT TorvexBenchAdlx_GetI2C(IADLXSystem* system, IADLXGPU* gpu, IADLXI2C** i2c) {
    return ProcessBench().With([&](Bench& b) { return b.SystemGetI2C(system, gpu, i2c); });
}

adlx_uint TorvexBenchAdlx_ListSize(IADLXGPUList* list) {
    return ProcessBench().With([&](Bench& b) { return b.ListSize(list); });
}

adlx_bool TorvexBenchAdlx_ListEmpty(IADLXGPUList* list) {
    return ProcessBench().With([&](Bench& b) { return b.ListEmpty(list); });
}

adlx_uint TorvexBenchAdlx_ListBegin(IADLXGPUList* list) {
    return ProcessBench().With([&](Bench& b) { return b.ListBegin(list); });
}

adlx_uint TorvexBenchAdlx_ListEnd(IADLXGPUList* list) {
    return ProcessBench().With([&](Bench& b) { return b.ListEnd(list); });
}

ADLX_RESULT TorvexBenchAdlx_ListAt(IADLXGPUList* list, adlx_uint location, IADLXGPU** gpu) {
    return ProcessBench().With([&](Bench& b) { return b.ListAt(list, location, gpu); });
}

ADLX_RESULT TorvexBenchAdlx_I2cRead(IADLXI2C* i2c, int repeatedStart, adlx_int line, adlx_int speed, adlx_int address,
                                   adlx_int offset, adlx_int dataSize, adlx_byte* data) {
    return HeldRead([&](Bench& b) {
        return b.I2cRead(i2c, repeatedStart != 0, line, speed, address, offset, dataSize, data);
    });
}

ADLX_RESULT TorvexBenchAdlx_MappingAdapterIndexFromGpu(IADLMapping* mapping, IADLXGPU* gpu, adlx_int* adapterIndex) {
    return ProcessBench().With([&](Bench& b) { return b.MappingAdapterIndexFromGpu(mapping, gpu, adapterIndex); });
}

ADLX_RESULT TorvexBenchAdlx_MappingGpuFromAdapterIndex(IADLMapping* mapping, adlx_int adapterIndex, IADLXGPU** gpu) {
    return ProcessBench().With([&](Bench& b) { return b.MappingGpuFromAdapterIndex(mapping, adapterIndex, gpu); });
}

ADLX_RESULT TorvexBenchAdlx_MappingBdfFromGpu(IADLMapping* mapping, IADLXGPU* gpu, adlx_int* bus, adlx_int* device,
                                              adlx_int* function) {
    return ProcessBench().With([&](Bench& b) { return b.MappingBdfFromGpu(mapping, gpu, bus, device, function); });
}

}  // extern "C"
