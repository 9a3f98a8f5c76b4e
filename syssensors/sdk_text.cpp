#include "syssensors/sdk_text.h"

#include <oleauto.h>

#include "syssensors/sensor_reading.h"

size_t TakeSdkText(cpuidsdk::SdkString text, char* out, size_t capacity) {
    if (!text) return CopyBoundedText(nullptr, 0, out, capacity);
    const size_t copied = CopyBoundedText(reinterpret_cast<const char*>(text), SysStringByteLen(text), out, capacity);
    SysFreeString(text);
    return copied;
}

std::u16string AnsiToUtf16(const char* text, DWORD flags) {
    // The SDK's texts are at most 511 bytes, and no byte makes more than one UTF-16 unit.
    wchar_t wide[512];
    const int n = MultiByteToWideChar(CP_ACP, flags, text, -1, wide, 512);
    if (n <= 1) return {};
    return std::u16string(wide, wide + n - 1);
}

void Utf16ToAnsi(const wchar_t* text, char (&out)[512]) {
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof(out), nullptr, nullptr) == 0) out[0] = '\0';
}
