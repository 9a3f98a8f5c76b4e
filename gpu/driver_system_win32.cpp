#include "gpu/driver_system_win32.h"

#include <windows.h>

#include "base/library_export.h"
#include "base/win32_handles.h"
#include "gpu/system_libraries.h"

namespace {

// Windows' longest value name is 16383 characters; the buffer leaves room to spare.
constexpr DWORD kValueNameBufferLength = 32767;

// A key under HKEY_LOCAL_MACHINE opened for reading its values; null when it cannot be.
HKEY OpenMachineKey(const Advapi32Functions& advapi, const std::wstring& key) {
    HKEY opened = nullptr;
    if (advapi.openKey(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return nullptr;
    return opened;
}

// Text from a buffer that a Windows call filled with UTF-16 and, usually, a terminator.
std::wstring TextOf(const std::vector<BYTE>& bytes) {
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

// Reads a variable-length text property: `query(buffer, size, &required)` is asked for the size
// first, then for the text.
template <typename Query>
std::optional<std::wstring> ReadTextProperty(Query query) {
    DWORD required = 0;
    query(nullptr, 0, &required);
    if (required == 0) return std::nullopt;
    std::vector<BYTE> buffer(required);
    if (!query(buffer.data(), required, &required)) return std::nullopt;
    return TextOf(buffer);
}

std::optional<std::wstring> InterfacePath(const SetupapiFunctions& api, HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface,
                                          SP_DEVINFO_DATA& device) {
    DWORD required = 0;
    api.getDeviceInterfaceDetail(set, &iface, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::nullopt;
    // DWORD elements keep the detail record aligned as its first member needs.
    std::vector<DWORD> buffer((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!api.getDeviceInterfaceDetail(set, &iface, detail, required, nullptr, &device)) return std::nullopt;
    const size_t maxLength = (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
    const std::wstring path(detail->DevicePath, maxLength);
    return path.substr(0, path.find(L'\0'));
}

DisplayAdapter ReadAdapter(const SetupapiFunctions& api, HDEVINFO set, SP_DEVINFO_DATA& device, std::wstring path) {
    DisplayAdapter adapter;
    adapter.interfacePath = std::move(path);
    adapter.driverKey = ReadTextProperty([&](BYTE* buffer, DWORD size, DWORD* required) {
        DWORD type = 0;
        return api.getDeviceRegistryProperty(set, &device, SPDRP_DRIVER, &type, buffer, size, required) &&
               type == REG_SZ;
    });
    adapter.driverInf = ReadTextProperty([&](BYTE* buffer, DWORD size, DWORD* required) {
        DEVPROPTYPE type = 0;
        return api.getDeviceProperty(set, &device, &setupapi::kDriverInfPath, &type, buffer, size, required, 0) &&
               type == DEVPROP_TYPE_STRING;
    });
    return adapter;
}

int FolderId(KnownFolder folder) {
    switch (folder) {
        case KnownFolder::Windows: return CSIDL_WINDOWS;
        case KnownFolder::ProgramFiles: return CSIDL_PROGRAM_FILES;
        case KnownFolder::ProgramFilesX86: return CSIDL_PROGRAM_FILESX86;
    }
    return -1;
}

}  // namespace

std::optional<RegistryValue> Win32DriverSystem::ReadMachineValue(const std::wstring& key, const std::wstring& name) {
    const Advapi32Functions* advapi = Advapi32();
    if (!advapi) return std::nullopt;
    const UniqueBoundRegKey opened(advapi->closeKey, OpenMachineKey(*advapi, key));
    if (!opened) return std::nullopt;
    RegistryValue value;
    DWORD type = 0;
    DWORD size = 0;
    if (advapi->queryValue(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    LONG status = ERROR_MORE_DATA;
    // The value may grow between the calls; each ERROR_MORE_DATA says by how much.
    while (status == ERROR_MORE_DATA) {
        value.data.resize(size);
        status = advapi->queryValue(opened.get(), name.c_str(), nullptr, &type, value.data.data(), &size);
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    value.data.resize(size);
    value.type = type;
    return value;
}

std::vector<std::wstring> Win32DriverSystem::MachineValueNames(const std::wstring& key) {
    std::vector<std::wstring> names;
    const Advapi32Functions* advapi = Advapi32();
    if (!advapi) return names;
    const UniqueBoundRegKey opened(advapi->closeKey, OpenMachineKey(*advapi, key));
    if (!opened) return names;
    std::vector<wchar_t> name(kValueNameBufferLength);
    for (DWORD index = 0;; ++index) {
        DWORD length = kValueNameBufferLength;
        const LONG status =
            advapi->enumValue(opened.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;  // a name too long for any library's
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

std::optional<DisplayAdapter> Win32DriverSystem::FirstDisplayAdapter(
    const std::function<bool(const std::wstring& interfacePath)>& accept) {
    const SetupapiFunctions* api = Setupapi();
    if (!api) return std::nullopt;
    const UniqueDeviceInfoSet set(api->destroyDeviceInfoList,
                                  api->getClassDevs(&setupapi::kDisplayDeviceArrival, nullptr, nullptr,
                                                    DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) return std::nullopt;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof(iface);
        if (!api->enumDeviceInterfaces(set.get(), nullptr, &setupapi::kDisplayDeviceArrival, index, &iface))
            return std::nullopt;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        const std::optional<std::wstring> path = InterfacePath(*api, set.get(), iface, device);
        if (path && accept(*path)) return ReadAdapter(*api, set.get(), device, *path);
    }
}

std::optional<std::wstring> Win32DriverSystem::DriverStoreInfPath(const std::wstring& infName) {
    const SetupapiFunctions* api = Setupapi();
    if (!api) return std::nullopt;
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD required = 0;
    if (api->getInfDriverStoreLocation(infName.c_str(), nullptr, nullptr, buffer.data(),
                                       static_cast<DWORD>(buffer.size()), &required)) {
        return std::wstring(buffer.data());
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) return std::nullopt;
    buffer.resize(required);
    if (!api->getInfDriverStoreLocation(infName.c_str(), nullptr, nullptr, buffer.data(), required, &required))
        return std::nullopt;
    return std::wstring(buffer.data());
}

std::optional<uint32_t> Win32DriverSystem::FileAttributes(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::optional<std::wstring> Win32DriverSystem::FullPathName(const std::wstring& path) {
    const DWORD required = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (required == 0) return std::nullopt;
    std::vector<wchar_t> buffer(required);
    const DWORD length = GetFullPathNameW(path.c_str(), required, buffer.data(), nullptr);
    if (length == 0 || length >= required) return std::nullopt;
    return std::wstring(buffer.data(), length);
}

std::wstring Win32DriverSystem::SystemDirectory() { return SystemDirectoryPath(); }

std::wstring Win32DriverSystem::FolderPath(KnownFolder folder) {
    const Shell32Functions* shell = Shell32();
    if (!shell) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    if (shell->getFolderPath(nullptr, FolderId(folder), nullptr, SHGFP_TYPE_CURRENT, path) != S_OK)
        return std::wstring();
    return path;
}

std::optional<std::wstring> Win32DriverSystem::EnvironmentVariable(const std::wstring& name) {
    const DWORD required = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
    if (required == 0) return std::nullopt;
    std::vector<wchar_t> buffer(required);
    const DWORD length = GetEnvironmentVariableW(name.c_str(), buffer.data(), required);
    if (length >= required) return std::nullopt;
    return std::wstring(buffer.data(), length);
}

std::optional<bool> Win32DriverSystem::IsWow64Process() {
    const auto isWow64 = FindExport<decltype(&::IsWow64Process)>(GetModuleHandleW(L"kernel32"), "IsWow64Process");
    BOOL wow64 = FALSE;
    if (!isWow64 || !isWow64(GetCurrentProcess(), &wow64)) return std::nullopt;
    return wow64 != FALSE;
}

bool Win32DriverSystem::IsWindows7OrLater() {
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    version.dwMajorVersion = 6;
    version.dwMinorVersion = 1;
    version.wServicePackMajor = 0;
    DWORDLONG conditions = 0;
    conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) !=
           FALSE;
}

LoadedLibrary Win32DriverSystem::LoadLibraryFile(const std::wstring& path) {
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, 0);
    return {module, module ? 0u : static_cast<uint32_t>(GetLastError())};
}
