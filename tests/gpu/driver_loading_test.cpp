// The real DLL takes nvapi.dll by the road the Windows build number and the registry send it on.
// (Below build 14308 it loads from the system directory without a search: the doctor tests see the
// module do so, the native search tests see it ask nothing more.) From there on it searches
// the registrations of the NVIDIA display adapter: Wine has none of its own, so the system
// directory serves unless the test registers one. Wine then enumerates the adapter and reads its
// driver key and INF file, but its driver-store query is a stub, so the store road ends there.
// These tests change what every module of the prefix would load, so they run alone.
#include <gtest/gtest.h>

#include <optional>

#include "TorvexBench.h"
#include "gpu/driver_library.h"
#include "gpu/driver_paths.h"
#include "gpu/driver_system_win32.h"
#include "gpu/system_libraries.h"
#include "loaded_module.h"
#include "nvidia_adapter_registration.h"
#include "vendor/vendor_names.h"

namespace {

// NVAPI's file name in this build's width.
const std::wstring kNvapi = vendor::kLibraryNames.nvapi.wide;

std::wstring InSystemDirectory(const std::wstring& name) { return SystemDirectoryPath() + L"\\" + name; }

// Windows paths compare without case.
::testing::AssertionResult SamePath(const std::wstring& expected, const std::wstring& actual) {
    if (EqualIgnoringCase(expected, actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << ::testing::PrintToString(expected) << ", got "
                                         << ::testing::PrintToString(actual);
}

// Windows 10 (build 19045); a test may add an NVIDIA adapter before it starts the module.
class DriverLoading : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045")); }

    void StartModule() {
        TorvexBench_LoadDefaultScenario();
        module.emplace();
    }
    // Check_Function_Support's code for the first board.
    int BoardCode() {
        FunctionSupport support{};
        return (*module)->Check_Function_Support(1, &support);
    }

    WindowsBuildSetting build;
    std::optional<NvidiaAdapterRegistration> adapter;  // outlives the module, which keeps NVAPI loaded
    std::optional<LoadedModule> module;
};

TEST_F(DriverLoading, WithoutAnNvidiaAdapterTheSearchFindsNothingAndTheSystemDirectoryServes) {
    StartModule();
    EXPECT_TRUE(SamePath(InSystemDirectory(kNvapi), LoadedModulePath(kNvapi.c_str())));
    EXPECT_TRUE(SamePath(InSystemDirectory(L"setupapi.dll"), LoadedModulePath(L"setupapi.dll")))
        << "the module enumerated the display adapters, with SetupAPI loaded by full path";
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads"));
    EXPECT_EQ(0, BoardCode());

    // The same search in this process shows why: Wine's own adapter is not NVIDIA's.
    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(kNvapi);
    EXPECT_EQ(RegistrationOutcome::NoNvidiaAdapter, road.search.registrations.outcome);
    SetLastError(ERROR_ACCESS_DENIED);
    const HMODULE again = LoadDriverLibrary(kNvapi.c_str());
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(GetModuleHandleW(kNvapi.c_str()), again);
    FreeLibrary(again);
}

TEST_F(DriverLoading, RegisteredFileInATrustedFolderIsLoadedFromThere) {
    const std::wstring trusted =
        Win32DriverSystem().FolderPath(KnownFolder::ProgramFiles) + L"\\TorvexTests\\" + kNvapi;
    adapter.emplace(build);
    ASSERT_TRUE(adapter->PlaceNvapiCopy(trusted));
    adapter->Register(L"UserModeDriverName", {L"nvldumd.dll", trusted});
    StartModule();
    EXPECT_TRUE(SamePath(trusted, LoadedModulePath(kNvapi.c_str())));
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads")) << "the system directory's copy stays unloaded";
    EXPECT_EQ(0, BoardCode());

    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(kNvapi);
    EXPECT_NE(std::wstring::npos, road.search.registrations.adapterPath.find(L"ven_10de"))
        << testing::PrintToString(road.search.registrations.adapterPath);
    EXPECT_EQ(L"UserModeDriverName", road.search.registrations.value.substr(0, 18));
}

TEST_F(DriverLoading, RegisteredFileOutsideTheTrustedFoldersIsRefusedWithoutFallback) {
    const std::wstring planted = L"C:\\TorvexPlanted\\" + kNvapi;
    adapter.emplace(build);
    ASSERT_TRUE(adapter->PlaceNvapiCopy(planted));
    adapter->Register(L"UserModeDriverName", {planted});
    StartModule();
    EXPECT_EQ(L"", LoadedModulePath(kNvapi.c_str()));
    EXPECT_EQ(-1, BoardCode()) << "without NVAPI the module has no board";

    SetLastError(0);
    EXPECT_EQ(nullptr, LoadDriverLibrary(kNvapi.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_PATHNAME), GetLastError());
    EXPECT_EQ(0, TorvexBench_Counter("nvapi.loads"));
}

TEST_F(DriverLoading, UnregisteredDriverAsksTheDriverStoreThenTakesTheSystemDirectory) {
    adapter.emplace(build);
    adapter->SetDriverInf(L"oem42.inf");
    StartModule();
    EXPECT_TRUE(SamePath(InSystemDirectory(kNvapi), LoadedModulePath(kNvapi.c_str())));
    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(kNvapi);
    EXPECT_EQ(RegistrationOutcome::NotRegistered, road.search.registrations.outcome);
    EXPECT_EQ(L"oem42.inf", road.search.driverInf);
    EXPECT_EQ(DriverStoreOutcome::NoStoreLocation, road.search.store);
}

}  // namespace
