#include "scripted_driver_system.h"

#include "gpu/driver_paths.h"

namespace {

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

constexpr wchar_t kCurrentVersion[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

}  // namespace

std::vector<uint8_t> Utf16Bytes(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

ScriptedDriverSystem::ScriptedDriverSystem()
    : folders{{KnownFolder::Windows, L"C:\\Windows"},
              {KnownFolder::ProgramFiles, L"C:\\Program Files"},
              {KnownFolder::ProgramFilesX86, L"C:\\Program Files (x86)"}} {}

ScriptedDriverSystem::Values& ScriptedDriverSystem::KeyValues(const std::wstring& key) { return m_keys[Upper(key)]; }

// Replaces a value of the same name, which keeps its place in the enumeration.
void ScriptedDriverSystem::SetValue(const std::wstring& key, const std::wstring& name, uint32_t type,
                                    std::vector<uint8_t> data) {
    Values& values = KeyValues(key);
    for (auto& value : values) {
        if (!EqualIgnoringCase(value.first, name)) continue;
        value.second = RegistryValue{type, std::move(data)};
        return;
    }
    values.push_back({name, RegistryValue{type, std::move(data)}});
}

void ScriptedDriverSystem::SetBuild(const std::wstring& text) { SetText(kCurrentVersion, L"CurrentBuildNumber", text); }

void ScriptedDriverSystem::SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    SetValue(key, name, kRegText, Utf16Bytes(text));
}

void ScriptedDriverSystem::SetTextList(const std::wstring& key, const std::wstring& name,
                                       const std::vector<std::wstring>& texts) {
    std::vector<uint8_t> data;
    for (const std::wstring& text : texts) {
        const std::vector<uint8_t> bytes = Utf16Bytes(text);
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    data.insert(data.end(), {0, 0});
    SetValue(key, name, kRegTextList, data);
}

std::optional<RegistryValue> ScriptedDriverSystem::ReadMachineValue(const std::wstring& key, const std::wstring& name) {
    ++registryReads;
    if (EqualIgnoringCase(key, kCurrentVersion) && EqualIgnoringCase(name, L"CurrentBuildNumber")) ++buildReads;
    for (const auto& [valueName, value] : KeyValues(key))
        if (EqualIgnoringCase(valueName, name)) return value;
    return std::nullopt;
}

std::vector<std::wstring> ScriptedDriverSystem::MachineValueNames(const std::wstring& key) {
    ++registryReads;
    std::vector<std::wstring> names;
    for (const auto& value : KeyValues(key)) names.push_back(value.first);
    return names;
}

std::optional<DisplayAdapter> ScriptedDriverSystem::FirstDisplayAdapter(
    const std::function<bool(const std::wstring& interfacePath)>& accept) {
    ++adapterEnumerations;
    for (const DisplayAdapter& adapter : adapters)
        if (accept(adapter.interfacePath)) return adapter;
    return std::nullopt;
}

std::optional<std::wstring> ScriptedDriverSystem::DriverStoreInfPath(const std::wstring& infName) {
    const auto found = driverStore.find(infName);
    if (found == driverStore.end()) return std::nullopt;
    return found->second;
}

std::optional<uint32_t> ScriptedDriverSystem::FileAttributes(const std::wstring& path) {
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
}

std::optional<std::wstring> ScriptedDriverSystem::FullPathName(const std::wstring& path) {
    const auto found = fullPaths.find(path);
    return found == fullPaths.end() ? path : found->second;
}

std::wstring ScriptedDriverSystem::FolderPath(KnownFolder folder) {
    const auto found = folders.find(folder);
    return found == folders.end() ? std::wstring() : found->second;
}

std::optional<std::wstring> ScriptedDriverSystem::EnvironmentVariable(const std::wstring& name) {
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
}

std::optional<bool> ScriptedDriverSystem::IsWow64Process() {
    ++wow64Asks;
    return wow64;
}

bool ScriptedDriverSystem::IsWindows7OrLater() {
    ++versionChecks;
    return windows7OrLater;
}

LoadedLibrary ScriptedDriverSystem::LoadLibraryFile(const std::wstring& path) {
    loads.push_back(path);
    const auto failing = failingLoads.find(path);
    if (failing != failingLoads.end()) return {nullptr, failing->second};
    return {reinterpret_cast<void*>(static_cast<uintptr_t>(0x10000 * loads.size())), 0};
}
