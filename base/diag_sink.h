// Where a formatted diagnostic line goes: the debugger output on Windows; a buffer that tests can
// read in the native build.
#pragma once

#include <string>

void WriteDebugLine(const wchar_t* line);

#ifndef _WIN32
// Native build only: everything written since the last call, and clears it.
std::wstring TakeDebugOutput();
#endif
