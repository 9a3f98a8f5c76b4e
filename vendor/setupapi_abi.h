// SetupAPI declarations that the module binds at run time and the MinGW headers lack or define only
// under initguid: the display-adapter interface class, the driver-INF property key and the
// driver-store query. Windows builds only.
#pragma once

#include <windows.h>

#include <devpropdef.h>
#include <setupapi.h>

namespace setupapi {

// GUID_DISPLAY_DEVICE_ARRIVAL: the interface class every display adapter registers.
constexpr GUID kDisplayDeviceArrival = {0x1CA05180, 0xA699, 0x450A, {0x9A, 0x0C, 0xDE, 0x4F, 0xBE, 0x3D, 0xDD, 0x89}};

// DEVPKEY_Device_DriverInfPath: the installed INF file of a device's driver ("oemNN.inf").
constexpr DEVPROPKEY kDriverInfPath = {
    {0xA8B865DD, 0x2E3D, 0x4094, {0xAD, 0x97, 0xE5, 0x93, 0xA7, 0x0C, 0x75, 0xD6}}, 5};

// SetupGetInfDriverStoreLocationW (Windows Vista on): the full path of an installed INF file's copy
// inside the driver store.
using GetInfDriverStoreLocationWFn = BOOL(WINAPI*)(PCWSTR fileName, PSP_ALTPLATFORM_INFO_V2 alternatePlatformInfo,
                                                   PCWSTR localeName, PWSTR returnBuffer, DWORD returnBufferSize,
                                                   PDWORD requiredSize);

// SP_DEVICE_INTERFACE_DETAIL_DATA_W's cbSize is the size of its fixed part (a DWORD and the first
// character of the path), which the header packs to 1 byte in a 32-bit process and to 8 in a
// 64-bit one; SetupAPI refuses any other value.
constexpr DWORD kInterfaceDetailSize = sizeof(void*) == 4 ? 6 : 8;
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == kInterfaceDetailSize, "interface detail cbSize");

}  // namespace setupapi
