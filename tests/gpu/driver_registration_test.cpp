// The real DLL on a Windows 10 build with an NVIDIA display adapter whose driver registers
// nvapi.dll: a registered file inside a trusted folder is loaded from there, one outside is
// refused with 161 and nothing is loaded in its place. Wine enumerates the adapter and reads its
// driver key and INF file, but its driver-store query is a stub, so the store road ends there.
// These tests change what every module of the prefix would load, so they run alone.
#include <gtest/gtest.h>

#include "TorvexBench.h"
#include "gpu/driver_library.h"
#include "gpu/driver_system_win32.h"
#include "loaded_module.h"
#include "module_origin.h"
#include "nvidia_adapter_registration.h"

namespace {

std::wstring TrustedCopy() {
    return Win32DriverSystem().FolderPath(KnownFolder::ProgramFiles) + L"\\TorvexTests\\nvapi.dll";
}

const std::wstring kPlantedCopy = L"C:\\TorvexPlanted\\nvapi.dll";

}  // namespace

TEST(DriverRegistration, RegisteredFileInATrustedFolderIsLoadedFromThere) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(TrustedCopy()));
    adapter.Register(L"UserModeDriverName", {L"nvldumd.dll", TrustedCopy()});
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_TRUE(SamePath(TrustedCopy(), LoadedModulePath(L"nvapi.dll")));
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads")) << "the system directory's copy stays unloaded";
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));

    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(L"nvapi.dll");
    EXPECT_EQ(DriverRoad::Registration, road.road);
    EXPECT_NE(std::wstring::npos, road.search.registrations.adapterPath.find(L"ven_10de"))
        << testing::PrintToString(road.search.registrations.adapterPath);
    EXPECT_EQ(L"UserModeDriverName", road.search.registrations.value.substr(0, 18));
    EXPECT_TRUE(SamePath(TrustedCopy(), road.path));
    EXPECT_EQ(0u, road.error);
}

TEST(DriverRegistration, RegisteredFileOutsideTheTrustedFoldersIsRefusedWithoutFallback) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(kPlantedCopy));
    adapter.Register(L"UserModeDriverName", {kPlantedCopy});
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_EQ(L"", LoadedModulePath(L"nvapi.dll"));
    EXPECT_EQ(0, TorvexBench_Counter("nvapi.loads"));
    FunctionSupport support{};
    EXPECT_EQ(-1, module->Check_Function_Support(1, &support)) << "without NVAPI the module has no board";

    SetLastError(0);
    EXPECT_EQ(nullptr, LoadDriverLibrary(L"nvapi.dll"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_PATHNAME), GetLastError());
    EXPECT_EQ(0, TorvexBench_Counter("nvapi.loads"));
}

TEST(DriverRegistration, UnregisteredDriverAsksTheDriverStoreThenTakesTheSystemDirectory) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    adapter.SetDriverInf(L"oem42.inf");
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_TRUE(SamePath(InSystemDirectory(L"nvapi.dll"), LoadedModulePath(L"nvapi.dll")));
    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(L"nvapi.dll");
    EXPECT_EQ(RegistrationOutcome::NotRegistered, road.search.registrations.outcome);
    EXPECT_EQ(L"oem42.inf", road.search.driverInf);
    EXPECT_EQ(DriverStoreOutcome::NoStoreLocation, road.search.store);
    EXPECT_EQ(DriverRoad::SystemDirectory, road.road);
}
