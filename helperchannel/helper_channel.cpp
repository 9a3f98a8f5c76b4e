#include "helperchannel/helper_channel.h"

#include <optional>

#include "base/diag.h"
#include "helperchannel/helper_launch.h"
#include "helperchannel/pipe_exchange.h"
#include "helperchannel/reading_list.h"
#include "vendor/halvane_pipe.h"

namespace {

// Launches the build at the relative path; a helper that cannot be started is noticed only by the
// exchanges that follow.
void LaunchBuild(const char* relativePath) {
    if (const std::optional<std::string> path = HelperPath(relativePath)) LaunchHelper(*path);
}

bool ReportsAbsent(const std::string& answer) { return answer.find(halvane::kAbsentMarker) != std::string::npos; }

}  // namespace

int HelperChannel::ProbeQLXSW() {
    LaunchBuild(halvane::kX86RelativePath);
    const std::string first = PipeTransact(halvane::kRequestCheck);
    PipeTransact(halvane::kRequestExit);
    int present = 1;
    if (ReportsAbsent(first)) {
        LaunchBuild(halvane::kX64RelativePath);
        const bool reported = !ReportsAbsent(PipeTransact(halvane::kRequestCheck));
        m_strHelperArch = reported ? "x64" : "unknown";
        PipeTransact(halvane::kRequestExit);
        present = reported ? 1 : 0;
    } else {
        m_strHelperArch = "x86";
    }
    const std::wstring build(m_strHelperArch.begin(), m_strHelperArch.end());
    DebugPrint(L"QLXSW probe: device %ls, helper build %ls\n", present ? L"present" : L"absent", build.c_str());
    return present;
}

std::vector<int32_t> HelperChannel::QueryQLXSWReadings() {
    std::string answer = "0";
    const char* build = m_strHelperArch.find("x86") != std::string::npos   ? halvane::kX86RelativePath
                        : m_strHelperArch.find("x64") != std::string::npos ? halvane::kX64RelativePath
                                                                            : nullptr;
    if (build) {
        if (!m_bHelperRunning) {
            LaunchBuild(build);
            m_bHelperRunning = true;
        }
        answer = PipeTransact(halvane::kRequestReadings);
    }
    return ParseReadingList(answer);
}

void HelperChannel::Release() {
    m_bHelperRunning = false;
    PipeTransact(halvane::kRequestExit);
}
