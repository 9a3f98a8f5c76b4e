#include "gpu/driver_library.h"

#include <string>

namespace {

// "<system directory>\<name>", so a copy earlier on the search path cannot stand in for it.
HMODULE LoadFromSystemDirectory(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(directory, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, 0);
}

}  // namespace

HMODULE LoadDriverLibrary(const wchar_t* name) {
    SetLastError(0);
    return LoadFromSystemDirectory(name);
}
