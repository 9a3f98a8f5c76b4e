// Binary interfaces of the GPU vendor libraries as a Windows caller sees them: NVIDIA NVAPI, AMD ADL
// and AMD ADLX (file names per width in vendor/vendor_names.h). Declared here from the vendors'
// published facts and pinned with static assertions; the module and the bench's stand-ins both use
// these declarations, so a stand-in cannot drift from what the module calls. The 32-bit and the
// 64-bit interfaces are the same declarations: only pointer-sized members move, and the layout
// tables below say where to for each width.
//
// ADLX interfaces are written as C-style vtables (a pointer to a table of stdcall function
// pointers whose first argument is the interface itself) rather than C++ classes: that layout is
// the same on every compiler, while C++ vtable and member calling conventions are not. Slots the
// module never calls are kept as untyped placeholders so that the used slots sit at their offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vendor/call_conventions.h"

// ------------------------------------------------------------------------------------------------
// NVAPI: one export, nvapi_QueryInterface (cdecl), maps an interface id to a cdecl function.
namespace nvapi {

using NvU8 = uint8_t;
using NvU32 = uint32_t;
using NvAPI_Status = int32_t;
struct NvPhysicalGpuHandle__;
using NvPhysicalGpuHandle = NvPhysicalGpuHandle__*;

constexpr NvU32 kMaxPhysicalGpus = 64;

constexpr NvAPI_Status NVAPI_OK = 0;
constexpr NvAPI_Status NVAPI_ERROR = -1;
constexpr NvAPI_Status NVAPI_LIBRARY_NOT_FOUND = -2;
constexpr NvAPI_Status NVAPI_NO_IMPLEMENTATION = -3;
constexpr NvAPI_Status NVAPI_API_NOT_INITIALIZED = -4;
constexpr NvAPI_Status NVAPI_INVALID_ARGUMENT = -5;
constexpr NvAPI_Status NVAPI_NVIDIA_DEVICE_NOT_FOUND = -6;
constexpr NvAPI_Status NVAPI_INVALID_HANDLE = -8;
constexpr NvAPI_Status NVAPI_INCOMPATIBLE_STRUCT_VERSION = -9;
constexpr NvAPI_Status NVAPI_NOT_SUPPORTED = -104;
constexpr NvAPI_Status NVAPI_PORTID_NOT_FOUND = -105;

// Interface identifiers passed to nvapi_QueryInterface.
constexpr NvU32 kIdInitialize = 0x0150E828;
constexpr NvU32 kIdEnumPhysicalGPUs = 0xE5AC921F;
constexpr NvU32 kIdGpuGetBusId = 0x1BE0B8E5;
constexpr NvU32 kIdI2CReadEx = 0x4D7B0709;
constexpr NvU32 kIdBeforeCallHook = 0x33C7358C;
constexpr NvU32 kIdAfterCallHook = 0x593E8644;

constexpr NvU32 NVAPI_I2C_SPEED_DEFAULT = 0;
constexpr NvU32 NVAPI_I2C_SPEED_100KHZ = 4;
constexpr NvU32 NVAPI_I2C_SPEED_DEPRECATED = 0xFFFF;

// Natural alignment, as the vendor headers' pack(8) gives for these members.
struct NV_I2C_INFO_V3 {
    NvU32 version;
    NvU32 displayMask;
    NvU8 bIsDDCPort;
    NvU8 i2cDevAddress;
    NvU8* pbI2cRegAddress;
    NvU32 regAddrSize;
    NvU8* pbData;
    NvU32 cbSize;
    NvU32 i2cSpeed;      // deprecated field; must hold NVAPI_I2C_SPEED_DEPRECATED
    NvU32 i2cSpeedKhz;   // an NV_I2C_SPEED code, not kHz
    NvU8 portId;
    NvU32 bIsPortIdSet;
};

constexpr NvU32 MakeVersion(NvU32 size, NvU32 ver) { return size | (ver << 16); }
constexpr NvU32 NV_I2C_INFO_VER3 = MakeVersion(sizeof(NV_I2C_INFO_V3), 3);

// Where NV_I2C_INFO_V3's members sit for each width: the two pointers are 4 bytes on x86 and 8 on
// x64, which moves everything after them. The driver checks the version word, which carries the
// size.
struct I2cInfoLayout {
    size_t size;
    NvU32 version;
    size_t pbI2cRegAddress, regAddrSize, pbData, cbSize, i2cSpeed, i2cSpeedKhz, portId, bIsPortIdSet;
};
inline constexpr I2cInfoLayout kX86I2cInfoLayout{44, 0x3002C, 12, 16, 20, 24, 28, 32, 36, 40};
inline constexpr I2cInfoLayout kX64I2cInfoLayout{64, 0x30040, 16, 24, 32, 40, 44, 48, 52, 56};
inline constexpr const I2cInfoLayout& kI2cInfoLayout =
    sizeof(void*) == 4 ? kX86I2cInfoLayout : kX64I2cInfoLayout;

static_assert(sizeof(NV_I2C_INFO_V3) == kI2cInfoLayout.size, "NV_I2C_INFO_V3 size");
static_assert(NV_I2C_INFO_VER3 == kI2cInfoLayout.version, "NV_I2C_INFO_VER3");
static_assert(offsetof(NV_I2C_INFO_V3, version) == 0, "version");
static_assert(offsetof(NV_I2C_INFO_V3, displayMask) == 4, "displayMask");
static_assert(offsetof(NV_I2C_INFO_V3, bIsDDCPort) == 8, "bIsDDCPort");
static_assert(offsetof(NV_I2C_INFO_V3, i2cDevAddress) == 9, "i2cDevAddress");
static_assert(offsetof(NV_I2C_INFO_V3, pbI2cRegAddress) == kI2cInfoLayout.pbI2cRegAddress, "pbI2cRegAddress");
static_assert(offsetof(NV_I2C_INFO_V3, regAddrSize) == kI2cInfoLayout.regAddrSize, "regAddrSize");
static_assert(offsetof(NV_I2C_INFO_V3, pbData) == kI2cInfoLayout.pbData, "pbData");
static_assert(offsetof(NV_I2C_INFO_V3, cbSize) == kI2cInfoLayout.cbSize, "cbSize");
static_assert(offsetof(NV_I2C_INFO_V3, i2cSpeed) == kI2cInfoLayout.i2cSpeed, "i2cSpeed");
static_assert(offsetof(NV_I2C_INFO_V3, i2cSpeedKhz) == kI2cInfoLayout.i2cSpeedKhz, "i2cSpeedKhz");
static_assert(offsetof(NV_I2C_INFO_V3, portId) == kI2cInfoLayout.portId, "portId");
static_assert(offsetof(NV_I2C_INFO_V3, bIsPortIdSet) == kI2cInfoLayout.bIsPortIdSet, "bIsPortIdSet");

using QueryInterfaceFn = void*(TVX_CDECL*)(NvU32 id);
using InitializeFn = NvAPI_Status(TVX_CDECL*)();
using EnumPhysicalGPUsFn = NvAPI_Status(TVX_CDECL*)(NvPhysicalGpuHandle handles[kMaxPhysicalGpus], NvU32* count);
using GpuGetBusIdFn = NvAPI_Status(TVX_CDECL*)(NvPhysicalGpuHandle gpu, NvU32* busId);
using I2CReadExFn = NvAPI_Status(TVX_CDECL*)(NvPhysicalGpuHandle gpu, NV_I2C_INFO_V3* info, NvU32* flags);
// Optional driver hooks around every call: before(id, two-word context), after(id, ctx0, ctx1, status).
using BeforeCallHookFn = void(TVX_CDECL*)(NvU32 id, NvU32 context[2]);
using AfterCallHookFn = void(TVX_CDECL*)(NvU32 id, NvU32 context0, NvU32 context1, NvAPI_Status status);

}  // namespace nvapi

// ------------------------------------------------------------------------------------------------
// ADL: only the context creation is used. Exports are cdecl, the allocation callback stdcall.
namespace adl {

using ADL_CONTEXT_HANDLE = void*;
using ADL_MAIN_MALLOC_CALLBACK = void*(TVX_STDCALL*)(int size);
using Main_ControlX2_CreateFn = int(TVX_CDECL*)(ADL_MAIN_MALLOC_CALLBACK callback, int enumConnectedAdapters,
                                                ADL_CONTEXT_HANDLE* context, int threadingModel);
constexpr int ADL_OK = 0;
constexpr int ADL_ERR = -1;
constexpr int ADL_THREADING_LOCKED = 1;

}  // namespace adl

// ------------------------------------------------------------------------------------------------
// ADLX: six cdecl exports; every interface method is stdcall with the interface pointer first.
namespace adlx {

using adlx_bool = uint8_t;
using adlx_int = int32_t;
using adlx_uint = uint32_t;
using adlx_long = int32_t;
using adlx_uint64 = uint64_t;
using adlx_byte = uint8_t;
using adlx_handle = void*;
using ADLX_RESULT = int32_t;

constexpr ADLX_RESULT ADLX_OK = 0;
constexpr ADLX_RESULT ADLX_ALREADY_ENABLED = 1;
constexpr ADLX_RESULT ADLX_ALREADY_INITIALIZED = 2;
constexpr ADLX_RESULT ADLX_FAIL = 3;
constexpr ADLX_RESULT ADLX_INVALID_ARGS = 4;
constexpr ADLX_RESULT ADLX_BAD_VER = 5;
constexpr ADLX_RESULT ADLX_UNKNOWN_INTERFACE = 6;
constexpr ADLX_RESULT ADLX_ADL_INIT_ERROR = 8;
constexpr ADLX_RESULT ADLX_NOT_FOUND = 9;
constexpr ADLX_RESULT ADLX_INVALID_OBJECT = 10;
constexpr ADLX_RESULT ADLX_NOT_SUPPORTED = 12;

// OK, ALREADY_ENABLED and ALREADY_INITIALIZED all count as success.
constexpr bool Succeeded(ADLX_RESULT r) { return r == ADLX_OK || r == ADLX_ALREADY_ENABLED || r == ADLX_ALREADY_INITIALIZED; }

// ADLX 1.4 build 107, the version the module asks for.
constexpr adlx_uint64 kFullVersion = 0x000100040000006BULL;
constexpr int kI2cLineOem = 1;
constexpr int kI2cSpeedKhz = 100;

struct IADLXInterface;
struct IADLXGPU;
struct IADLXGPUList;
struct IADLXI2C;
struct IADLXSystem;
struct IADLMapping;

// Slots 0..2 of every reference-counted interface.
#define TVX_ADLX_INTERFACE_SLOTS(Self)                                      \
    adlx_long(TVX_STDCALL* Acquire)(Self * pThis);                          \
    adlx_long(TVX_STDCALL* Release)(Self * pThis);                          \
    ADLX_RESULT(TVX_STDCALL* QueryInterface)(Self * pThis, const wchar_t* id, void** ppInterface)

struct IADLXInterfaceVtbl {
    TVX_ADLX_INTERFACE_SLOTS(IADLXInterface);
};
struct IADLXInterface {
    const IADLXInterfaceVtbl* pVtbl;
};

struct IADLXGPUVtbl {
    TVX_ADLX_INTERFACE_SLOTS(IADLXGPU);
    const void* slots3to18[16];  // VendorId .. UniqueId: not called by the module
};
struct IADLXGPU {
    const IADLXGPUVtbl* pVtbl;
};

struct IADLXGPUListVtbl {
    TVX_ADLX_INTERFACE_SLOTS(IADLXGPUList);
    adlx_uint(TVX_STDCALL* Size)(IADLXGPUList* pThis);
    adlx_bool(TVX_STDCALL* Empty)(IADLXGPUList* pThis);
    adlx_uint(TVX_STDCALL* Begin)(IADLXGPUList* pThis);
    adlx_uint(TVX_STDCALL* End)(IADLXGPUList* pThis);
    ADLX_RESULT(TVX_STDCALL* At)(IADLXGPUList* pThis, adlx_uint location, IADLXInterface** ppItem);
    ADLX_RESULT(TVX_STDCALL* Clear)(IADLXGPUList* pThis);
    ADLX_RESULT(TVX_STDCALL* Remove_Back)(IADLXGPUList* pThis);
    ADLX_RESULT(TVX_STDCALL* Add_Back)(IADLXGPUList* pThis, IADLXInterface* pItem);
    ADLX_RESULT(TVX_STDCALL* At_GPUList)(IADLXGPUList* pThis, adlx_uint location, IADLXGPU** ppItem);
    ADLX_RESULT(TVX_STDCALL* Add_Back_GPUList)(IADLXGPUList* pThis, IADLXGPU* pItem);
};
struct IADLXGPUList {
    const IADLXGPUListVtbl* pVtbl;
};

struct IADLXI2CVtbl {
    TVX_ADLX_INTERFACE_SLOTS(IADLXI2C);
    ADLX_RESULT(TVX_STDCALL* Version)(IADLXI2C* pThis, adlx_int* major, adlx_int* minor);
    ADLX_RESULT(TVX_STDCALL* IsSupported)(IADLXI2C* pThis, adlx_int line, adlx_int address, adlx_bool* isSupported);
    ADLX_RESULT(TVX_STDCALL* Read)(IADLXI2C* pThis, adlx_int line, adlx_int speed, adlx_int address,
                                   adlx_int offset, adlx_int dataSize, adlx_byte* data);
    ADLX_RESULT(TVX_STDCALL* RepeatedStartRead)(IADLXI2C* pThis, adlx_int line, adlx_int speed, adlx_int address,
                                                adlx_int offset, adlx_int dataSize, adlx_byte* data);
    ADLX_RESULT(TVX_STDCALL* Write)(IADLXI2C* pThis, adlx_int line, adlx_int speed, adlx_int address,
                                    adlx_int offset, adlx_int dataSize, adlx_byte* data);
};
struct IADLXI2C {
    const IADLXI2CVtbl* pVtbl;
};

#undef TVX_ADLX_INTERFACE_SLOTS

// IADLXSystem is not reference-counted: ADLX owns it from initialisation to termination.
struct IADLXSystemVtbl {
    const void* HybridGraphicsType;
    ADLX_RESULT(TVX_STDCALL* GetGPUs)(IADLXSystem* pThis, IADLXGPUList** ppGPUs);
    ADLX_RESULT(TVX_STDCALL* QueryInterface)(IADLXSystem* pThis, const wchar_t* id, void** ppInterface);
    const void* slots3to10[8];  // display, desktop, GPU-change, log, 3D, tuning, monitoring, RAM
    ADLX_RESULT(TVX_STDCALL* GetI2C)(IADLXSystem* pThis, IADLXGPU* pGPU, IADLXI2C** ppI2C);
};
struct IADLXSystem {
    const IADLXSystemVtbl* pVtbl;
};

// IADLMapping is a singleton without reference counting.
struct IADLMappingVtbl {
    ADLX_RESULT(TVX_STDCALL* GetADLXGPUFromBdf)(IADLMapping* pThis, adlx_int bus, adlx_int device, adlx_int function,
                                                IADLXGPU** ppGPU);
    ADLX_RESULT(TVX_STDCALL* GetADLXGPUFromAdlAdapterIndex)(IADLMapping* pThis, adlx_int adapterIndex, IADLXGPU** ppGPU);
    ADLX_RESULT(TVX_STDCALL* BdfFromADLXGPU)(IADLMapping* pThis, IADLXGPU* pGPU, adlx_int* bus, adlx_int* device,
                                             adlx_int* function);
    ADLX_RESULT(TVX_STDCALL* AdlAdapterIndexFromADLXGPU)(IADLMapping* pThis, IADLXGPU* pGPU, adlx_int* adapterIndex);
    const void* slots4to7[4];  // display and desktop mappings
};
struct IADLMapping {
    const IADLMappingVtbl* pVtbl;
};

using ADLX_ADL_Main_Memory_Free = void(TVX_STDCALL*)(void** buffer);

using ADLXQueryFullVersionFn = ADLX_RESULT(TVX_CDECL*)(adlx_uint64* fullVersion);
using ADLXQueryVersionFn = ADLX_RESULT(TVX_CDECL*)(const char** version);
using ADLXInitializeFn = ADLX_RESULT(TVX_CDECL*)(adlx_uint64 version, IADLXSystem** ppSystem);
using ADLXInitializeWithCallerAdlFn = ADLX_RESULT(TVX_CDECL*)(adlx_uint64 version, IADLXSystem** ppSystem,
                                                             IADLMapping** ppMapping, adlx_handle adlContext,
                                                             ADLX_ADL_Main_Memory_Free adlRelease);
using ADLXTerminateFn = ADLX_RESULT(TVX_CDECL*)();

// A vtable slot is one function pointer wide, whatever the width.
constexpr size_t kSlot = sizeof(void*);
static_assert(offsetof(IADLXInterfaceVtbl, Release) == 1 * kSlot, "IADLXInterface::Release is slot 1");
static_assert(offsetof(IADLXGPUVtbl, Release) == 1 * kSlot, "IADLXGPU::Release is slot 1");
static_assert(sizeof(IADLXGPUVtbl) == 19 * kSlot, "IADLXGPU has 19 slots");
static_assert(offsetof(IADLXGPUListVtbl, Empty) == 4 * kSlot, "IADLXGPUList::Empty is slot 4");
static_assert(offsetof(IADLXGPUListVtbl, Begin) == 5 * kSlot, "IADLXGPUList::Begin is slot 5");
static_assert(offsetof(IADLXGPUListVtbl, End) == 6 * kSlot, "IADLXGPUList::End is slot 6");
static_assert(offsetof(IADLXGPUListVtbl, At_GPUList) == 11 * kSlot, "IADLXGPUList::At_GPUList is slot 11");
static_assert(offsetof(IADLXI2CVtbl, Read) == 5 * kSlot, "IADLXI2C::Read is slot 5");
static_assert(offsetof(IADLXI2CVtbl, RepeatedStartRead) == 6 * kSlot, "IADLXI2C::RepeatedStartRead is slot 6");
static_assert(offsetof(IADLXSystemVtbl, GetGPUs) == 1 * kSlot, "IADLXSystem::GetGPUs is slot 1");
static_assert(offsetof(IADLXSystemVtbl, GetI2C) == 11 * kSlot, "IADLXSystem::GetI2C is slot 11");
static_assert(offsetof(IADLMappingVtbl, GetADLXGPUFromAdlAdapterIndex) == 1 * kSlot, "mapping slot 1");
static_assert(offsetof(IADLMappingVtbl, BdfFromADLXGPU) == 2 * kSlot, "mapping slot 2");
static_assert(offsetof(IADLMappingVtbl, AdlAdapterIndexFromADLXGPU) == 3 * kSlot, "mapping slot 3");
static_assert(sizeof(IADLMappingVtbl) == 8 * kSlot, "IADLMapping has 8 slots");
static_assert(sizeof(adlx_bool) == 1, "adlx_bool is one byte");

}  // namespace adlx
