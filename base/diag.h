// Diagnostics. Nothing reads them: wide lines go to the debugger output stream and a few narrow
// lines to the process's standard output. Format strings use printf conversions; pass wide text
// with %ls so the same string formats alike on every C runtime.
#pragma once

#include <cstdarg>

// Formats one wide line and writes it to the debugger output (OutputDebugStringW on Windows).
void DebugPrint(const wchar_t* format, ...);
void DebugPrintV(const wchar_t* format, va_list args);

// Formats one narrow line and writes it to standard output, flushed at once.
void StdoutPrint(const char* format, ...);
