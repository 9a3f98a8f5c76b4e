// Where the module takes a GPU driver library from, and whether it may load it.
//
// On Windows builds from 14308 on, the NVIDIA display driver registers its user-mode libraries in
// its own driver key (and in the Khronos keys) and may keep them in the driver store rather than
// in the system directory, so a library whose name begins with "nv" is looked for there first:
// the registered entries of the first NVIDIA display adapter, then the folder of the adapter's INF
// file in the driver store. A file found that way is loaded only by an absolute path inside the
// Windows or a Program Files folder, so a planted look-alike elsewhere is never loaded. When the
// driver registers nothing, the library comes from the system directory.
//
// Every step is recorded in a DriverLibraryRoad, which is what `torvexctl doctor` shows. The search
// runs against DriverSystem and builds natively; gpu/driver_library.h is its Windows edge.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gpu/driver_system.h"
#include "gpu/system_facts.h"

// Builds from this one on are searched for registrations first.
constexpr uint32_t kFirstRegisteringBuild = 14308;

// Where a library's file comes from; None when the road leads to no file.
enum class DriverRoad { None, SystemDirectory, Registration, DriverStore };

// The places where the display driver registers its libraries, in the order they are searched.
enum class RegistrationPlace {
    DriverKeyValues,       // "UserModeDriverName", "OpenGLDriverName", "UserModeDListDriverName"
    KhronosValueNames,     // the value names of the Vulkan drivers, then of the OpenCL vendors
    DriverSupportModules,  // "DriverSupportModules"
};

enum class RegistrationOutcome {
    Found,
    NotRegistered,    // every place searched, no entry names the library
    WrongValueType,   // a value of another type than text or text list stopped the search (13)
    Wow64Unknown,     // whether the process runs under WOW64 could not be determined
    NoNvidiaAdapter,  // no present display adapter is NVIDIA's
    NoDriverKey,      // the adapter has no driver key
};

struct SkippedValue {
    std::wstring key, name;
    uint32_t type = 0;
};

struct RegistrationSearch {
    RegistrationOutcome outcome = RegistrationOutcome::NotRegistered;
    uint32_t error = kErrorModNotFound;  // 0 found, 126 nothing found, 13 a value of the wrong type
    std::wstring adapterPath;            // the NVIDIA display adapter's interface path, when there is one
    std::wstring driverKey;              // its driver key under HKEY_LOCAL_MACHINE
    // Where the entry was found: the key, and the value holding it (empty when the entry is the
    // value's name, as in the Khronos keys).
    RegistrationPlace place = RegistrationPlace::DriverKeyValues;
    std::wstring key, value;
    std::wstring entry;                  // as registered
    std::vector<SkippedValue> skipped;   // values of the wrong type
};

enum class DriverStoreOutcome {
    NotTried,         // the registrations decided
    NoNvidiaAdapter,
    NoDriverInf,      // the adapter names no INF file
    NoStoreLocation,  // the driver store does not know the INF file
    NoFile,           // no such file beside the INF file (or a directory or a device)
    Found,
};

struct DriverPathSearch {
    RegistrationSearch registrations;
    bool entryDropped = false;  // the registered entry has a form that names no usable folder
    DriverStoreOutcome store = DriverStoreOutcome::NotTried;
    std::wstring driverInf;       // the NVIDIA driver's INF file, when the store was asked
    std::wstring storeCandidate;  // the file looked for in the driver store
    DriverRoad road = DriverRoad::None;  // Registration or DriverStore when found
    std::wstring path;                   // when found
    uint32_t error = kErrorModNotFound;          // 0 found, 126 nothing found, else the search's error
};

struct DriverLibraryRoad {
    uint32_t buildNumber = 0;
    bool searched = false;    // the build and the name sent the library through the search
    DriverPathSearch search;  // when searched
    DriverRoad road = DriverRoad::None;
    // The file the road leads to (after GetFullPathNameW when the trusted-folder rule applied);
    // empty when it leads to none.
    std::wstring path;
    std::vector<std::wstring> trustedFolders;  // when the trusted-folder rule applied, each with its "\"
    // 0 while the file is to be loaded or was loaded; otherwise the last error the module leaves:
    // the search's, 160 (path not absolute), 161 (outside the trusted folders), or the load's.
    uint32_t error = 0;
};

struct DriverLibraryLoad {
    void* module = nullptr;  // null when refused or when the load failed
    DriverLibraryRoad road;
};

class DriverLibraryLoader {
public:
    DriverLibraryLoader(DriverSystem& system, SystemFacts& facts) : m_system(system), m_facts(facts) {}

    // The road a library file name (without path) takes, up to the load.
    DriverLibraryRoad Plan(const std::wstring& name);
    // Plan and load: by the trusted full path on the search's roads, without any fallback; from
    // the system directory otherwise.
    DriverLibraryLoad Load(const std::wstring& name);

private:
    // A file found by the search is loaded only by an absolute path and, on Windows 7 or later,
    // only from inside the trusted folders; sets the road's error to 160 or 161 otherwise.
    void ApplyTrustedFolderRule(DriverLibraryRoad& road, const std::wstring& path);
    // The Windows folder and both Program Files folders, each once and with its trailing "\".
    std::vector<std::wstring> TrustedFolders();

    DriverSystem& m_system;
    SystemFacts& m_facts;
};
