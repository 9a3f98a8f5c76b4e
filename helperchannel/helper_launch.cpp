#include "helperchannel/helper_launch.h"

#include <windows.h>

#include "base/diag.h"
#include "base/win32_handles.h"

namespace {

// The current directory is read into a buffer of this many characters, terminator included.
constexpr DWORD kDirectoryBuffer = 256;

std::wstring Widen(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

}  // namespace

std::optional<std::string> HelperPath(const char* relative) {
    char directory[kDirectoryBuffer];
    const DWORD length = GetCurrentDirectoryA(kDirectoryBuffer, directory);
    // A longer directory gives the size it needs instead and leaves the buffer unfilled.
    if (length == 0 || length >= kDirectoryBuffer) {
        DebugPrint(L"Helper not launched: the current directory does not fit %lu characters\n",
                   static_cast<unsigned long>(kDirectoryBuffer - 1));
        return std::nullopt;
    }
    return std::string(directory, length) + "\\" + relative;
}

bool LaunchHelper(const std::string& path) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        const DWORD error = GetLastError();
        DebugPrint(L"Helper launch failed (error %lu): %ls\n", error, Widen(path).c_str());
        return false;
    }
    // Released in reverse order at the end: the thread handle first, then the process handle.
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    DebugPrint(L"Helper launch: %ls\n", Widen(path).c_str());
    Sleep(static_cast<DWORD>(kLaunchPause.count()));
    return true;
}
