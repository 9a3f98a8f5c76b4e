#include "module_exports.h"

#include <utility>
#include <vector>

namespace {

std::wstring FolderOfRunningProgram() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            std::wstring full(path.data(), n);
            return full.substr(0, full.find_last_of(L"\\/") + 1);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return ToUtf8(message);
}

namespace {

// An absolute path, so LoadLibraryW never searches other folders for a name given relative.
std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& slot) {
    FARPROC p = GetProcAddress(module, name);
    // The cast through void* is the documented way to turn a FARPROC into a typed pointer.
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
    return p != nullptr;
}

}  // namespace

std::string ModuleLoadError::Describe() const {
    std::string text =
        exportName.empty() ? "cannot load " + ToUtf8(file) : ToUtf8(file) + " does not export " + exportName;
    text += " (Windows error " + std::to_string(code);
    std::string system = SystemMessage(code);
    if (!system.empty()) text += ": " + system;
    return text + ")";
}

std::optional<LoadedExports> LoadedExports::Load(const std::wstring& path, ModuleLoadError& error) {
    LoadedExports loaded;
    loaded.m_path = FullPath(path);
    loaded.m_module.reset(LoadLibraryW(loaded.m_path.c_str()));
    if (!loaded.m_module) {
        error = ModuleLoadError{loaded.m_path, {}, GetLastError()};
        return std::nullopt;
    }
#define TORVEX_RESOLVE_EXPORT(name)                                                  \
    if (!Resolve(loaded.m_module.get(), "Torvex_Api_" #name, loaded.m_api.name)) {   \
        error = ModuleLoadError{loaded.m_path, "Torvex_Api_" #name, GetLastError()}; \
        return std::nullopt;                                                         \
    }
    TORVEX_EXPORT_LIST(TORVEX_RESOLVE_EXPORT)
#undef TORVEX_RESOLVE_EXPORT
    return loaded;
}

void LoadedExports::Unload() {
    m_module.reset();
    m_api = ModuleExports{};
}

std::wstring BesideRunningProgram(const wchar_t* fileName) { return FolderOfRunningProgram() + fileName; }

std::wstring DefaultModulePath() { return BesideRunningProgram(L"TorvexModule.dll"); }

std::wstring LoadedModulePath(const wchar_t* name) {
    const HMODULE module = GetModuleHandleW(name);
    if (!module) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}
