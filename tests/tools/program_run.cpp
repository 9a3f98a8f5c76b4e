#include "program_run.h"

#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "module_exports.h"
#include "pipe_turn.h"

namespace {

std::string LfLineEnds(const std::string& text) { return std::regex_replace(text, std::regex("\r\n"), "\n"); }

// Everything the child writes into one pipe, until it exits and the pipe closes.
std::string Drain(HANDLE read) {
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(read, buffer, sizeof(buffer), &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(read);
    return LfLineEnds(text);
}

}  // namespace

ProgramRun RunProgram(const std::wstring& exe, const std::vector<std::string>& args) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (const std::string& arg : args) commandLine += L" \"" + FromUtf8(arg) + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE out[2], err[2];  // read end, write end; only the write ends go to the child
    EXPECT_TRUE(CreatePipe(&out[0], &out[1], &inherit, 0) && CreatePipe(&err[0], &err[1], &inherit, 1 << 16));
    SetHandleInformation(out[0], HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(err[0], HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out[1];
    si.hStdError = err[1];
    PROCESS_INFORMATION pi{};
    const bool started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &si, &pi);
    EXPECT_TRUE(started) << "cannot start " << ToUtf8(exe) << ", error " << GetLastError();
    CloseHandle(out[1]);
    CloseHandle(err[1]);
    ProgramRun run{~0u, Drain(out[0]), Drain(err[0])};
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &run.code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    return run;
}

ProgramRun Torvexctl(const char* scenario, const std::vector<std::string>& args) {
    const std::wstring path = FromUtf8(TORVEX_TOOLS_TEST_DATA "/" + std::string(scenario));
    SetEnvironmentVariableW(L"TORVEX_BENCH_SCENARIO", *scenario ? path.c_str() : nullptr);
    const bool talksToHelper = !args.empty() && (args.front() == "sensors" || args.front() == "qlxsw");
    std::optional<PipeTurn> turn;
    if (talksToHelper) turn.emplace();
    return RunProgram(BesideRunningProgram(L"torvexctl.exe"), args);
}

std::string ReadTextFile(const std::wstring& path) {
    std::ostringstream text;
    text << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
    return LfLineEnds(text.str());
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    return ContainsInOrder(text, {part});
}

::testing::AssertionResult ContainsInOrder(const std::string& text, const std::vector<std::string>& parts) {
    size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(part, at);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "lacks " << ::testing::PrintToString(part) << " in:\n" << text;
        at += part.size();
    }
    return ::testing::AssertionSuccess();
}

std::string Flat(const std::string& text) { return std::regex_replace(text, std::regex("\\s+"), " "); }
