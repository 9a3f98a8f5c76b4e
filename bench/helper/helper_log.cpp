#include "helper_log.h"

#include <windows.h>

#include "helper_model.h"

HelperLog::HelperLog(const std::string& path) {
    if (path.empty()) return;
    // Append-only access: every copy's lines land whole at the end, however the copies interleave.
    m_file.reset(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void HelperLog::Write(bench::HelperBuild build, const std::string& event) {
    if (!m_file) return;
    const std::string line =
        std::to_string(GetCurrentProcessId()) + " " + bench::BuildName(build) + " " + event + "\n";
    DWORD written = 0;
    WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
