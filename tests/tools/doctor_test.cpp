// torvexctl doctor as a user runs it for a bug report: the road the module's driver search takes
// to nvapi.dll, and where the module's start-up took each vendor library from. Which file the
// module loads on each road is the driver-loading tests' concern; these check what the doctor
// shows. The case with an NVIDIA adapter in the prefix's registry changes what every module of
// the prefix would load, so these tests run alone.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "module_exports.h"
#include "nvidia_adapter_registration.h"
#include "program_run.h"
#include "vendor/vendor_names.h"
#include "windows_build_setting.h"

using nlohmann::json;

namespace {

// Where the test plants a copy of the bench's NVAPI library.
const std::string kPlanted = std::string("C:\\TorvexPlanted\\") + vendor::kLibraryNames.nvapi.narrow;

}  // namespace

TEST(TorvexctlDoctor, ShowsTheRegistrationFoundAndWhyItsFileWasRefused) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(FromUtf8(kPlanted)));
    adapter.Register(L"UserModeDriverName", {L"nvldumd.dll", FromUtf8(kPlanted)});

    const ProgramRun run = Torvexctl("static_board.json", {"doctor", "--json"});
    ASSERT_EQ(0u, run.code) << run.err;
    const json nvapi = json::parse(run.out)["libraries"][0];
    EXPECT_EQ(kPlanted, nvapi["registrations"]["entry"]);
    EXPECT_EQ("registration", nvapi["road"]);
    EXPECT_EQ(161, nvapi["error"]);
    EXPECT_TRUE(nvapi["loaded_from"].is_null());

    const ProgramRun text = Torvexctl("static_board.json", {"doctor"});
    EXPECT_EQ(0u, text.code) << text.err;
    EXPECT_TRUE(Contains(text.out, "refused:          161, the path lies outside the trusted folders\n"
                                   "  loaded from:      not loaded by the module\n"));

    // Without the module the search is still reported, and the exit code says what is missing.
    const ProgramRun noModule =
        Torvexctl("static_board.json", {"doctor", "--module", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_EQ(2u, noModule.code);
    EXPECT_TRUE(Contains(noModule.out, "road:             registration"));
    EXPECT_TRUE(Contains(noModule.err, "does not export"));
}
