// Loading and unloading the real DLL, and the exports whose subsystems are not built yet.
#include <gtest/gtest.h>

#include "loaded_module.h"

TEST(ModuleLoad, PendingExportsAnswerMinusOneAndWriteNothing) {
    LoadedModule module;
    uint8_t supported = 0xAA;
    EXPECT_EQ(-1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(0xAA, supported);
    EXPECT_EQ(-1, module->Exit_KIVO());
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
