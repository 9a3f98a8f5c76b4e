// torvexctl doctor as a user runs it for a bug report: the road the module's driver search takes
// to nvapi.dll, and where the module's start-up took each vendor library from. The cases with an
// NVIDIA adapter in the prefix's registry change what every module of the prefix would load, so
// these tests run alone.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "gpu/driver_system_win32.h"
#include "module_exports.h"
#include "nvidia_adapter_registration.h"
#include "program_run.h"
#include "windows_build_setting.h"

using nlohmann::json;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The nvapi.dll entry of `torvexctl doctor --json` on the static board's machine.
json DoctorNvapi() {
    const ProgramRun run = Torvexctl("static_board.json", {"doctor", "--json"});
    EXPECT_EQ(0u, run.code) << run.err;
    const json doc = json::parse(run.out);
    EXPECT_EQ("nvapi.dll", doc["libraries"][0]["name"]);
    return doc["libraries"][0];
}

std::string TrustedCopy() {
    return ToUtf8(Win32DriverSystem().FolderPath(KnownFolder::ProgramFiles)) + "\\TorvexTests\\nvapi.dll";
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
    EXPECT_EQ(false, nvapi["searched"]);
    EXPECT_TRUE(nvapi["registrations"].is_null());
    EXPECT_EQ("system directory", nvapi["road"]);
    EXPECT_EQ(Lower(ToUtf8(Win32DriverSystem().SystemDirectory() + L"\\nvapi.dll")), Lower(nvapi["path"]));
    EXPECT_EQ(Lower(nvapi["path"]), Lower(nvapi["loaded_from"]));
    EXPECT_EQ(true, nvapi["loaded_as_searched"]);
    EXPECT_EQ(0, nvapi["error"]);
    // An NVIDIA machine: the module's start-up never asked for the AMD libraries.
    EXPECT_EQ("atiadlxy.dll", doc["libraries"][1]["name"]);
    EXPECT_TRUE(doc["libraries"][1]["loaded_from"].is_null());
    EXPECT_EQ("amdadlx32.dll", doc["libraries"][2]["name"]);

    // Without the module the search is still reported, and the exit code says what is missing.
    const ProgramRun noModule =
        Torvexctl("static_board.json", {"doctor", "--module", "C:\\windows\\system32\\kernel32.dll"});
    EXPECT_EQ(2u, noModule.code);
    EXPECT_NE(std::string::npos, noModule.out.find("road:             system directory")) << noModule.out;
    EXPECT_NE(std::string::npos, noModule.out.find("loaded from:      not loaded by the module")) << noModule.out;
    EXPECT_NE(std::string::npos, noModule.err.find("does not export")) << noModule.err;
}

TEST(TorvexctlDoctor, ShowsTheRegisteredFileTheModuleLoaded) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(FromUtf8(TrustedCopy())));
    adapter.Register(L"UserModeDriverName", {L"nvldumd.dll", FromUtf8(TrustedCopy())});

    const json nvapi = DoctorNvapi();
    EXPECT_EQ(true, nvapi["searched"]);
    const json& registrations = nvapi["registrations"];
    EXPECT_EQ("found", registrations["outcome"]);
    EXPECT_NE(std::string::npos, Lower(registrations["adapter"]).find("ven_10de")) << registrations["adapter"];
    EXPECT_EQ("driver key values", registrations["place"]);
    EXPECT_EQ(TrustedCopy(), registrations["entry"]);
    EXPECT_EQ("registration", nvapi["road"]);
    EXPECT_EQ(Lower(TrustedCopy()), Lower(nvapi["path"]));
    EXPECT_EQ(Lower(TrustedCopy()), Lower(nvapi["loaded_from"]));
    EXPECT_EQ(true, nvapi["loaded_as_searched"]);
    EXPECT_EQ(0, nvapi["error"]);
}

TEST(TorvexctlDoctor, ShowsWhyAPlantedFileWasRefused) {
    WindowsBuildSetting build;
    ASSERT_EQ(ERROR_SUCCESS, build.Write(L"19045"));
    NvidiaAdapterRegistration adapter(build);
    ASSERT_TRUE(adapter.PlaceNvapiCopy(L"C:\\TorvexPlanted\\nvapi.dll"));
    adapter.Register(L"UserModeDriverName", {L"C:\\TorvexPlanted\\nvapi.dll"});

    const json nvapi = DoctorNvapi();
    EXPECT_EQ("registration", nvapi["road"]);
    EXPECT_EQ("C:\\TorvexPlanted\\nvapi.dll", nvapi["path"]);
    EXPECT_EQ(161, nvapi["error"]);
    EXPECT_TRUE(nvapi["loaded_from"].is_null());
    EXPECT_FALSE(nvapi["trusted_folders"].empty());

    const ProgramRun text = Torvexctl("static_board.json", {"doctor"});
    EXPECT_EQ(0u, text.code) << text.err;
    EXPECT_NE(std::string::npos, text.out.find("refused:          161, the path lies outside the trusted folders\n"
                                               "  loaded from:      not loaded by the module\n"))
        << text.out;
}
