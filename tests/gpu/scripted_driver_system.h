// A Windows machine as the driver-library search sees it, described by the test: registry values,
// display adapters, the driver store, files, folders and the environment. It counts what the
// search asks and records what it loads.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gpu/driver_paths.h"
#include "gpu/driver_system.h"

// UTF-16LE bytes of a text and its terminator, as the registry stores it.
inline std::vector<uint8_t> Utf16Bytes(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

class ScriptedDriverSystem : public DriverSystem {
public:
    // Registry key and value names compare without case, as Windows compares them; a value set
    // again keeps its place in the enumeration.
    void SetValue(const std::wstring& key, const std::wstring& name, uint32_t type, std::vector<uint8_t> data) {
        if (NamedValue* value = FindValue(key, name)) {
            value->value = RegistryValue{type, std::move(data)};
        } else {
            m_values.push_back({key, name, RegistryValue{type, std::move(data)}});
        }
    }
    void SetTextList(const std::wstring& key, const std::wstring& name, const std::vector<std::wstring>& texts) {
        std::wstring list;
        for (const std::wstring& text : texts) list += text + L'\0';
        SetValue(key, name, kRegTextList, Utf16Bytes(list));
    }
    void SetBuild(const std::wstring& text) {
        SetValue(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", kRegText,
                 Utf16Bytes(text));
    }

    // The machine.
    std::map<KnownFolder, std::wstring> folders = {{KnownFolder::Windows, L"C:\\Windows"},
                                                   {KnownFolder::ProgramFiles, L"C:\\Program Files"},
                                                   {KnownFolder::ProgramFilesX86, L"C:\\Program Files (x86)"}};
    std::map<std::wstring, std::wstring> environment;
    std::optional<bool> wow64 = false;
    bool windows7OrLater = true;
    std::vector<DisplayAdapter> adapters;              // present ones, in enumeration order
    std::map<std::wstring, std::wstring> driverStore;  // INF name -> its full path in the store
    std::map<std::wstring, uint32_t> files;            // full path -> attributes
    std::map<std::wstring, std::wstring> fullPaths;    // GetFullPathNameW's answers; others are unchanged
    std::map<std::wstring, uint32_t> failingLoads;     // path -> the load's error

    // What the search did.
    int wow64Asks = 0;
    int versionChecks = 0;
    int adapterEnumerations = 0;
    int registryReads = 0;  // value reads and value-name enumerations, the build number's included
    std::vector<std::wstring> loads;

    std::optional<RegistryValue> ReadMachineValue(const std::wstring& key, const std::wstring& name) override {
        ++registryReads;
        const NamedValue* value = FindValue(key, name);
        return value ? std::optional<RegistryValue>(value->value) : std::nullopt;
    }
    std::vector<std::wstring> MachineValueNames(const std::wstring& key) override {
        ++registryReads;
        std::vector<std::wstring> names;
        for (const NamedValue& value : m_values)
            if (EqualIgnoringCase(value.key, key)) names.push_back(value.name);
        return names;
    }
    std::optional<DisplayAdapter> FirstDisplayAdapter(
        const std::function<bool(const std::wstring& interfacePath)>& accept) override {
        ++adapterEnumerations;
        for (const DisplayAdapter& adapter : adapters)
            if (accept(adapter.interfacePath)) return adapter;
        return std::nullopt;
    }
    std::optional<std::wstring> DriverStoreInfPath(const std::wstring& inf) override { return Find(driverStore, inf); }
    std::optional<uint32_t> FileAttributes(const std::wstring& path) override { return Find(files, path); }
    std::optional<std::wstring> FullPathName(const std::wstring& path) override {
        return Find(fullPaths, path).value_or(path);
    }
    std::wstring SystemDirectory() override { return L"C:\\Windows\\system32"; }
    std::wstring FolderPath(KnownFolder folder) override { return Find(folders, folder).value_or(L""); }
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override {
        return Find(environment, name);
    }
    std::optional<bool> IsWow64Process() override {
        ++wow64Asks;
        return wow64;
    }
    bool IsWindows7OrLater() override {
        ++versionChecks;
        return windows7OrLater;
    }
    LoadedLibrary LoadLibraryFile(const std::wstring& path) override {
        loads.push_back(path);
        const std::optional<uint32_t> error = Find(failingLoads, path);
        if (error) return {nullptr, *error};
        return {reinterpret_cast<void*>(static_cast<uintptr_t>(0x10000 * loads.size())), 0};
    }

private:
    template <typename Key, typename Value>
    static std::optional<Value> Find(const std::map<Key, Value>& map, const Key& key) {
        const auto found = map.find(key);
        return found == map.end() ? std::nullopt : std::optional<Value>(found->second);
    }

    struct NamedValue {
        std::wstring key, name;
        RegistryValue value;
    };
    NamedValue* FindValue(const std::wstring& key, const std::wstring& name) {
        for (NamedValue& value : m_values)
            if (EqualIgnoringCase(value.key, key) && EqualIgnoringCase(value.name, name)) return &value;
        return nullptr;
    }
    std::vector<NamedValue> m_values;  // in enumeration order
};
