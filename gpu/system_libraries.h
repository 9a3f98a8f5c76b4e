// The system libraries the driver search calls: Advapi32.dll, Setupapi.dll and Shell32.dll. Each is
// loaded by full path from the system directory on first need (so no copy elsewhere on the search
// path can stand in for it) and kept for the life of the process; every function comes from the
// loaded library. Each accessor gives null when its library or any of its functions is missing.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "vendor/setupapi_abi.h"

struct Advapi32Functions {
    decltype(&::RegOpenKeyExW) openKey;
    decltype(&::RegQueryValueExW) queryValue;
    decltype(&::RegEnumValueW) enumValue;
    decltype(&::RegCloseKey) closeKey;
};

struct SetupapiFunctions {
    decltype(&::SetupDiGetClassDevsW) getClassDevs;
    decltype(&::SetupDiEnumDeviceInterfaces) enumDeviceInterfaces;
    decltype(&::SetupDiGetDeviceInterfaceDetailW) getDeviceInterfaceDetail;
    decltype(&::SetupDiGetDeviceRegistryPropertyW) getDeviceRegistryProperty;
    decltype(&::SetupDiGetDevicePropertyW) getDeviceProperty;
    decltype(&::SetupDiDestroyDeviceInfoList) destroyDeviceInfoList;
    setupapi::GetInfDriverStoreLocationWFn getInfDriverStoreLocation;
};

struct Shell32Functions {
    decltype(&::SHGetFolderPathW) getFolderPath;
};

const Advapi32Functions* Advapi32();
const SetupapiFunctions* Setupapi();
const Shell32Functions* Shell32();

// The system directory without a trailing separator; empty when Windows does not say.
std::wstring SystemDirectoryPath();
