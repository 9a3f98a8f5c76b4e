// torvexctl doctor as a user runs it for a bug report: the road the module's driver search takes
// to nvapi.dll, and where the module's start-up took each vendor library from. Which file the
// module loads on each road is the driver-loading tests' concern; these check what the doctor
// shows. The case with an NVIDIA adapter in the prefix's registry changes what every module of
// the prefix would load, so these tests run alone.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "module_exports.h"
#include "nvidia_adapter_registration.h"
#include "program_run.h"
#include "vendor/vendor_names.h"
#include "windows_build_setting.h"

using nlohmann::json;

namespace {

const vendor::LibraryNames& kNames = vendor::kLibraryNames;
// Where the test plants a copy of the bench's NVAPI library.
const std::string kPlanted = std::string("C:\\TorvexPlanted\\") + kNames.nvapi.narrow;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

}  // namespace

TEST(TorvexctlDoctor, BelowBuild14308ShowsTheSystemDirectoryTheModuleLoadedFrom) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"7601"));
    const ProgramRun run = Torvexctl("static_board.json", {"doctor", "--json"});
    ASSERT_EQ(0u, run.code) << run.err;
    const json doc = json::parse(run.out);
    EXPECT_EQ(7601, doc["windows"]["build"]);
    EXPECT_EQ(true, doc["windows"]["windows_7_or_later"]);
    const json& nvapi = doc["libraries"][0];
    EXPECT_EQ(kNames.nvapi.narrow, nvapi["name"]);
    EXPECT_EQ(false, nvapi["searched"]);
    EXPECT_TRUE(nvapi["registrations"].is_null());
    EXPECT_EQ("system directory", nvapi["road"]);
    EXPECT_TRUE(Contains(Lower(nvapi["path"]), std::string("\\system32\\") + kNames.nvapi.narrow));
    EXPECT_EQ(Lower(nvapi["path"]), Lower(nvapi["loaded_from"]));
    EXPECT_EQ(true, nvapi["loaded_as_searched"]);
    EXPECT_EQ(0, nvapi["error"]);
    // An NVIDIA machine: the module's start-up never asked for the AMD libraries.
    EXPECT_EQ(kNames.adl.narrow, doc["libraries"][1]["name"]);
    EXPECT_TRUE(doc["libraries"][1]["loaded_from"].is_null());
    EXPECT_EQ(kNames.adlx.narrow, doc["libraries"][2]["name"]);

    // Without the module the search is still reported, and the exit code says what is missing.
    const ProgramRun noModule =
        Torvexctl("static_board.json", {"doctor", "--module", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_EQ(2u, noModule.code);
    EXPECT_TRUE(Contains(noModule.out, "road:             system directory"));
    EXPECT_TRUE(Contains(noModule.out, "loaded from:      not loaded by the module"));
    EXPECT_TRUE(Contains(noModule.err, "does not export"));
}

TEST(TorvexctlDoctor, ShowsTheRegistrationFoundAndWhyItsFileWasRefused) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(FromUtf8(kPlanted)));
    adapter.Register(L"UserModeDriverName", {L"nvldumd.dll", FromUtf8(kPlanted)});

    const ProgramRun run = Torvexctl("static_board.json", {"doctor", "--json"});
    ASSERT_EQ(0u, run.code) << run.err;
    const json nvapi = json::parse(run.out)["libraries"][0];
    EXPECT_EQ(true, nvapi["searched"]);
    const json& registrations = nvapi["registrations"];
    EXPECT_EQ("found", registrations["outcome"]);
    EXPECT_TRUE(Contains(Lower(registrations["adapter"]), "ven_10de"));
    EXPECT_EQ("driver key values", registrations["place"]);
    EXPECT_EQ(kPlanted, registrations["entry"]);
    EXPECT_EQ("registration", nvapi["road"]);
    EXPECT_EQ(kPlanted, nvapi["path"]);
    EXPECT_EQ(161, nvapi["error"]);
    EXPECT_TRUE(nvapi["loaded_from"].is_null());
    EXPECT_FALSE(nvapi["trusted_folders"].empty());

    const ProgramRun text = Torvexctl("static_board.json", {"doctor"});
    EXPECT_EQ(0u, text.code) << text.err;
    EXPECT_TRUE(Contains(text.out, "refused:          161, the path lies outside the trusted folders\n"
                                   "  loaded from:      not loaded by the module\n"));
}
