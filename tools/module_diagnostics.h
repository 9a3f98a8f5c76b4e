// Lets the program that loaded the module (a test, torvexctl) read the module's debugger-output
// lines without changing where the module sends them: OutputDebugString raises a debug-print
// exception that a vectored handler sees first.
#pragma once

#include <string>
#include <vector>

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Everything captured so far, as one text.
    std::wstring Text() const;
    // Captured text split at line ends ("\n"; a preceding "\r" is dropped).
    std::vector<std::wstring> Lines() const;
    bool Contains(const std::wstring& piece) const;
    void Clear();
};
