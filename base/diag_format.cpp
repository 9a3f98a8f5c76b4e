#include "base/diag.h"

#include <cstdio>
#include <cwchar>
#include <vector>

#include "base/diag_sink.h"

void DebugPrintV(const wchar_t* format, va_list args) {
    // Diagnostics are short; a line that does not fit in the first buffer is formatted again into
    // one that does.
    wchar_t small[512];
    va_list copy;
    va_copy(copy, args);
    int n = std::vswprintf(small, sizeof(small) / sizeof(small[0]), format, copy);
    va_end(copy);
    if (n >= 0) {
        WriteDebugLine(small);
        return;
    }
    for (size_t size = 2048; size <= (1u << 20); size *= 4) {
        std::vector<wchar_t> big(size);
        va_copy(copy, args);
        n = std::vswprintf(big.data(), big.size(), format, copy);
        va_end(copy);
        if (n >= 0) {
            WriteDebugLine(big.data());
            return;
        }
    }
}

void DebugPrint(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    DebugPrintV(format, args);
    va_end(args);
}

void StdoutPrint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}
