// Paths of the modules this process loaded, compared as Windows compares paths.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gpu/driver_paths.h"
#include "gpu/system_libraries.h"
#include "module_exports.h"

inline std::wstring InSystemDirectory(const wchar_t* name) { return SystemDirectoryPath() + L"\\" + name; }

// Windows paths compare without case.
inline ::testing::AssertionResult SamePath(const std::wstring& expected, const std::wstring& actual) {
    if (EqualIgnoringCase(expected, actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << ::testing::PrintToString(expected) << ", got "
                                         << ::testing::PrintToString(actual);
}
