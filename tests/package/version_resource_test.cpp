// The DLL says the same version as the header it ships with in its version resource's texts, what
// Explorer shows. (The fixed file version, what installers compare: torvexctl --version, tests/tools.)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TorvexModule.h"
#include "module_exports.h"

TEST(VersionResource, TextsAreTheHeaders) {
    const std::wstring path = BesideRunningProgram(L"TorvexModule.dll");
    DWORD ignored = 0;
    std::vector<uint8_t> info(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "TorvexModule.dll has no version resource";
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const std::pair<const wchar_t*, std::wstring> texts[] = {
        {L"FileVersion", L"" TORVEX_MODULE_VERSION_STRING},
        {L"ProductVersion", L"" TORVEX_MODULE_VERSION_STRING},
        {L"ProductName", L"TorvexModule"},
        {L"CompanyName", L"The TorvexModule developers"},
        {L"OriginalFilename", L"TorvexModule.dll"},
    };
    for (const auto& [name, text] : texts) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), &value, &length)) << ToUtf8(name);
        EXPECT_EQ(text, static_cast<const wchar_t*>(value));
    }
}
