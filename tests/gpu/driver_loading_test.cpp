// The real DLL takes nvapi.dll by the road the Windows build number and the registry send it on.
// (Below build 14308 it loads from the system directory without a search: the doctor tests see the
// module do so, the native search tests see it ask nothing more.) From there on it searches
// the registrations of the NVIDIA display adapter: Wine has none of its own, so the system
// directory serves, as in every other test, unless the test registers one. (A registered file
// outside the trusted folders is refused: the doctor tests show the module leave it unloaded.)
// This test changes what every module of the prefix would load, so it runs alone.
#include <gtest/gtest.h>

#include "TorvexBench.h"
#include "gpu/driver_paths.h"
#include "gpu/driver_system_win32.h"
#include "loaded_module.h"
#include "nvidia_adapter_registration.h"
#include "vendor/vendor_names.h"

TEST(DriverLoading, RegisteredFileInATrustedFolderIsLoadedFromThere) {
    const std::wstring nvapi = vendor::kLibraryNames.nvapi.wide;  // in this build's width
    const std::wstring trusted =
        Win32DriverSystem().FolderPath(KnownFolder::ProgramFiles) + L"\\TorvexTests\\" + nvapi;
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);  // outlives the module, which keeps NVAPI loaded
    ASSERT_TRUE(adapter.PlaceNvapiCopy(trusted));
    adapter.Register(L"UserModeDriverName", {L"nvldumd.dll", trusted});
    TorvexBench_LoadDefaultScenario();
    LoadedModule module;

    EXPECT_TRUE(EqualIgnoringCase(trusted, LoadedModulePath(nvapi.c_str())))
        << ::testing::PrintToString(LoadedModulePath(nvapi.c_str()));
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads")) << "the system directory's copy stays unloaded";
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));
}
