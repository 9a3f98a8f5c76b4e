// The real DLL's start-up on whole machines: which vendor path it takes, which boards it lists
// under which GPU identifiers, and that unloading lets go of every vendor reference and lets the
// module load afresh.
#include <gtest/gtest.h>

#include "TorvexBench.h"
#include "bus_list_setting.h"
#include "debug_capture.h"
#include "loaded_module.h"

namespace {

::testing::AssertionResult Loaded(const char* json) {
    if (TorvexBench_LoadScenarioText(json) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << TorvexBench_LastError();
}

// The firmware version the board addressed by this identifier reports.
uint32_t FirmwareOf(const LoadedModule& module, int gpuId) {
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(gpuId, &support)) << "GPU id " << gpuId;
    return support.nVersion;
}

}  // namespace

TEST(ModuleStartup, DefaultBoardIsListedThroughNvapiAloneUnderItsBusNumber) {
    TorvexBench_LoadDefaultScenario();
    DebugOutputCapture debug;
    LoadedModule module;
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.initialize"));
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.enum"));
    EXPECT_EQ(0, TorvexBench_Counter("atiadlxy.loads") + TorvexBench_Counter("amdadlx32.loads"));
    EXPECT_FALSE(debug.Contains(L"initial fail"));

    EXPECT_EQ(0x0520u, FirmwareOf(module, 1));
}

TEST(ModuleStartup, AmdMachineTakesItsBusNumbersFromTheRegistryList) {
    BusListSetting setting;
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(L"C0-Bus-07-Dev-1234_C1-Bus-0A-Dev-5678"));
    ASSERT_TRUE(Loaded(R"({
      "adlx": {"mapping": false},
      "gpus": [
        {"vendor": "amd", "bus": 3, "devices": {"0x56": {"preset": "controller-v2"}}},
        {"vendor": "amd", "bus": 4, "devices": {"0x56": {"preset": "controller-v2",
                                                          "registers": {"0x1E": "0x11"}}}}]})"));
    DebugOutputCapture debug;
    LoadedModule module;

    EXPECT_EQ(1, TorvexBench_Counter("atiadlxy.loads"));
    EXPECT_TRUE(debug.Contains(L"GPU i2c_B initial fail!\nPlease check NV driver!\n"));
    EXPECT_TRUE(debug.Contains(L"adlMapping is nullptr: 1."));
    // The registry's buses, 7 and 10, name the boards; the bench's own bus numbers are unknown to
    // a module without the mapping.
    EXPECT_EQ(0x0520u, FirmwareOf(module, 7));
    EXPECT_EQ(0x0511u, FirmwareOf(module, 10));
}

// The second load in the process starts from fresh module-wide objects: the boards are found and
// probed again.
TEST(ModuleStartup, UnloadingReleasesEveryAdlxReferenceAndTheModuleLoadsAgain) {
    ASSERT_TRUE(Loaded(R"({
      "gpus": [
        {"vendor": "amd", "bus": 3, "devices": {"0x56": {"preset": "controller-v2"}}},
        {"vendor": "amd", "bus": 5, "devices": {"0x56": {"preset": "controller-v2"}}}]})"));
    for (int i = 0; i < 2; ++i) {
        LoadedModule module;
        EXPECT_EQ(0x0520u, FirmwareOf(module, 5)) << "load " << i;
        EXPECT_GT(TorvexBench_Counter("adlx.refs"), 0);
        module.Unload();
        EXPECT_EQ(0, TorvexBench_Counter("adlx.refs")) << "load " << i;
    }
    EXPECT_EQ(0, TorvexBench_Counter("adlx.invalid_object"));
}
