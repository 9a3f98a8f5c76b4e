// Runs a program to completion as a child process and collects what it wrote and its exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ProgramRun {
    DWORD exitCode = 0;
    std::string out;  // standard output, with "\r\n" turned into "\n"
    std::string err;  // standard error, likewise
    bool timedOut = false;
};

// The child inherits this process's environment; it is ended after timeoutMs.
ProgramRun RunProgram(const std::wstring& exe, const std::vector<std::string>& args, DWORD timeoutMs = 60000);
