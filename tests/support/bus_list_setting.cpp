#include "bus_list_setting.h"

namespace {
constexpr wchar_t kBusListKey[] = L"Software\\Pralvo\\Quenthra\\Setting";
constexpr wchar_t kBusListValue[] = L"BusList: GPU Bus";
}  // namespace

long BusListSetting::Write(const std::wstring& text) {
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kBusListKey, kBusListValue, REG_SZ, text.c_str(), bytes);
}

void BusListSetting::RemoveKey() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kBusListKey); }
