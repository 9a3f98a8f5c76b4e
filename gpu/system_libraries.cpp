#include "gpu/system_libraries.h"

#include <optional>
#include <vector>

#include "base/library_export.h"

namespace {

// Deliberately never freed: the functions taken from it are used until the process ends.
HMODULE LoadSystemLibrary(const wchar_t* name) {
    const std::wstring directory = SystemDirectoryPath();
    if (directory.empty()) return nullptr;
    return LoadLibraryExW((directory + L"\\" + name).c_str(), nullptr, 0);
}

std::optional<Advapi32Functions> LoadAdvapi32() {
    const HMODULE library = LoadSystemLibrary(L"Advapi32.dll");
    if (!library) return std::nullopt;
    Advapi32Functions f{};
    bool found = TakeExport(library, "RegOpenKeyExW", &f.openKey);
    found &= TakeExport(library, "RegQueryValueExW", &f.queryValue);
    found &= TakeExport(library, "RegEnumValueW", &f.enumValue);
    found &= TakeExport(library, "RegCloseKey", &f.closeKey);
    if (!found) return std::nullopt;
    return f;
}

std::optional<SetupapiFunctions> LoadSetupapi() {
    const HMODULE library = LoadSystemLibrary(L"Setupapi.dll");
    if (!library) return std::nullopt;
    SetupapiFunctions f{};
    bool found = TakeExport(library, "SetupDiGetClassDevsW", &f.getClassDevs);
    found &= TakeExport(library, "SetupDiEnumDeviceInterfaces", &f.enumDeviceInterfaces);
    found &= TakeExport(library, "SetupDiGetDeviceInterfaceDetailW", &f.getDeviceInterfaceDetail);
    found &= TakeExport(library, "SetupDiGetDeviceRegistryPropertyW", &f.getDeviceRegistryProperty);
    found &= TakeExport(library, "SetupDiGetDevicePropertyW", &f.getDeviceProperty);
    found &= TakeExport(library, "SetupDiDestroyDeviceInfoList", &f.destroyDeviceInfoList);
    found &= TakeExport(library, "SetupGetInfDriverStoreLocationW", &f.getInfDriverStoreLocation);
    if (!found) return std::nullopt;
    return f;
}

std::optional<Shell32Functions> LoadShell32() {
    const HMODULE library = LoadSystemLibrary(L"Shell32.dll");
    if (!library) return std::nullopt;
    Shell32Functions f{};
    if (!TakeExport(library, "SHGetFolderPathW", &f.getFolderPath)) return std::nullopt;
    return f;
}

}  // namespace

const Advapi32Functions* Advapi32() {
    static const std::optional<Advapi32Functions> functions = LoadAdvapi32();
    return functions ? &*functions : nullptr;
}

const SetupapiFunctions* Setupapi() {
    static const std::optional<SetupapiFunctions> functions = LoadSetupapi();
    return functions ? &*functions : nullptr;
}

const Shell32Functions* Shell32() {
    static const std::optional<Shell32Functions> functions = LoadShell32();
    return functions ? &*functions : nullptr;
}

std::wstring SystemDirectoryPath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.resize(length);
        length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    if (length == 0 || length >= buffer.size()) return std::wstring();
    return std::wstring(buffer.data(), length);
}
