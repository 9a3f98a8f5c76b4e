// Loading and unloading the real DLL, and the exports whose subsystems are not built yet.
#include <gtest/gtest.h>

#include "loaded_module.h"

TEST(ModuleLoad, PendingExportsAnswerMinusOneAndWriteNothing) {
    LoadedModule module;
    EXPECT_EQ(-1, module->GetSystermSensorInfo(0));
    EXPECT_EQ(-1, module->Get_Systerm_Sensor_Count());
    int32_t count = 77;
    SensorRecord* records = nullptr;
    EXPECT_EQ(-1, module->Get_Sensor_RealTime_Data(&count, &records));
    EXPECT_EQ(-1, module->Set_Sensor_Status(&count, nullptr));
    EXPECT_EQ(77, count);
}

TEST(ModuleLoad, LoadsAndUnloadsTwiceInOneProcess) {
    // The second load starts from fresh module-wide objects: the board is found and probed again.
    for (int i = 0; i < 2; ++i) {
        LoadedModule module;
        FunctionSupport support{};
        EXPECT_EQ(0, module->Check_Function_Support(-1, &support)) << "load " << i;
        EXPECT_EQ(0x0520u, support.nVersion) << "load " << i;
        module.Unload();
    }
}
