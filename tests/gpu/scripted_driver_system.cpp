#include "scripted_driver_system.h"

#include "gpu/driver_paths.h"

std::vector<uint8_t> Utf16Bytes(const std::wstring& text) {
    std::vector<uint8_t> bytes;
    for (wchar_t c : text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

ScriptedDriverSystem::NamedValue* ScriptedDriverSystem::FindValue(const std::wstring& key, const std::wstring& name) {
    for (NamedValue& value : m_values)
        if (EqualIgnoringCase(value.key, key) && EqualIgnoringCase(value.name, name)) return &value;
    return nullptr;
}

// Replaces a value of the same name, which keeps its place in the enumeration.
void ScriptedDriverSystem::SetValue(const std::wstring& key, const std::wstring& name, uint32_t type,
                                    std::vector<uint8_t> data) {
    if (NamedValue* value = FindValue(key, name)) {
        value->value = RegistryValue{type, std::move(data)};
        return;
    }
    m_values.push_back({key, name, RegistryValue{type, std::move(data)}});
}

void ScriptedDriverSystem::SetBuild(const std::wstring& text) {
    SetValue(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", kRegText, Utf16Bytes(text));
}

void ScriptedDriverSystem::SetTextList(const std::wstring& key, const std::wstring& name,
                                       const std::vector<std::wstring>& texts) {
    std::wstring list;
    for (const std::wstring& text : texts) list += text + L'\0';
    SetValue(key, name, kRegTextList, Utf16Bytes(list));
}

std::optional<RegistryValue> ScriptedDriverSystem::ReadMachineValue(const std::wstring& key, const std::wstring& name) {
    ++registryReads;
    const NamedValue* value = FindValue(key, name);
    if (!value) return std::nullopt;
    return value->value;
}

std::vector<std::wstring> ScriptedDriverSystem::MachineValueNames(const std::wstring& key) {
    ++registryReads;
    std::vector<std::wstring> names;
    for (const NamedValue& value : m_values)
        if (EqualIgnoringCase(value.key, key)) names.push_back(value.name);
    return names;
}

std::optional<DisplayAdapter> ScriptedDriverSystem::FirstDisplayAdapter(
    const std::function<bool(const std::wstring& interfacePath)>& accept) {
    ++adapterEnumerations;
    for (const DisplayAdapter& adapter : adapters)
        if (accept(adapter.interfacePath)) return adapter;
    return std::nullopt;
}

LoadedLibrary ScriptedDriverSystem::LoadLibraryFile(const std::wstring& path) {
    loads.push_back(path);
    const auto failing = failingLoads.find(path);
    if (failing != failingLoads.end()) return {nullptr, failing->second};
    return {reinterpret_cast<void*>(static_cast<uintptr_t>(0x10000 * loads.size())), 0};
}
