#include "windows_build_setting.h"

#include <vector>

namespace {
constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr wchar_t kBuildNumberValue[] = L"CurrentBuildNumber";

std::optional<std::wstring> ReadBuild() {
    std::vector<wchar_t> text(64);
    DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildNumberValue, RRF_RT_REG_SZ, nullptr, text.data(),
                     &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(text.data());
}
}  // namespace

WindowsBuildSetting::WindowsBuildSetting() : m_found(ReadBuild()) {}

WindowsBuildSetting::~WindowsBuildSetting() {
    if (m_found) Write(*m_found);
}

long WindowsBuildSetting::Write(const std::wstring& build) {
    const auto bytes = static_cast<DWORD>((build.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildNumberValue, REG_SZ, build.c_str(), bytes);
}
