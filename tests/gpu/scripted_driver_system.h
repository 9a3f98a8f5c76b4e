// A Windows machine as the driver-library search sees it, described by the test: registry values,
// display adapters, the driver store, files, folders and the environment. It counts what the
// search asks and records what it loads.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gpu/driver_system.h"

class ScriptedDriverSystem : public DriverSystem {
public:
    ScriptedDriverSystem();

    void SetBuild(const std::wstring& text);
    void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text);
    void SetTextList(const std::wstring& key, const std::wstring& name, const std::vector<std::wstring>& texts);
    void SetValue(const std::wstring& key, const std::wstring& name, uint32_t type, std::vector<uint8_t> data);

    // The machine. Registry key and value names compare without case, as Windows compares them.
    std::wstring systemDirectory = L"C:\\Windows\\system32";
    std::map<KnownFolder, std::wstring> folders;
    std::map<std::wstring, std::wstring> environment;
    std::optional<bool> wow64 = false;
    bool windows7OrLater = true;
    std::vector<DisplayAdapter> adapters;          // present ones, in enumeration order
    std::map<std::wstring, std::wstring> driverStore;  // INF name -> its full path in the store
    std::map<std::wstring, uint32_t> files;        // full path -> attributes
    std::map<std::wstring, std::wstring> fullPaths;  // GetFullPathNameW's answers; others are unchanged
    std::map<std::wstring, uint32_t> failingLoads;   // path -> the load's error

    // What the search did.
    int buildReads = 0;
    int wow64Asks = 0;
    int versionChecks = 0;
    int adapterEnumerations = 0;
    int registryReads = 0;  // value reads and value-name enumerations, the build number's included
    std::vector<std::wstring> loads;

    std::optional<RegistryValue> ReadMachineValue(const std::wstring& key, const std::wstring& name) override;
    std::vector<std::wstring> MachineValueNames(const std::wstring& key) override;
    std::optional<DisplayAdapter> FirstDisplayAdapter(
        const std::function<bool(const std::wstring& interfacePath)>& accept) override;
    std::optional<std::wstring> DriverStoreInfPath(const std::wstring& infName) override;
    std::optional<uint32_t> FileAttributes(const std::wstring& path) override;
    std::optional<std::wstring> FullPathName(const std::wstring& path) override;
    std::wstring SystemDirectory() override { return systemDirectory; }
    std::wstring FolderPath(KnownFolder folder) override;
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override;
    std::optional<bool> IsWow64Process() override;
    bool IsWindows7OrLater() override;
    LoadedLibrary LoadLibraryFile(const std::wstring& path) override;

private:
    using Values = std::vector<std::pair<std::wstring, RegistryValue>>;  // in enumeration order
    std::map<std::wstring, Values> m_keys;  // by upper-cased key
    Values& KeyValues(const std::wstring& key);
};

// UTF-16LE bytes of a text and its terminator, as the registry stores it.
std::vector<uint8_t> Utf16Bytes(const std::wstring& text);
