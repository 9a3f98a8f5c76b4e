// Runs torvexctl (or any program) as a user runs it: a separate process under Wine, its standard
// output and error collected.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ProgramRun {
    DWORD code;
    std::string out, err;  // "\r\n" turned into "\n"
};

// Runs the program to its end. Standard error is read after standard output, so its few lines
// have to fit into the pipe's buffer meanwhile.
ProgramRun RunProgram(const std::wstring& exe, const std::vector<std::string>& args);

// bin/torvexctl.exe on the machine of the named scenario file beside the tests.
ProgramRun Torvexctl(const char* scenario, const std::vector<std::string>& args);
