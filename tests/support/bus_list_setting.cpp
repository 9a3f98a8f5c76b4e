#include "bus_list_setting.h"

namespace {
constexpr wchar_t kKey[] = L"Software\\Pralvo\\Quenthra\\Setting";
constexpr wchar_t kValue[] = L"BusList: GPU Bus";
}  // namespace

BusListSetting::BusListSetting() : m_lock(CreateMutexW(nullptr, FALSE, L"TorvexTests.BusListSetting")) {
    WaitForSingleObject(m_lock.get(), INFINITE);
}

BusListSetting::~BusListSetting() {
    RemoveKey();
    ReleaseMutex(m_lock.get());
}

long BusListSetting::Write(const std::wstring& text) {
    UniqueRegKey key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (result != ERROR_SUCCESS) return result;
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

void BusListSetting::RemoveKey() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey); }
