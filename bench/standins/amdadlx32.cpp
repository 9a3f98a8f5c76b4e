// The bench's amdadlx32.dll: the six ADLX entry points, and the function tables of the interfaces
// the bench hands out. Every method forwards to the bench with the interface pointer; slots no
// caller of this machine uses stay null, so a call through one fails loudly.
#include <windows.h>

#include <type_traits>

#include "bench_vendor_entry.h"

namespace {

using namespace adlx;

template <typename Interface>
adlx_long TVX_STDCALL Acquire(Interface* self) {
    return TorvexBenchAdlx_Acquire(self);
}

template <typename Interface>
adlx_long TVX_STDCALL Release(Interface* self) {
    return TorvexBenchAdlx_Release(self);
}

ADLX_RESULT TVX_STDCALL GetGPUs(IADLXSystem* self, IADLXGPUList** list) { return TorvexBenchAdlx_GetGPUs(self, list); }

ADLX_RESULT TVX_STDCALL GetI2C(IADLXSystem* self, IADLXGPU* gpu, IADLXI2C** i2c) {
    return TorvexBenchAdlx_GetI2C(self, gpu, i2c);
}

adlx_uint TVX_STDCALL ListSize(IADLXGPUList* self) { return TorvexBenchAdlx_ListSize(self); }
adlx_bool TVX_STDCALL ListEmpty(IADLXGPUList* self) { return TorvexBenchAdlx_ListEmpty(self); }
adlx_uint TVX_STDCALL ListBegin(IADLXGPUList* self) { return TorvexBenchAdlx_ListBegin(self); }
adlx_uint TVX_STDCALL ListEnd(IADLXGPUList* self) { return TorvexBenchAdlx_ListEnd(self); }

ADLX_RESULT TVX_STDCALL ListAt(IADLXGPUList* self, adlx_uint location, IADLXInterface** item) {
    return TorvexBenchAdlx_ListAt(self, location, reinterpret_cast<IADLXGPU**>(item));
}

ADLX_RESULT TVX_STDCALL ListAtGpu(IADLXGPUList* self, adlx_uint location, IADLXGPU** gpu) {
    return TorvexBenchAdlx_ListAt(self, location, gpu);
}

ADLX_RESULT TVX_STDCALL I2cRead(IADLXI2C* self, adlx_int line, adlx_int speed, adlx_int address, adlx_int offset,
                                adlx_int dataSize, adlx_byte* data) {
    return TorvexBenchAdlx_I2cRead(self, 0, line, speed, address, offset, dataSize, data);
}

ADLX_RESULT TVX_STDCALL I2cRepeatedStartRead(IADLXI2C* self, adlx_int line, adlx_int speed, adlx_int address,
                                             adlx_int offset, adlx_int dataSize, adlx_byte* data) {
    return TorvexBenchAdlx_I2cRead(self, 1, line, speed, address, offset, dataSize, data);
}

ADLX_RESULT TVX_STDCALL GpuFromAdapterIndex(IADLMapping* self, adlx_int adapterIndex, IADLXGPU** gpu) {
    return TorvexBenchAdlx_MappingGpuFromAdapterIndex(self, adapterIndex, gpu);
}

ADLX_RESULT TVX_STDCALL BdfFromGpu(IADLMapping* self, IADLXGPU* gpu, adlx_int* bus, adlx_int* device,
                                   adlx_int* function) {
    return TorvexBenchAdlx_MappingBdfFromGpu(self, gpu, bus, device, function);
}

ADLX_RESULT TVX_STDCALL AdapterIndexFromGpu(IADLMapping* self, IADLXGPU* gpu, adlx_int* adapterIndex) {
    return TorvexBenchAdlx_MappingAdapterIndexFromGpu(self, gpu, adapterIndex);
}

IADLXSystemVtbl SystemTable() {
    IADLXSystemVtbl table{};
    table.GetGPUs = &GetGPUs;
    table.GetI2C = &GetI2C;
    return table;
}

IADLMappingVtbl MappingTable() {
    IADLMappingVtbl table{};
    table.GetADLXGPUFromAdlAdapterIndex = &GpuFromAdapterIndex;
    table.BdfFromADLXGPU = &BdfFromGpu;
    table.AdlAdapterIndexFromADLXGPU = &AdapterIndexFromGpu;
    return table;
}

IADLXGPUVtbl GpuTable() {
    IADLXGPUVtbl table{};
    table.Acquire = &Acquire<IADLXGPU>;
    table.Release = &Release<IADLXGPU>;
    return table;
}

IADLXGPUListVtbl GpuListTable() {
    IADLXGPUListVtbl table{};
    table.Acquire = &Acquire<IADLXGPUList>;
    table.Release = &Release<IADLXGPUList>;
    table.Size = &ListSize;
    table.Empty = &ListEmpty;
    table.Begin = &ListBegin;
    table.End = &ListEnd;
    table.At = &ListAt;
    table.At_GPUList = &ListAtGpu;
    return table;
}

IADLXI2CVtbl I2cTable() {
    IADLXI2CVtbl table{};
    table.Acquire = &Acquire<IADLXI2C>;
    table.Release = &Release<IADLXI2C>;
    table.Read = &I2cRead;
    table.RepeatedStartRead = &I2cRepeatedStartRead;
    return table;
}

const IADLXSystemVtbl kSystemTable = SystemTable();
const IADLMappingVtbl kMappingTable = MappingTable();
const IADLXGPUVtbl kGpuTable = GpuTable();
const IADLXGPUListVtbl kGpuListTable = GpuListTable();
const IADLXI2CVtbl kI2cTable = I2cTable();

}  // namespace

extern "C" {

ADLX_RESULT TVX_CDECL ADLXQueryFullVersion(adlx_uint64* fullVersion) {
    return TorvexBenchAdlx_QueryFullVersion(fullVersion);
}

ADLX_RESULT TVX_CDECL ADLXQueryVersion(const char** version) { return TorvexBenchAdlx_QueryVersion(version); }

ADLX_RESULT TVX_CDECL ADLXInitialize(adlx_uint64 version, IADLXSystem** system) {
    return TorvexBenchAdlx_Initialize(version, system);
}

// Accepting older drivers changes nothing on the bench's machine.
ADLX_RESULT TVX_CDECL ADLXInitializeWithIncompatibleDriver(adlx_uint64 version, IADLXSystem** system) {
    return TorvexBenchAdlx_Initialize(version, system);
}

ADLX_RESULT TVX_CDECL ADLXInitializeWithCallerAdl(adlx_uint64 version, IADLXSystem** system, IADLMapping** mapping,
                                                 adlx_handle adlContext, ADLX_ADL_Main_Memory_Free adlRelease) {
    return TorvexBenchAdlx_InitializeWithCallerAdl(version, system, mapping, adlContext, adlRelease);
}

ADLX_RESULT TVX_CDECL ADLXTerminate() { return TorvexBenchAdlx_Terminate(); }

}  // extern "C"

// The declared pointer types pin the exports to the signatures callers use.
static_assert(std::is_same_v<decltype(&ADLXQueryFullVersion), ADLXQueryFullVersionFn>, "ADLXQueryFullVersion");
static_assert(std::is_same_v<decltype(&ADLXQueryVersion), ADLXQueryVersionFn>, "ADLXQueryVersion");
static_assert(std::is_same_v<decltype(&ADLXInitialize), ADLXInitializeFn>, "ADLXInitialize");
static_assert(std::is_same_v<decltype(&ADLXInitializeWithIncompatibleDriver), ADLXInitializeFn>,
              "ADLXInitializeWithIncompatibleDriver");
static_assert(std::is_same_v<decltype(&ADLXInitializeWithCallerAdl), ADLXInitializeWithCallerAdlFn>,
              "ADLXInitializeWithCallerAdl");
static_assert(std::is_same_v<decltype(&ADLXTerminate), ADLXTerminateFn>, "ADLXTerminate");

// A machine without ADLX refuses the load, exactly like a missing file.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    DisableThreadLibraryCalls(instance);
    if (!TorvexBenchLib_Attach(TorvexBenchLibrary_Amdadlx32)) return FALSE;
    TorvexBenchAdlx_UseVtables(&kSystemTable, &kMappingTable, &kGpuTable, &kGpuListTable, &kI2cTable);
    return TRUE;
}
