// Loads TorvexModule.dll at run time, as a host application does, and resolves all of its exports
// by name. Failures come back as a description (file, export, Windows error code), never as an
// exception, so a program can report them and choose its own exit code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/win32_handles.h"
#include "module_export_table.h"

struct ModuleLoadError {
    std::wstring file;       // the DLL that was loaded or tried
    std::string exportName;  // the export that was missing; empty when the DLL itself failed
    DWORD code = 0;          // GetLastError() of the failed call

    // One line for a person: what failed, the file, and the Windows error with its system text.
    std::string Describe() const;
};

class LoadedExports {
public:
    LoadedExports() = default;
    LoadedExports(LoadedExports&&) = default;
    LoadedExports& operator=(LoadedExports&&) = default;

    // Loads the DLL at `path` and resolves every export; on failure returns nothing and fills
    // `error`. A DLL that lacks any export is unloaded again.
    static std::optional<LoadedExports> Load(const std::wstring& path, ModuleLoadError& error);

    const ModuleExports& api() const { return m_api; }
    const ModuleExports* operator->() const { return &m_api; }
    const std::wstring& path() const { return m_path; }
    // Unloads now (the module's static destruction runs); the table is cleared.
    void Unload();

private:
    UniqueModule m_module;
    ModuleExports m_api;
    std::wstring m_path;
};

// TorvexModule.dll in the folder of the running program.
std::wstring DefaultModulePath();
// Full path of `fileName` in the folder of the running program.
std::wstring BesideRunningProgram(const wchar_t* fileName);
// Full path of a module this process has loaded, as the loader reports it; empty when not loaded.
std::wstring LoadedModulePath(const wchar_t* name);
// The system's own text for a Windows error code, without the trailing line break.
std::string SystemMessage(DWORD code);
// UTF-8 text of a UTF-16 string (paths in messages and JSON).
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
