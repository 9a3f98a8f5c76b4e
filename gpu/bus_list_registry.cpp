// Reads the AMD bus list from the host application's settings key.
#include <windows.h>

#include <cwchar>
#include <vector>

#include "base/diag.h"
#include "base/win32_handles.h"
#include "gpu/bus_list.h"

namespace {

constexpr const wchar_t* kSettingKey = L"Software\\Pralvo\\Quenthra\\Setting";
constexpr const wchar_t* kBusListValue = L"BusList: GPU Bus";
constexpr DWORD kMaxBusListBytes = 4096;

LSTATUS OpenSettingKey(UniqueRegKey* key) {
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingKey, 0, KEY_READ, key->put());
}

// The value's type is not checked: any value holding UTF-16 text serves.
LSTATUS QueryBusListSize(const UniqueRegKey& key, DWORD* size) {
    return RegQueryValueExW(key.get(), kBusListValue, nullptr, nullptr, nullptr, size);
}

LSTATUS ReadBusListValue(const UniqueRegKey& key, std::vector<wchar_t>* buffer, DWORD* size) {
    return RegQueryValueExW(key.get(), kBusListValue, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer->data()),
                            size);
}

}  // namespace

std::vector<BusListItem> ReadBusList() {
    UniqueRegKey key;
    LSTATUS status = OpenSettingKey(&key);
    if (status != ERROR_SUCCESS) {
        DebugPrint(L"[GPUInfo] Failed to open the registry key, error 0x%x\n", static_cast<unsigned>(status));
        return {};
    }
    DWORD size = 0;
    status = QueryBusListSize(key, &size);
    if (status != ERROR_SUCCESS) {
        DebugPrint(L"[GPUInfo] Failed to query the registry value size, error 0x%x\n", static_cast<unsigned>(status));
        return {};
    }
    if (size == 0 || size > kMaxBusListBytes) {
        DebugPrint(L"[GPUInfo] Error Data\n");
        return {};
    }
    // Two spare units keep the text terminated even when the stored value is not.
    std::vector<wchar_t> buffer(size / 2 + 2, L'\0');
    status = ReadBusListValue(key, &buffer, &size);
    key.reset();
    if (status != ERROR_SUCCESS) {
        DebugPrint(L"[GPUInfo] Failed to read the registry value, error 0x%x\n", static_cast<unsigned>(status));
        return {};
    }
    const std::wstring text(buffer.data(), wcsnlen(buffer.data(), size / 2));
    DebugPrint(L"[GPUInfo] Raw registry value: [%ls]\n", text.c_str());
    return ParseBusList(text);
}
