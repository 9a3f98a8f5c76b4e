// The part of Windows that finding a driver library touches, as one narrow interface: registry
// reads, the display adapters, the driver store, files and folders, the environment, the version
// check and the load itself. The search (gpu/driver_search.h) runs against it and never calls
// Windows directly, so it builds natively; gpu/driver_system_win32.cpp is the real one, the tests
// bring a scripted one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Registry value types the search tells apart.
constexpr uint32_t kRegText = 1;      // REG_SZ
constexpr uint32_t kRegTextList = 7;  // REG_MULTI_SZ

// File attribute bits that disqualify a driver-store candidate.
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeDevice = 0x40;

// Windows error codes the search sets.
constexpr uint32_t kErrorInvalidData = 13;     // ERROR_INVALID_DATA
constexpr uint32_t kErrorModNotFound = 126;    // ERROR_MOD_NOT_FOUND
constexpr uint32_t kErrorBadArguments = 160;   // ERROR_BAD_ARGUMENTS
constexpr uint32_t kErrorBadPathname = 161;    // ERROR_BAD_PATHNAME

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;  // as stored: texts are UTF-16LE
};

// A present display adapter and the two properties the search reads from it.
struct DisplayAdapter {
    std::wstring interfacePath;              // its device-interface path
    std::optional<std::wstring> driverKey;   // SPDRP_DRIVER: "{class}\NNNN"
    std::optional<std::wstring> driverInf;   // DEVPKEY_Device_DriverInfPath: "oemNN.inf"
};

enum class KnownFolder { Windows, ProgramFiles, ProgramFilesX86 };

struct LoadedLibrary {
    void* module = nullptr;  // the module handle; null when the load failed
    uint32_t error = 0;      // the load's last-error code when it failed
};

class DriverSystem {
public:
    virtual ~DriverSystem() = default;

    // A value under HKEY_LOCAL_MACHINE; nothing when the key or the value cannot be read.
    virtual std::optional<RegistryValue> ReadMachineValue(const std::wstring& key, const std::wstring& name) = 0;
    // The names of every value of a key under HKEY_LOCAL_MACHINE, in enumeration order.
    virtual std::vector<std::wstring> MachineValueNames(const std::wstring& key) = 0;

    // The first present display adapter, in enumeration order, whose interface path `accept` takes.
    virtual std::optional<DisplayAdapter> FirstDisplayAdapter(
        const std::function<bool(const std::wstring& interfacePath)>& accept) = 0;
    // Full path of an installed INF file inside the driver store.
    virtual std::optional<std::wstring> DriverStoreInfPath(const std::wstring& infName) = 0;

    // Nothing when the file does not exist or cannot be asked about.
    virtual std::optional<uint32_t> FileAttributes(const std::wstring& path) = 0;
    virtual std::optional<std::wstring> FullPathName(const std::wstring& path) = 0;
    virtual std::wstring SystemDirectory() = 0;  // empty when unknown
    virtual std::wstring FolderPath(KnownFolder folder) = 0;  // empty when unknown
    virtual std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) = 0;  // unset: nothing

    // Nothing when it cannot be determined.
    virtual std::optional<bool> IsWow64Process() = 0;
    virtual bool IsWindows7OrLater() = 0;

    // Loads a library by full path, with the default search for its own imports.
    virtual LoadedLibrary LoadLibraryFile(const std::wstring& path) = 0;
};
