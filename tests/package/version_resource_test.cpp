// The DLL says the same version as the header it ships with: in its version resource (what
// Explorer and installers read) and in its PE image version.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "TorvexModule.h"
#include "module_exports.h"

namespace {

std::vector<uint8_t> VersionInfoOfModule() {
    const std::wstring path = BesideRunningProgram(L"TorvexModule.dll");
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<uint8_t> info(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) info.clear();
    return info;
}

std::wstring StringValue(std::vector<uint8_t>& info, const wchar_t* name) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || length == 0) return L"<missing>";
    return static_cast<const wchar_t*>(value);
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

}  // namespace

TEST(VersionResource, FixedVersionsAndTextsAreTheHeaders) {
    std::vector<uint8_t> info = VersionInfoOfModule();
    ASSERT_FALSE(info.empty()) << "TorvexModule.dll has no version resource";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    const DWORD high = MAKELONG(TORVEX_MODULE_VERSION_MINOR, TORVEX_MODULE_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, TORVEX_MODULE_VERSION_PATCH);
    EXPECT_EQ(high, fixed->dwFileVersionMS);
    EXPECT_EQ(low, fixed->dwFileVersionLS);
    EXPECT_EQ(high, fixed->dwProductVersionMS);
    EXPECT_EQ(low, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);

    EXPECT_EQ(Widen(TORVEX_MODULE_VERSION_STRING), StringValue(info, L"FileVersion"));
    EXPECT_EQ(Widen(TORVEX_MODULE_VERSION_STRING), StringValue(info, L"ProductVersion"));
    EXPECT_EQ(L"TorvexModule", StringValue(info, L"ProductName"));
    EXPECT_EQ(L"The TorvexModule developers", StringValue(info, L"CompanyName"));
    EXPECT_EQ(L"TorvexModule.dll", StringValue(info, L"OriginalFilename"));
}

TEST(VersionResource, ImageVersionIsTheHeadersMajorAndMinor) {
    std::ifstream file(BesideRunningProgram(L"TorvexModule.dll").c_str(), std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    ASSERT_TRUE(file.read(reinterpret_cast<char*>(&dos), sizeof dos));
    ASSERT_EQ(IMAGE_DOS_SIGNATURE, dos.e_magic);
    IMAGE_NT_HEADERS32 nt{};
    ASSERT_TRUE(file.seekg(dos.e_lfanew).read(reinterpret_cast<char*>(&nt), sizeof nt));
    ASSERT_EQ(static_cast<DWORD>(IMAGE_NT_SIGNATURE), nt.Signature);
    EXPECT_EQ(TORVEX_MODULE_VERSION_MAJOR, nt.OptionalHeader.MajorImageVersion);
    EXPECT_EQ(TORVEX_MODULE_VERSION_MINOR, nt.OptionalHeader.MinorImageVersion);
}
