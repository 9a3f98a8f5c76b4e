// The text rules under the driver-library search: registry texts, build numbers, name matching,
// entry forms and folder containment.
#include <gtest/gtest.h>

#include "gpu/driver_paths.h"
#include "scripted_driver_system.h"

namespace {

RegistryValue Value(uint32_t type, std::vector<uint8_t> data) { return RegistryValue{type, std::move(data)}; }

TEST(DriverPaths, RegistryTextsAreReadAsWindowsReadsThem) {
    using Texts = std::vector<std::wstring>;
    // No terminator, and a trailing odd byte.
    EXPECT_EQ(Texts{L"ab"}, RegistryTexts(Value(kRegText, {'a', 0, 'b', 0, 'c'})));
    // A text value ends at its first terminator; an empty one holds no entry.
    EXPECT_EQ(Texts{L"a"}, RegistryTexts(Value(kRegText, {'a', 0, 0, 0, 'b', 0})));
    EXPECT_EQ(Texts{}, RegistryTexts(Value(kRegText, {})));
    // A list ends at its first empty text, with or without the final terminator.
    EXPECT_EQ((Texts{L"a", L"bc"}), RegistryTexts(Value(kRegTextList, {'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0})));
    EXPECT_EQ((Texts{L"a"}), RegistryTexts(Value(kRegTextList, {'a', 0, 0, 0, 0, 0, 'b', 0})));
    EXPECT_EQ((Texts{L"a", L"b"}), RegistryTexts(Value(kRegTextList, {'a', 0, 0, 0, 'b', 0})));
    for (uint32_t other : {0u, 2u, 3u, 4u, 11u}) EXPECT_FALSE(RegistryTexts(Value(other, Utf16Bytes(L"x")))) << other;
}

TEST(DriverPaths, BuildNumbersAreDecimalDigitsOnly) {
    EXPECT_EQ(7601u, ParseBuildNumber(L"7601"));
    EXPECT_EQ(22631u, ParseBuildNumber(L"0022631"));
    EXPECT_EQ(4294967295u, ParseBuildNumber(L"4294967295"));
    for (const wchar_t* bad : {L"", L"4294967296", L"99999999999", L"19045 ", L" 19045", L"+19045", L"19045.1",
                               L"-1", L"\uFF11\uFF19"}) {
        EXPECT_EQ(0u, ParseBuildNumber(bad)) << bad;
    }
}

TEST(DriverPaths, NamesMatchByFileOrByBaseNameWithDllOrNoExtension) {
    for (const wchar_t* entry : {L"nvapi.dll", L"NVAPI.DLL", L"nvapi", L"NvApi", L"C:\\x\\nvapi.dll",
                                 L"C:\\x.y\\nvapi", L"\\SystemRoot\\system32\\nvapi.Dll", L"C:/x\\nvapi.dll"}) {
        EXPECT_TRUE(MatchesDriverName(entry, L"nvapi.dll")) << entry;
    }
    for (const wchar_t* entry : {L"nvapi.dll.bak", L"nvapi64.dll", L"nvap.dll", L"nvapi.", L"nvapi.exe",
                                 L"C:\\nvapi.dll\\", L"C:\\nvapi.dll\\x", L"", L"xnvapi.dll", L"nvapi .dll",
                                 L"C:/x/nvapi.dll", L"x/nvapi", L"C:\\x/nvapi.dll"}) {
        EXPECT_FALSE(MatchesDriverName(entry, L"nvapi.dll")) << entry;
    }
    // The wanted name's own extension counts too: a name without one takes ".dll" entries, a name
    // with another one takes only its exact file.
    EXPECT_TRUE(MatchesDriverName(L"C:\\x\\NvApi.DLL", L"nvapi"));
    EXPECT_TRUE(MatchesDriverName(L"C:\\x\\nvapi.sys", L"NVAPI.SYS"));
    EXPECT_FALSE(MatchesDriverName(L"C:\\x\\nvapi", L"nvapi.sys"));
    EXPECT_FALSE(MatchesDriverName(L"C:\\x\\", L""));
}

TEST(DriverPaths, EntryFormsAbsolutePathsAndFolders) {
    const std::wstring dir = L"C:\\Windows\\system32";
    EXPECT_EQ(L"C:\\Windows\\system32\\nvapi.dll", RegisteredEntryPath(L"SYSTEM32\\nvapi.dll", dir));
    EXPECT_EQ(L"C:\\Windows\\system32\\a\\nvapi.dll",
              RegisteredEntryPath(L"\\systemroot\\System32\\a\\nvapi.dll", dir));
    EXPECT_EQ(L"D:\\x\\nvapi.dll", RegisteredEntryPath(L"D:\\x\\nvapi.dll", dir));
    // Any other leading separator is absolute, and the path stays as it is.
    EXPECT_EQ(L"\\SystemRoot\\nvapi.dll", RegisteredEntryPath(L"\\SystemRoot\\nvapi.dll", dir));
    for (const wchar_t* other : {L"system\\nvapi.dll", L"system32/nvapi.dll", L"D:nvapi\\x.dll", L"..\\nvapi.dll",
                                 L"%SystemRoot%\\System32\\nvapi.dll"}) {
        EXPECT_FALSE(RegisteredEntryPath(other, dir)) << other;
    }
    // Without a known system directory nothing is placed in it.
    EXPECT_FALSE(RegisteredEntryPath(L"system32\\nvapi.dll", L""));

    for (const wchar_t* absolute : {L"C:\\x", L"z:/x", L"\\x", L"/x", L"\\\\?\\C:\\x"})
        EXPECT_TRUE(IsAbsolutePath(absolute)) << absolute;
    for (const wchar_t* relative : {L"C:x", L"C:", L"1:\\x", L"x\\y", L"", L"CC:\\x"})
        EXPECT_FALSE(IsAbsolutePath(relative)) << relative;

    // Folders contain only what lies below them.
    EXPECT_TRUE(IsInsideFolder(L"C:\\WINDOWS\\System32\\nvapi.dll", L"c:\\windows"));
    EXPECT_TRUE(IsInsideFolder(L"C:\\Windows\\nvapi.dll", L"C:\\Windows\\"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\Windows2\\nvapi.dll", L"C:\\Windows"));
    EXPECT_FALSE(IsInsideFolder(L"C:\\Windows", L"C:\\Windows"));
    EXPECT_EQ(L"", FolderPart(L"b.inf"));
    EXPECT_TRUE(NamesNvidiaDevice(L"\\\\?\\pci#ven_10de&dev_2684"));
    EXPECT_FALSE(NamesNvidiaDevice(L"\\\\?\\pci#ven_10d&dev_2684"));
}

}  // namespace
