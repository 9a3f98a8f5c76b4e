#include "module_diagnostics.h"

#include <windows.h>

#include <mutex>

namespace {

constexpr DWORD kDebugPrintWide = 0x4001000A;  // DBG_PRINTEXCEPTION_WIDE_C
constexpr DWORD kDebugPrintNarrow = 0x40010006;  // DBG_PRINTEXCEPTION_C

std::mutex g_lock;
std::wstring g_text;
int g_captures = 0;
PVOID g_handler = nullptr;

LONG CALLBACK OnDebugPrint(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* rec = info->ExceptionRecord;
    if (rec->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    if (rec->ExceptionCode == kDebugPrintWide) {
        std::lock_guard<std::mutex> hold(g_lock);
        g_text += reinterpret_cast<const wchar_t*>(rec->ExceptionInformation[1]);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    if (rec->ExceptionCode == kDebugPrintNarrow) {
        std::lock_guard<std::mutex> hold(g_lock);
        for (auto* p = reinterpret_cast<const unsigned char*>(rec->ExceptionInformation[1]); *p; ++p) g_text += *p;
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (g_captures++ == 0) {
        g_text.clear();
        g_handler = AddVectoredExceptionHandler(1, OnDebugPrint);
    }
}

DebugOutputCapture::~DebugOutputCapture() {
    std::lock_guard<std::mutex> hold(g_lock);
    if (--g_captures == 0) {
        RemoveVectoredExceptionHandler(g_handler);
        g_handler = nullptr;
    }
}

std::wstring DebugOutputCapture::Text() const {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_text;
}

std::vector<std::wstring> DebugOutputCapture::Lines() const {
    std::vector<std::wstring> lines;
    std::wstring text = Text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool DebugOutputCapture::Contains(const std::wstring& piece) const { return Text().find(piece) != std::wstring::npos; }

void DebugOutputCapture::Clear() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_text.clear();
}
