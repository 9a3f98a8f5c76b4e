// The text rules of the driver-library search: registry texts, the Windows build number, which
// registered entry names a library, where an entry puts the file, and which folders are trusted.
// Free of Windows, so they build natively for the sanitizers and the fuzzer.
//
// Case is folded for ASCII letters only. Windows folds more, so two names that differ in a
// non-ASCII letter's case count as different here: that can only refuse a path, never admit one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gpu/driver_system.h"

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b);
bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix);
// "\" or "/": Windows takes either where a path is told absolute or relative, so both count
// there. The name rule, the folder part and joining use "\" alone.
bool IsPathSeparator(wchar_t c);

// The texts of a text or text-list value, empty ones left out (a list ends at its first empty
// text, as Windows reads it). Nothing for a value of any other type.
std::optional<std::vector<std::wstring>> RegistryTexts(const RegistryValue& value);

// The build number held as decimal text; 0 for a text that is empty, holds anything but digits,
// or does not fit 32 bits.
uint32_t ParseBuildNumber(const std::wstring& text);

// Whether a registered entry names the wanted library: its file part (after its last "\") equals
// the name, or both base names are equal while each extension is empty or ".dll". Case is ignored.
bool MatchesDriverName(const std::wstring& entry, const std::wstring& name);

// A drive letter, ":" and a separator; or a leading separator.
bool IsAbsolutePath(const std::wstring& path);

// Where a registered entry puts the file: a bare name and the "system32\" and
// "\SystemRoot\system32\" forms lie in the system directory, an absolute path stays as it is.
// Nothing for any other form, or when the system directory is unknown.
std::optional<std::wstring> RegisteredEntryPath(const std::wstring& entry, const std::wstring& systemDirectory);

// "<folder>\<name>", with one "\" between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The folder part of a path, up to and including its last "\"; empty when there is none.
std::wstring FolderPart(const std::wstring& path);

// Whether a full path lies inside a folder: it begins with the folder and a "\", case ignored.
// An empty folder contains nothing.
bool IsInsideFolder(const std::wstring& fullPath, const std::wstring& folder);

// Whether a display adapter's interface path names an NVIDIA device ("VEN_10DE").
bool NamesNvidiaDevice(const std::wstring& interfacePath);
