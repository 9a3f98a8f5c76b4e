// torvexctl qlxsw as a user runs it from the host application's folder: a separate process under
// Wine, whose module questions the bench's helper.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "helper_bench.h"
#include "loaded_module.h"

namespace {

using nlohmann::json;

struct ProgramRun {
    DWORD code = ~0u;
    std::string out;
};

// torvexctl.exe with `args`, in the current directory, its standard output through a file of its
// own.
ProgramRun Torvexctl(const HelperBench& bench, const std::string& args) {
    static int runs = 0;
    const std::string outPath = bench.Folder().PathOf("torvexctl-" + std::to_string(++runs) + ".out");
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    UniqueFileHandle out(CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(out) << outPath << ", error " << GetLastError();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out.get();
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::wstring commandLine = L"\"" + BesideTestProgram(L"torvexctl.exe") + L"\" " + FromUtf8(args);
    PROCESS_INFORMATION process{};
    ProgramRun run;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start torvexctl.exe, error " << GetLastError();
        return run;
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.code);
    out.reset();
    std::ostringstream text;
    text << std::ifstream(outPath, std::ios::binary).rdbuf();
    run.out = text.str();
    return run;
}

TEST(TorvexctlQlxsw, ShowsPresenceTheBuildThatAnsweredAndTheReadingsThenReleasesTheHelper) {
    HelperBench bench(R"("x86": {"device": false}, "lively": false,
        "groups": [{"low": 1, "high": 1, "readings": [5000, 65535, 250]}])");
    // One helper answers the probe as the 32-bit build, then as the 64-bit one, then the query.
    bench.Serve("x86,x64,x64");
    const ProgramRun shown = Torvexctl(bench, "qlxsw --json --id 1 --id 2");
    ASSERT_EQ(0u, shown.code) << shown.out;
    EXPECT_EQ(json::parse(R"({"code": 1, "meaning": "a helper reported the device, or could not be reached",
        "present": true, "helper_build": "x64", "readings": [
        {"id": 1, "code": 1, "meaning": "ok", "unit": "device units", "values": [5.0, 0.0, 0.25], "total": 5.25,
         "over_limit": 0, "count": 3},
        {"id": 2, "code": -1, "meaning": "no group of the helper's list covers this key", "unit": "device units",
         "values": null, "total": null, "over_limit": null, "count": null}]})"),
              json::parse(shown.out)["qlxsw"])
        << shown.out;

    const ProgramRun released = Torvexctl(bench, "qlxsw --release");
    EXPECT_EQ(0u, released.code);
    EXPECT_EQ("helper released (Torvex_Api_Exit_KIVO 0)\n", std::regex_replace(released.out, std::regex("\r\n"), "\n"));
    EXPECT_EQ("x64 x", bench.Requests().back());
}

TEST(TorvexctlQlxsw, AnAbsentDeviceIsSaidAndEndsWithItsOwnExitCode) {
    HelperBench bench(R"("x86": {"device": false}, "x64": {"device": false})");
    bench.Serve("x86,x64");
    const ProgramRun run = Torvexctl(bench, "qlxsw");
    EXPECT_EQ(6u, run.code);
    EXPECT_NE(std::string::npos,
              run.out.find("absent (-1: both helper builds reported the device absent), helper build unknown"))
        << run.out;
    EXPECT_NE(std::string::npos, run.out.find("n/a (-4: no presence check has found the device yet)")) << run.out;
}

}  // namespace
