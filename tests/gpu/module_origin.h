// Where this process took a module from, as the loader reports it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gpu/driver_paths.h"
#include "gpu/system_libraries.h"

// The full path of a loaded module; empty when the process has not loaded it.
inline std::wstring LoadedFrom(const wchar_t* name) {
    const HMODULE module = GetModuleHandleW(name);
    if (!module) return std::wstring();
    wchar_t path[MAX_PATH] = {};
    return std::wstring(path, GetModuleFileNameW(module, path, MAX_PATH));
}

inline std::wstring InSystemDirectory(const wchar_t* name) { return SystemDirectoryPath() + L"\\" + name; }

// Windows paths compare without case.
inline ::testing::AssertionResult SamePath(const std::wstring& expected, const std::wstring& actual) {
    if (EqualIgnoringCase(expected, actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected \"" << ::testing::PrintToString(expected) << "\", got "
                                         << ::testing::PrintToString(actual);
}
