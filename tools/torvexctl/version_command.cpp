#include "version_command.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "exit_codes.h"
#include "module_exports.h"

namespace {

// "0.1.0.0" from the file's fixed version information, or nothing with *error set.
std::optional<std::string> FileVersion(const std::wstring& path, DWORD* error) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof(*fixed)) {
        *error = GetLastError();
        return std::nullopt;
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return std::string(text);
}

}  // namespace

int RunVersion(const ModuleChoice& module) {
    std::printf("torvexctl, built with TorvexModule.h %s\n", TORVEX_MODULE_VERSION_STRING);
    const std::wstring path = module.path.empty() ? DefaultModulePath() : FromUtf8(module.path);
    DWORD error = 0;
    const std::optional<std::string> version = FileVersion(path, &error);
    if (!version) {
        PrintError("no version resource in " + ToUtf8(path) + " (Windows error " + std::to_string(error) + ": " +
                   SystemMessage(error) + ")");
        return kExitModuleMissing;
    }
    std::printf("TorvexModule.dll %s (version resource of %s)\n", version->c_str(), ToUtf8(path).c_str());
    return kExitOk;
}
