#include "run_program.h"

#include <thread>

#include "module_exports.h"
#include "win32_handles.h"

namespace {

struct Pipe {
    UniqueHandle read;
    UniqueHandle write;
};

Pipe InheritablePipe() {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
    Pipe p;
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (CreatePipe(&r, &w, &sa, 0)) {
        p.read.reset(r);
        p.write.reset(w);
        // Only the child's end may be inherited.
        SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0);
    }
    return p;
}

std::string ReadAll(HANDLE h) {
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &n, nullptr) && n > 0) text.append(buffer, n);
    std::string unix;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) unix += text[i];
    return unix;
}

}  // namespace

ProgramRun RunProgram(const std::wstring& exe, const std::vector<std::string>& args, DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (const std::string& arg : args) commandLine += L" \"" + FromUtf8(arg) + L"\"";

    Pipe out = InheritablePipe();
    Pipe err = InheritablePipe();
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out.write.get();
    si.hStdError = err.write.get();
    PROCESS_INFORMATION pi{};
    ProgramRun run;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        run.exitCode = static_cast<DWORD>(-1);
        run.err = "CreateProcessW failed, error " + std::to_string(GetLastError());
        return run;
    }
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    // The child holds its own copies now; closing ours lets the reads end when it exits.
    out.write.reset();
    err.write.reset();

    std::thread errReader([&] { run.err = ReadAll(err.read.get()); });
    std::thread outReader([&] { run.out = ReadAll(out.read.get()); });
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        run.timedOut = true;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), INFINITE);
    }
    outReader.join();
    errReader.join();
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}
