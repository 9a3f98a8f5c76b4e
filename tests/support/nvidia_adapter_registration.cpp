#include "nvidia_adapter_registration.h"

#include <windows.h>

#include "vendor/vendor_names.h"

namespace {

constexpr wchar_t kInterfaceClass[] = L"{1CA05180-A699-450A-9A0C-DE4FBE3DDD89}";
constexpr wchar_t kDisplayClass[] = L"{4D36E968-E325-11CE-BFC1-08002BE10318}";
constexpr wchar_t kDriverIndex[] = L"0099";
constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\ROOT\\TORVEXTEST&VEN_10DE&DEV_2684";
// The interface's key name is the device instance with "#" for "\", behind "##?#".
constexpr wchar_t kInterfaceName[] = L"##?#ROOT#TORVEXTEST&VEN_10DE&DEV_2684#0000#";

std::wstring DriverSubkey() { return std::wstring(kDisplayClass) + L"\\" + kDriverIndex; }
std::wstring DriverKey() { return L"SYSTEM\\CurrentControlSet\\Control\\Class\\" + DriverSubkey(); }
std::wstring InterfaceKey() {
    return std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\") + kInterfaceClass + L"\\" +
           kInterfaceName + kInterfaceClass;
}
std::wstring InstanceKey() { return std::wstring(kEnumKey) + L"\\0000"; }

void SetValue(const std::wstring& key, const wchar_t* name, DWORD type, const void* data, size_t bytes) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, type, data, static_cast<DWORD>(bytes));
}

void SetText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    SetValue(key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void SetTextList(const std::wstring& key, const wchar_t* name, const std::vector<std::wstring>& texts) {
    std::wstring list;
    for (const std::wstring& text : texts) list += text + L'\0';
    list += L'\0';
    SetValue(key, name, REG_MULTI_SZ, list.data(), list.size() * sizeof(wchar_t));
}

std::wstring SystemDirectory() {
    wchar_t directory[MAX_PATH] = {};
    GetSystemDirectoryW(directory, MAX_PATH);
    return directory;
}

}  // namespace

NvidiaAdapterRegistration::NvidiaAdapterRegistration(const WindowsBuildSetting&) {
    Remove();  // what an interrupted run may have left
    SetText(InstanceKey(), L"Class", L"Display");
    SetText(InstanceKey(), L"ClassGUID", kDisplayClass);
    SetText(InstanceKey(), L"DeviceDesc", L"TorvexModule test adapter");
    SetText(InstanceKey(), L"Driver", DriverSubkey());
    SetText(InterfaceKey(), L"DeviceInstance", kDeviceInstance);
    SetText(InterfaceKey() + L"\\#", L"SymbolicLink",
            std::wstring(L"\\\\?\\") + (kInterfaceName + 4) + kInterfaceClass);
    const DWORD linked = 1;
    SetValue(InterfaceKey() + L"\\#\\Control", L"Linked", REG_DWORD, &linked, sizeof(linked));
    SetText(DriverKey(), L"DriverDesc", L"TorvexModule test adapter");
}

NvidiaAdapterRegistration::~NvidiaAdapterRegistration() {
    Remove();
    for (const std::wstring& copy : m_copies) {
        HMODULE loaded = nullptr;
        while ((loaded = GetModuleHandleW(copy.c_str())) != nullptr && FreeLibrary(loaded)) {
        }
        DeleteFileW(copy.c_str());
        RemoveDirectoryW(copy.substr(0, copy.rfind(L'\\')).c_str());
    }
}

void NvidiaAdapterRegistration::Remove() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kEnumKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, InterfaceKey().c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, DriverKey().c_str());
}

void NvidiaAdapterRegistration::Register(const std::wstring& value, const std::vector<std::wstring>& entries) {
    SetTextList(DriverKey(), value.c_str(), entries);
    SetTextList(DriverKey(), (value + L"Wow").c_str(), entries);
}

bool NvidiaAdapterRegistration::PlaceNvapiCopy(const std::wstring& path) {
    CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
    m_copies.push_back(path);
    return CopyFileW((SystemDirectory() + L"\\" + vendor::kLibraryNames.nvapi.wide).c_str(), path.c_str(), FALSE) != FALSE;
}
