#include "helperchannel/helper_channel.h"

#include <atomic>
#include <mutex>
#include <string>

#include "base/diag.h"
#include "helperchannel/helper_launch.h"
#include "helperchannel/pipe_exchange.h"
#include "helperchannel/reading_list.h"
#include "vendor/halvane_pipe.h"

namespace {

// Held for each whole operation, so that two threads never interleave their exchanges or see the
// build and the launch flag half-changed.
std::mutex g_helperLock;
// The build that reported the device: "x86", "x64" or "unknown". Guarded by g_helperLock.
std::string g_strHelperArch = "unknown";
// Whether a reading query has launched the helper since the last release.
std::atomic<bool> g_bHelperRunning{false};

// Launches the build at the relative path; a helper that cannot be started is noticed only by the
// exchanges that follow.
void LaunchBuild(const char* relativePath) {
    if (const std::optional<std::string> path = HelperPath(relativePath)) LaunchHelper(*path);
}

bool ReportsAbsent(const std::string& answer) { return answer.find(halvane::kAbsentMarker) != std::string::npos; }

}  // namespace

int ProbeQLXSW() {
    const std::lock_guard<std::mutex> hold(g_helperLock);
    LaunchBuild(halvane::kX86RelativePath);
    const std::string first = PipeTransact(halvane::kRequestCheck);
    PipeTransact(halvane::kRequestExit);
    int present = 1;
    if (ReportsAbsent(first)) {
        LaunchBuild(halvane::kX64RelativePath);
        const bool reported = !ReportsAbsent(PipeTransact(halvane::kRequestCheck));
        g_strHelperArch = reported ? "x64" : "unknown";
        PipeTransact(halvane::kRequestExit);
        present = reported ? 1 : 0;
    } else {
        g_strHelperArch = "x86";
    }
    const std::wstring build(g_strHelperArch.begin(), g_strHelperArch.end());
    DebugPrint(L"QLXSW probe: device %ls, helper build %ls\n", present ? L"present" : L"absent", build.c_str());
    return present;
}

std::vector<int32_t> QueryQLXSWReadings() {
    std::string answer = "0";
    {
        const std::lock_guard<std::mutex> hold(g_helperLock);
        const char* build = g_strHelperArch.find("x86") != std::string::npos   ? halvane::kX86RelativePath
                            : g_strHelperArch.find("x64") != std::string::npos ? halvane::kX64RelativePath
                                                                                : nullptr;
        if (build) {
            if (!g_bHelperRunning) {
                LaunchBuild(build);
                g_bHelperRunning = true;
            }
            answer = PipeTransact(halvane::kRequestReadings);
        }
    }
    return ParseReadingList(answer);
}

void ReleaseHelper() {
    const std::lock_guard<std::mutex> hold(g_helperLock);
    g_bHelperRunning = false;
    PipeTransact(halvane::kRequestExit);
}
