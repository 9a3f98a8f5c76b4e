// Binary interface of the CPUID system-monitoring SDK as a Windows caller sees it (file names per
// width in vendor/vendor_names.h). The library exports one entry by name, QueryInterface, which
// maps a 32-bit identifier to an SDK function (or null). Every function, QueryInterface included,
// is stdcall on x86. The module and the bench's stand-in both use these declarations, so the
// stand-in cannot drift from what the module calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vendor/call_conventions.h"

namespace cpuidsdk {

// The handle SdkCreate gives; every other function takes it first. Pointer-sized: 4 bytes on x86,
// 8 on x64.
using Instance = uintptr_t;
// An automation string (BSTR) holding 8-bit text in the ANSI code page; the caller frees it with
// SysFreeString. Its byte length sits in the four bytes before the text.
using SdkString = wchar_t*;
// How far before the text a string's allocation begins: the length word alone on x86; on x64 four
// bytes of padding come first, which keep the text 8-byte aligned.
constexpr size_t kSdkStringHeader = sizeof(void*) == 4 ? 4 : 8;

constexpr size_t kSlotCount = 64;

// Slot n of the binding table holds QueryInterface's answer for identifier n.
constexpr uint32_t kBindingIds[kSlotCount] = {
    0x3D3C7A78, 0xFE9DFD3B, 0x18A83150, 0x738AE715, 0xE5DBCBB7, 0x5E12BC25, 0x10842108, 0xD485A90B,
    0x7D14FA29, 0x3D2C7A58, 0x3B147628, 0xD6C1AD83, 0x0B36166C, 0x207240E4, 0x16802D00, 0xC2118423,
    0x8CFD19FA, 0x50A0A141, 0x14C6298C, 0xA307460E, 0xED57DAAF, 0x52BAA575, 0x6C24D849, 0xEE21DC43,
    0x12DE25BC, 0xE8A1D143, 0x55B0AB61, 0x33F067E0, 0x1B7436E8, 0x637AC6F5, 0x59B6B36D, 0x0F7C1EF8,
    0xCCEB99D7, 0x5A1AB435, 0x8A131426, 0x6312C625, 0x482E905D, 0x101C2038, 0x90B92172, 0xEB83D707,
    0x075C0EB8, 0xA7D54FAA, 0x3EAC7D58, 0x30306060, 0x215442A8, 0xCB999733, 0xB3CF679E, 0x20AA4154,
    0x62DEC5BD, 0xE8ADD15B, 0x3BF477E8, 0x30D061A0, 0x48149029, 0x58BCB179, 0x8F391E72, 0x10BA2174,
    0xD6D5ADAB, 0xE6BFCD7F, 0x0C7018E0, 0xF6BBED77, 0xB09D613A, 0x05940B28, 0xEA01D403, 0xE249C493,
};

using QueryInterfaceFn = void*(TVX_STDCALL*)(uint32_t id);
using SdkCreateFn = Instance(TVX_STDCALL*)();
using SdkDestroyFn = void(TVX_STDCALL*)(Instance instance);
// Nonzero: the instance is ready.
using SdkInitFn = int32_t(TVX_STDCALL*)(Instance instance, const char* directory, const char* fileName,
                                        int32_t featureMask, int32_t* error, int32_t* extendedError);
using SdkCloseFn = void(TVX_STDCALL*)(Instance instance);
// Takes new readings; SdkSensorInfo reports them afterwards.
using SdkRefreshFn = void(TVX_STDCALL*)(Instance instance);
using SdkGetVersionFn = void(TVX_STDCALL*)(Instance instance, uint32_t* version);
// -1: no device list.
using SdkDeviceCountFn = int32_t(TVX_STDCALL*)(Instance instance);
using SdkDeviceClassFn = int32_t(TVX_STDCALL*)(Instance instance, int32_t device);
// Null when the device has no name.
using SdkDeviceNameFn = SdkString(TVX_STDCALL*)(Instance instance, int32_t device);
// sensorClass -1 counts every class; 0 or less: none.
using SdkSensorCountFn = int32_t(TVX_STDCALL*)(Instance instance, int32_t device, int32_t sensorClass);
// Nonzero: all six outputs were written.
using SdkSensorInfoFn = int32_t(TVX_STDCALL*)(Instance instance, int32_t device, int32_t sensor, int32_t sensorClass,
                                              int32_t* id, SdkString* name, int32_t* rawValue, float* value,
                                              float* minimum, float* maximum);

// The functions the module calls: name, slot, identifier and signature. The other 53 slots are
// bound and never called.
#define TVX_CPUIDSDK_FUNCTIONS(ROW)                          \
    ROW(Create, 0, 0x3D3C7A78, SdkCreateFn)                  \
    ROW(Destroy, 1, 0xFE9DFD3B, SdkDestroyFn)                \
    ROW(Init, 2, 0x18A83150, SdkInitFn)                      \
    ROW(Close, 3, 0x738AE715, SdkCloseFn)                    \
    ROW(Refresh, 4, 0xE5DBCBB7, SdkRefreshFn)                \
    ROW(GetVersion, 5, 0x5E12BC25, SdkGetVersionFn)          \
    ROW(DeviceCount, 56, 0xD6D5ADAB, SdkDeviceCountFn)       \
    ROW(DeviceClass, 57, 0xE6BFCD7F, SdkDeviceClassFn)       \
    ROW(DeviceName, 58, 0x0C7018E0, SdkDeviceNameFn)         \
    ROW(SensorCount, 60, 0xB09D613A, SdkSensorCountFn)       \
    ROW(SensorInfo, 61, 0x05940B28, SdkSensorInfoFn)

enum Slot : size_t {
#define TVX_CPUIDSDK_SLOT(name, slot, id, Fn) kSlot##name = slot,
    TVX_CPUIDSDK_FUNCTIONS(TVX_CPUIDSDK_SLOT)
#undef TVX_CPUIDSDK_SLOT
};

// The signature of the function in a slot the module calls.
template <Slot S>
struct SlotFunction;
#define TVX_CPUIDSDK_SLOT_FUNCTION(name, slot, id, Fn) \
    template <>                                       \
    struct SlotFunction<kSlot##name> {                \
        using Type = Fn;                              \
    };
TVX_CPUIDSDK_FUNCTIONS(TVX_CPUIDSDK_SLOT_FUNCTION)
#undef TVX_CPUIDSDK_SLOT_FUNCTION

// The feature mask the module starts the SDK with: everything.
constexpr int32_t kAllFeatures = 0x7FFFFFFF;
constexpr int32_t kAllSensorClasses = -1;

// Device classes (one bit each) that SdkDeviceClass answers.
constexpr int32_t kDeviceProcessor = 0x4;
constexpr int32_t kDeviceStorage = 0x10;
constexpr int32_t kDeviceDisplayAdapter = 0x20;
constexpr int32_t kDeviceBattery = 0x80;
constexpr int32_t kDeviceMainboard = 0x400;
constexpr int32_t kDeviceMemory = 0x800;
constexpr int32_t kDevicePowerSupply = 0x1000;
constexpr int32_t kDeviceWaterCooler = 0x4000;

// Sensor classes. A sensor's identifier carries its class in bits 12 to 21, as the class code does.
constexpr int32_t kSensorVoltage = 0x1000;
constexpr int32_t kSensorTemperature = 0x2000;
constexpr int32_t kSensorFan = 0x3000;
constexpr int32_t kSensorCurrent = 0x4000;
constexpr int32_t kSensorPower = 0x5000;
constexpr int32_t kSensorFanPwm = 0x6000;
constexpr int32_t kSensorPumpPwm = 0x7000;
constexpr int32_t kSensorWaterLevel = 0x8000;
constexpr int32_t kSensorPosition = 0x9000;
constexpr int32_t kSensorCapacity = 0xA000;
constexpr int32_t kSensorCaseOpen = 0xB000;
constexpr int32_t kSensorLevel = 0xC000;
constexpr int32_t kSensorCounter = 0xD000;
constexpr int32_t kSensorUtilization = 0xE000;
constexpr int32_t kSensorClock = 0xF000;
constexpr int32_t kSensorThroughput = 0x10000;
constexpr int32_t kSensorLimiter = 0x11000;

// The parts of a sensor identifier.
constexpr int32_t IdLow(int32_t id) { return id & 0xFFF; }
constexpr int32_t IdClassNumber(int32_t id) { return (id >> 12) & 0x3FF; }
constexpr int32_t IdHigh(int32_t id) { return (id >> 22) & 0x3F; }

namespace detail {
constexpr bool AllDistinct(const uint32_t (&ids)[kSlotCount]) {
    for (size_t i = 0; i < kSlotCount; ++i)
        for (size_t j = i + 1; j < kSlotCount; ++j)
            if (ids[i] == ids[j]) return false;
    return true;
}
}  // namespace detail

static_assert(detail::AllDistinct(kBindingIds), "every slot has its own identifier");
#define TVX_CPUIDSDK_SLOT_ID(name, slot, id, Fn) \
    static_assert(slot < kSlotCount && kBindingIds[slot] == id, "the identifier in the binding table of " #name);
TVX_CPUIDSDK_FUNCTIONS(TVX_CPUIDSDK_SLOT_ID)
#undef TVX_CPUIDSDK_SLOT_ID
static_assert(IdClassNumber(kSensorLimiter) == 0x11 && IdClassNumber(kSensorVoltage) == 1, "class codes sit in bits 12..21");
static_assert(sizeof(Instance) == sizeof(void*) && sizeof(SdkString) == sizeof(void*),
              "the instance handle and the strings are pointer-sized");

#ifdef _WIN32
static_assert(sizeof(wchar_t) == 2, "an automation string is UTF-16 units");
#endif

}  // namespace cpuidsdk
