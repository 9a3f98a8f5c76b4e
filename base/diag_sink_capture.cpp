#include "base/diag_sink.h"

namespace {
std::wstring& Captured() {
    static std::wstring text;
    return text;
}
}  // namespace

void WriteDebugLine(const wchar_t* line) { Captured() += line; }

std::wstring TakeDebugOutput() {
    std::wstring out;
    out.swap(Captured());
    return out;
}
