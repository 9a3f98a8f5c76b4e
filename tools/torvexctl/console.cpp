#include "console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

HANDLE StdoutConsole() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode) ? out : nullptr;
}

// Every line filled with blanks up to `width` characters (longer lines stay as they are).
std::string PadLines(const std::string& text, size_t width) {
    std::string out;
    size_t lineStart = 0;
    for (char c : text) {
        if (c == '\n') {
            size_t length = out.size() - lineStart;
            if (length < width) out.append(width - length, ' ');
            out += c;
            lineStart = out.size();
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

FramePrinter::FramePrinter() {
    HANDLE console = StdoutConsole();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!console || !GetConsoleScreenBufferInfo(console, &info)) return;
    m_console = true;
    m_originX = info.srWindow.Left;
    m_originY = info.srWindow.Top;
    // The first frame replaces whatever the window showed.
    m_lastRow = info.srWindow.Bottom;
}

void FramePrinter::Show(const std::string& frame) {
    if (!m_console) {
        if (!m_first) std::fputs("\n", stdout);
        std::fputs(frame.c_str(), stdout);
        std::fflush(stdout);
        m_first = false;
        return;
    }
    // Each line is padded to the window's width so that it covers the previous frame's line
    // without a blank moment; rows the previous frame used beyond this one are blanked after.
    HANDLE console = StdoutConsole();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!console || !GetConsoleScreenBufferInfo(console, &info)) return;
    SetConsoleCursorPosition(console, COORD{m_originX, m_originY});
    std::fputs(PadLines(frame, static_cast<size_t>(info.srWindow.Right - m_originX)).c_str(), stdout);
    std::fflush(stdout);
    if (!GetConsoleScreenBufferInfo(console, &info)) return;
    COORD end = info.dwCursorPosition;
    if (m_lastRow >= end.Y) {
        DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(m_lastRow - end.Y + 1) - end.X;
        DWORD written = 0;
        FillConsoleOutputCharacterW(console, L' ', cells, end, &written);
    }
    m_lastRow = end.Y;
}

void SleepSeconds(double seconds) {
    if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string LocalTimeText() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond, t.wMilliseconds);
    return text;
}

Utf8Console::Utf8Console() : m_saved(GetConsoleOutputCP()) {
    if (m_saved) SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
    if (m_saved) SetConsoleOutputCP(m_saved);
}

StdoutDiverted::StdoutDiverted(Target target) {
    std::fflush(stdout);
    if (target == Target::Nowhere) m_nullFd = _open("NUL", _O_WRONLY);
    const int targetFd = target == Target::Nowhere ? m_nullFd : _fileno(stderr);
    m_savedFd = _dup(_fileno(stdout));
    if (m_savedFd != -1 && targetFd != -1) _dup2(targetFd, _fileno(stdout));
    // A module with a C runtime of its own takes its standard output from the process handle.
    m_savedHandle = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE targetHandle = target == Target::Nowhere
                                    ? (m_nullFd != -1 ? reinterpret_cast<HANDLE>(_get_osfhandle(m_nullFd)) : nullptr)
                                    : GetStdHandle(STD_ERROR_HANDLE);
    if (targetHandle) SetStdHandle(STD_OUTPUT_HANDLE, targetHandle);
}

StdoutDiverted::~StdoutDiverted() {
    std::fflush(stdout);
    SetStdHandle(STD_OUTPUT_HANDLE, m_savedHandle);
    if (m_savedFd != -1) {
        _dup2(m_savedFd, _fileno(stdout));
        _close(m_savedFd);
    }
    if (m_nullFd != -1) _close(m_nullFd);
}
