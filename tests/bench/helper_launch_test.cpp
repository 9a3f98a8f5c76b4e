// The bench's helper as the module launches it, without arguments: it serves as the build its
// folder names, unless another helper serves already or the scenario marks its build not installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "helper_bench.h"
#include "loaded_module.h"

namespace {

// Starts the helper of `build` the way the module does, without arguments.
UniqueHandle Launch(const HelperBench& bench, HelperBuild build) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const std::string exe = bench.Folder().HelperOf(build);
    EXPECT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

// Waits (bounded) until the helpers' log holds `event`.
bool Logged(const HelperBench& bench, const std::string& event) {
    for (int waited = 0; waited < 30000; waited += 20) {
        for (const std::string& e : bench.Events())
            if (e == event) return true;
        Sleep(20);
    }
    return false;
}

TEST(HelperProcess, ALaunchedCopyServesAsItsFoldersBuildUnlessAnotherServesAlready) {
    HelperBench bench(R"("launches": "serve", "x64": {"check": "from x64"})");
    LoadedModule module;
    bench.Serve("x86");
    const UniqueHandle second = Launch(bench, HelperBuild::X64);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(second.get(), 30000));
    EXPECT_EQ(Strings({"x86 serve", "x64 launch pipe-taken"}), bench.Events());

    // Once the pipe is free, a launched copy serves, here as the 64-bit build.
    module->Exit_KIVO();
    const UniqueHandle copy = Launch(bench, HelperBuild::X64);
    ASSERT_TRUE(Logged(bench, "x64 launch serving"));
    uint8_t supported = 0;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(copy.get(), 30000));
    const Strings requests = bench.Requests();
    ASSERT_GE(requests.size(), 3u);
    // The copy answered the probe's first "c" and ended on its "x".
    EXPECT_EQ(Strings({"x64 c", "x64 x"}), Strings(requests.begin() + 1, requests.begin() + 3));
}

// A build marked not installed leaves at once when launched, so its exchanges find no pipe.
TEST(HelperProcess, ABuildMarkedNotInstalledLeavesAtOnce) {
    HelperBench bench(R"("launches": "serve", "x86": {"installed": false})", {HelperBuild::X86});
    LoadedModule module;
    uint8_t supported = 0;
    EXPECT_EQ(1, module->Check_QLXSW_Support(&supported));
    ASSERT_TRUE(Logged(bench, "x86 launch not-installed"));
    EXPECT_EQ(Strings({"x86 launch not-installed"}), bench.Events());
}

}  // namespace
