#include "console.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

#include <chrono>
#include <thread>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

bool EnableAnsiConsole() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (out == INVALID_HANDLE_VALUE || !GetConsoleMode(out, &mode)) return false;
    return SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

void SleepSeconds(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

StdoutToStderr::StdoutToStderr() {
    std::fflush(stdout);
    m_savedFd = _dup(_fileno(stdout));
    if (m_savedFd != -1) _dup2(_fileno(stderr), _fileno(stdout));
    // A module with a C runtime of its own takes its standard output from the process handle.
    m_savedHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
}

StdoutToStderr::~StdoutToStderr() {
    std::fflush(stdout);
    SetStdHandle(STD_OUTPUT_HANDLE, m_savedHandle);
    if (m_savedFd != -1) {
        _dup2(m_savedFd, _fileno(stdout));
        _close(m_savedFd);
    }
}
