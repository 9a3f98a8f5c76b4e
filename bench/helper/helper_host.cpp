#include "helper_host.h"

#include <windows.h>

#include <filesystem>
#include <system_error>

#include "vendor/halvane_pipe.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

std::string RelativePath(HelperBuild build) {
    // The module's relative paths begin with a separator.
    return (build == HelperBuild::X86 ? halvane::kX86RelativePath : halvane::kX64RelativePath) + 1;
}

}  // namespace

HelperFolder::HelperFolder(const std::string& standIn, const std::vector<HelperBuild>& builds) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned serial = 0;
    m_root = fs::path(temp).append("torvex-helper-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++serial)).string();
    std::error_code error;
    fs::remove_all(m_root, error);
    fs::create_directories(m_root, error);
    m_ready = !error;
    for (HelperBuild build : builds) {
        const fs::path exe = HelperOf(build);
        fs::create_directories(exe.parent_path(), error);
        m_ready = m_ready && !error && fs::copy_file(standIn, exe, error) && !error;
    }
}

HelperFolder::~HelperFolder() {
    // With the long-path prefix, so that deep folders a test made inside go too.
    std::error_code ignored;
    fs::remove_all("\\\\?\\" + m_root, ignored);
}

std::string HelperFolder::HelperOf(HelperBuild build) const { return PathOf(RelativePath(build)); }

void EndChildrenWithThisProcess() {
    // The job's handle stays open until the process has ended: closing it earlier would end this
    // process too, in the middle of whatever it does.
    static const HANDLE job = [] {
        const HANDLE created = CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        AssignProcessToJobObject(created, GetCurrentProcess());
        return created;
    }();
    (void)job;
}

UniqueHandle StartServingHelper(const std::string& exe, const std::string& builds, std::chrono::milliseconds limit) {
    const std::string eventName = "Local\\TorvexBench.HelperReady." + std::to_string(GetCurrentProcessId()) + "." +
                                  std::to_string(GetTickCount64());
    const UniqueHandle named(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    std::string commandLine = "\"" + exe + "\" --serve " + builds + " --ready " + eventName;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!named || !CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process))
        return UniqueHandle();
    UniqueHandle helper(process.hProcess);
    const UniqueHandle thread(process.hThread);
    // Ready, or ended before it got there.
    const HANDLE waits[] = {named.get(), helper.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
        TerminateProcess(helper.get(), 1);
        return UniqueHandle();
    }
    return helper;
}

}  // namespace bench
