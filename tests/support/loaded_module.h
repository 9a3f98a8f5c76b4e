// Loads the real TorvexModule.dll (from the test program's own folder) with the same loader a host
// program uses, and fails the test's set-up loudly when that is impossible. Each test loads it
// after it has set the bench up, so the module's start-up sees that machine; unloading runs the
// module's static destruction.
#pragma once

#include <string>

#include "module_exports.h"

class LoadedModule {
public:
    // Loads the DLL; throws std::runtime_error when it or any export is missing.
    LoadedModule();
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const ModuleExports& api() const { return m_exports.api(); }
    const ModuleExports* operator->() const { return &m_exports.api(); }
    // Unloads now (static destruction runs); later calls through api() are invalid. The vendor
    // libraries the module loaded go too: the module never frees them, and a test program loads
    // one module after another, each of which must find the process as a fresh one would (a
    // machine without NVAPI must not find it still loaded).
    void Unload();

private:
    LoadedExports m_exports;
};

// Full path of a file in the test program's own folder.
inline std::wstring BesideTestProgram(const wchar_t* fileName) { return BesideRunningProgram(fileName); }
