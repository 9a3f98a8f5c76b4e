#include "process_bench.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

namespace {

// Read from the process environment itself, so a variable set at run time counts as well.
// Unset or empty: the default machine.
std::optional<std::string> ScenarioPathFromEnvironment() {
    const char* const name = "TORVEX_BENCH_SCENARIO";
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed <= 1) return std::nullopt;
    std::string path(needed, '\0');
    path.resize(GetEnvironmentVariableA(name, path.data(), needed));
    return path;
}

std::atomic<int> g_readHoldMs{0};

void ReportToStderr(const std::string& message) {
    std::fputs(message.c_str(), stderr);
    std::fflush(stderr);
}

// The machine lives as long as the process. A caller that unloads a stand-in (as a failed vendor
// start-up does) must not unload the bench with it: the next stand-in would start a new machine,
// and report a bad scenario file a second time.
void StayLoaded() {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&StayLoaded), &self);
}

}  // namespace

bench::BenchService& ProcessBench() {
    static const bench::SteadyClock clock;
    static bench::BenchService service(clock, ScenarioPathFromEnvironment, ReportToStderr);
    static const bool pinned = (StayLoaded(), true);
    (void)pinned;
    return service;
}

void SetReadHoldMs(int milliseconds) { g_readHoldMs = milliseconds > 0 ? milliseconds : 0; }

int ReadHoldMs() { return g_readHoldMs; }

void HoldFor(int milliseconds) {
    if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}
