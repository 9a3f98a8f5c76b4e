// The real DLL takes nvapi.dll by the road the Windows build number sends it on. Wine has no NVIDIA
// adapter, so on a Windows 10 build the registration search finds nothing (126) and the module
// loads from the system directory as before: which is also all that tests running meanwhile see.
#include <gtest/gtest.h>

#include "TorvexBench.h"
#include "gpu/driver_library.h"
#include "loaded_module.h"
#include "module_origin.h"
#include "windows_build_setting.h"

TEST(DriverLoading, BelowBuild14308NvapiComesFromTheSystemDirectoryWithoutASearch) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"14307"));
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_TRUE(SamePath(InSystemDirectory(L"nvapi.dll"), LoadedModulePath(L"nvapi.dll")));
    EXPECT_EQ(L"", LoadedModulePath(L"setupapi.dll")) << "no display adapter was enumerated";
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads"));
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));
}

TEST(DriverLoading, Windows10BuildSearchesTheRegistrationsThenTakesTheSystemDirectory) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_TRUE(SamePath(InSystemDirectory(L"nvapi.dll"), LoadedModulePath(L"nvapi.dll")));
    EXPECT_TRUE(SamePath(InSystemDirectory(L"setupapi.dll"), LoadedModulePath(L"setupapi.dll")))
        << "the module enumerated the display adapters, with SetupAPI loaded by full path";
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads"));
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));

    // The same search in this process shows why: Wine's own adapter is not NVIDIA's.
    const DriverLibraryRoad road = ThisProcessDriverLoader().Plan(L"nvapi.dll");
    EXPECT_EQ(19045u, road.buildNumber);
    EXPECT_TRUE(road.searched);
    EXPECT_EQ(RegistrationOutcome::NoNvidiaAdapter, road.search.registrations.outcome);
    EXPECT_EQ(DriverStoreOutcome::NoNvidiaAdapter, road.search.store);
    EXPECT_EQ(kErrorModNotFound, road.search.error);
    EXPECT_EQ(DriverRoad::SystemDirectory, road.road);
    EXPECT_EQ(0u, road.error);
    SetLastError(ERROR_ACCESS_DENIED);
    const HMODULE again = LoadDriverLibrary(L"nvapi.dll");
    EXPECT_EQ(0u, GetLastError());
    EXPECT_EQ(GetModuleHandleW(L"nvapi.dll"), again);
    FreeLibrary(again);
}
