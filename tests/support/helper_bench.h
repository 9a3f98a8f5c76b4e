// One test's helper process under Wine: a folder laid out as the host application's, with the
// bench's stand-in in LIB\x86_lib and/or LIB\x64_lib (and, when the test gives the machine a
// sensor SDK, the SDK's stand-in beside it), made the current directory; a scenario file named by
// TORVEX_BENCH_SCENARIO (helpers inherit it) whose helper section the test gives; and the helpers'
// common log.
//
// The module's own launches only log themselves ("launches": "log-only"): a helper the test starts
// with Serve() answers instead, ready before the module asks, so that no test depends on how long
// Wine takes to start a process (often longer than the module's 100 ms pause on this machine).
// Tests that use the helper pipe take turns, since the pipe's name is the same for all of them,
// and every helper a test started ends with it.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/win32_handles.h"
#include "debug_capture.h"
#include "helper_host.h"
#include "loaded_module.h"
#include "pipe_turn.h"
#include "test_values.h"

using bench::HelperBuild;

class HelperBench {
public:
    // Waits for the turn, lays the folder out with the `installed` builds and loads the scenario
    // into this process's bench: `helper` gives the members of its helper section (such as
    // R"("x86": {"device": false})"), `gpus` its GPU list and `sdk`, when not empty, its
    // "cpuidsdk" section (an object).
    explicit HelperBench(const std::string& helper,
                         const std::vector<HelperBuild>& installed = {HelperBuild::X86, HelperBuild::X64},
                         const std::string& gpus = "", const std::string& sdk = "");
    ~HelperBench();
    HelperBench(const HelperBench&) = delete;
    HelperBench& operator=(const HelperBench&) = delete;

    // Replaces the helper section's members; helpers started from now on answer by it.
    void SetHelper(const std::string& members);
    // Starts a helper serving as `builds` ("x86", "x86,x64") and returns once its pipe exists.
    void Serve(const char* builds);
    // Ends the helpers Serve() started, without a word to the module, which still takes the helper
    // it launched for running.
    void EndServing();

    // What the helpers logged, in order, without process ids: "x86 request c", "x86 leave", ...
    Strings Events() const;
    // The requests among them: "x86 c", "x64 x", ...
    Strings Requests() const;
    // The builds the module launched, sorted ("x64" before "x86"), once those launches have logged
    // themselves and left (as they do unless the scenario has them serve). A launched copy logs once
    // Wine has started it, which under load can be after the module went on to the next build, so
    // the order of asking is the order of Requests(). A launch that could not start the process is
    // not among them.
    Strings Launches() const;
    const bench::HelperFolder& Folder() const { return m_folder; }

private:
    void WriteScenario();

    PipeTurn m_turn;
    bench::HelperFolder m_folder;
    std::string m_gpus;
    std::string m_sdk;
    std::string m_helper;
    std::filesystem::path m_previousDirectory;
    std::vector<UniqueHandle> m_serving;
};


// What Check_QLXSW_Support answers and the flag it writes (0xEE when it writes none).
inline std::pair<int, int> Probe(const LoadedModule& module) {
    uint8_t supported = 0xEE;
    const int result = module->Check_QLXSW_Support(&supported);
    return {result, supported};
}
constexpr std::pair<int, int> kPresent{1, 1};

// Milliseconds the call took.
template <typename Call>
long long Elapsed(Call&& call) {
    const ULONGLONG start = GetTickCount64();
    call();
    return static_cast<long long>(GetTickCount64() - start);
}
