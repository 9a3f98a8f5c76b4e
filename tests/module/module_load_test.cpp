// Loading and unloading the real DLL.
#include <gtest/gtest.h>

#include "loaded_module.h"

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
