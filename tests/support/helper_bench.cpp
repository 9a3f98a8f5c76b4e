#include "helper_bench.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>

#include "TorvexBench.h"
#include "vendor/halvane_pipe.h"
#include "vendor/vendor_names.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr DWORD kHelperStartLimitMs = 30000;
constexpr int kLeftoverWaitMs = 10000;

bool PipeExists() { return WaitNamedPipeA(halvane::kPipeName, 1) || GetLastError() != ERROR_FILE_NOT_FOUND; }

// The helpers this process started that still run, but for those in `except`.
std::vector<DWORD> RunningHelpers(const std::vector<UniqueHandle>& except) {
    std::vector<DWORD> ids;
    const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const DWORD id = entry.th32ProcessID;
        if (entry.th32ParentProcessID != GetCurrentProcessId() || _wcsicmp(entry.szExeFile, L"Halvane.exe") != 0 ||
            std::any_of(except.begin(), except.end(), [id](const UniqueHandle& h) { return GetProcessId(h.get()) == id; })) {
            continue;
        }
        ids.push_back(id);
    }
    return ids;
}

// Ends the helpers this process launched that still run, the module's own launches among them: a
// test program runs all its tests in one process, and a helper left serving the pipe would answer
// the next test that takes the pipe's turn, in this program or another.
void EndLaunchedHelpers() {
    for (DWORD id : RunningHelpers({})) {
        const UniqueHandle helper(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!helper) continue;
        TerminateProcess(helper.get(), 0);
        WaitForSingleObject(helper.get(), 5000);
    }
}

}  // namespace

HelperBench::HelperBench(const std::string& helper, const std::vector<HelperBuild>& installed,
                         const std::string& gpus, const std::string& sdk)
    : m_folder(TORVEX_BENCH_BIN "/Halvane.exe", installed),
      m_gpus(gpus),
      m_sdk(sdk),
      m_helper(helper),
      m_previousDirectory(std::filesystem::current_path()) {
    // Helpers the module launches end with the test, even one cut short.
    bench::EndChildrenWithThisProcess();
    EXPECT_TRUE(m_folder.Ready()) << "cannot lay out " << m_folder.Root();
    for (int waited = 0; PipeExists() && waited < kLeftoverWaitMs; waited += 50) Sleep(50);
    EXPECT_FALSE(PipeExists()) << "a helper of an earlier test still serves the pipe";
    // The module looks for the SDK first in the current directory.
    if (!m_sdk.empty()) {
        const std::string sdk = vendor::kLibraryNames.cpuidSdk.narrow;
        EXPECT_TRUE(CopyFileA((TORVEX_BENCH_BIN "/" + sdk).c_str(), m_folder.PathOf(sdk).c_str(), FALSE));
    }
    SetCurrentDirectoryA(m_folder.Root().c_str());
    WriteScenario();
    SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", m_folder.PathOf("scenario.json").c_str());
    EXPECT_EQ(0, TorvexBench_LoadScenarioFile(m_folder.PathOf("scenario.json").c_str())) << TorvexBench_LastError();
}

HelperBench::~HelperBench() {
    EndServing();
    EndLaunchedHelpers();
    SetCurrentDirectoryW(m_previousDirectory.c_str());
    SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", nullptr);
    // The module keeps a started SDK to the end; the folder can go once the stand-in is unloaded.
    while (HMODULE sdk = GetModuleHandleW(vendor::kLibraryNames.cpuidSdk.wide)) FreeLibrary(sdk);
}

void HelperBench::SetHelper(const std::string& members) {
    m_helper = members;
    WriteScenario();
}

void HelperBench::WriteScenario() {
    Json helper = Json::parse("{" + m_helper + "}");
    helper["log"] = m_folder.PathOf("helper.log");
    if (!helper.contains("launches")) helper["launches"] = "log-only";
    Json scenario = {{"helper", helper}, {"gpus", Json::parse("[" + m_gpus + "]")}};
    if (!m_sdk.empty()) scenario["cpuidsdk"] = Json::parse(m_sdk);
    std::ofstream(m_folder.PathOf("scenario.json"), std::ios::binary) << scenario.dump(2);
}

void HelperBench::Serve(const char* builds) {
    const std::string exe = m_folder.HelperOf(std::string(builds).rfind("x64", 0) == 0 ? HelperBuild::X64 : HelperBuild::X86);
    UniqueHandle helper = bench::StartServingHelper(exe, builds, std::chrono::milliseconds(kHelperStartLimitMs));
    ASSERT_TRUE(helper) << "the helper serving as " << builds << " did not create its pipe within "
                        << kHelperStartLimitMs << " ms";
    m_serving.push_back(std::move(helper));
}

void HelperBench::EndServing() {
    for (const UniqueHandle& helper : m_serving) {
        TerminateProcess(helper.get(), 0);
        WaitForSingleObject(helper.get(), 5000);
    }
    m_serving.clear();
}

Strings HelperBench::Events() const {
    std::ifstream log(m_folder.PathOf("helper.log"), std::ios::binary);
    Strings events;
    for (std::string line; std::getline(log, line);) events.push_back(line.substr(line.find(' ') + 1));
    return events;
}

Strings HelperBench::Requests() const {
    Strings requests;
    for (const std::string& event : Events()) {
        const size_t at = event.find(" request ");
        if (at != std::string::npos) requests.push_back(event.substr(0, at) + " " + event.substr(at + 9));
    }
    return requests;
}

Strings HelperBench::Launches() const {
    for (DWORD waited = 0; !RunningHelpers(m_serving).empty() && waited < kHelperStartLimitMs; waited += 20) Sleep(20);
    Strings launches;
    for (const std::string& event : Events()) {
        const size_t at = event.find(" launch");
        if (at != std::string::npos) launches.push_back(event.substr(0, at));
    }
    std::sort(launches.begin(), launches.end());
    return launches;
}
