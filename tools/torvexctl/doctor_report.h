// What `torvexctl doctor` finds out: the Windows facts the module's driver search reads, the road
// that search takes for nvapi.dll (the same code the module runs, run in torvexctl's process), and
// where the module's start-up actually took each vendor library from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gpu/driver_search.h"

struct VendorLibraryOrigin {
    std::wstring name;
    // The road of a library the module searches for; the others are asked of the loader by name.
    std::optional<DriverLibraryRoad> road;
    const char* loaderSearch = "";  // how the module asks the loader, when it does not search
    std::wstring loadedFrom;        // empty: not loaded in this process
};

struct DoctorReport {
    std::wstring modulePath;
    std::string moduleError;  // empty when the module loaded
    std::optional<std::string> benchScenario;  // the bench machine's name, when on the bench
    uint32_t buildNumber = 0;
    std::optional<bool> wow64;
    bool windows7OrLater = false;
    std::vector<VendorLibraryOrigin> libraries;
};
