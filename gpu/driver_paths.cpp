#include "gpu/driver_paths.h"

#include <algorithm>
#include <limits>

namespace {

wchar_t FoldCase(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualFolded(wchar_t a, wchar_t b) { return FoldCase(a) == FoldCase(b); }

// Splits a file name at its last "." into the base name and the extension (with its "."); a name
// without "." has an empty extension.
std::pair<std::wstring, std::wstring> SplitExtension(const std::wstring& fileName) {
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring::npos) return {fileName, std::wstring()};
    return {fileName.substr(0, dot), fileName.substr(dot)};
}

bool IsEmptyOrDll(const std::wstring& extension) {
    return extension.empty() || EqualIgnoringCase(extension, L".dll");
}

// The name rule and the driver-store folder split at the last "\" only: a "/" is part of the name
// there, so "C:/x/nvapi.dll" names no library.
bool IsBackslash(wchar_t c) { return c == L'\\'; }

std::wstring FilePart(const std::wstring& path) {
    const auto last = std::find_if(path.rbegin(), path.rend(), IsBackslash);
    return std::wstring(last.base(), path.end());
}

bool HasSeparator(const std::wstring& path) { return std::any_of(path.begin(), path.end(), IsPathSeparator); }

// Registry texts are UTF-16LE; a trailing odd byte is not part of any character.
std::wstring Utf16Units(const std::vector<uint8_t>& data) {
    std::wstring units;
    units.reserve(data.size() / 2);
    for (size_t i = 0; i + 1 < data.size(); i += 2) units += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    return units;
}

}  // namespace

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), EqualFolded);
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), EqualFolded);
}

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::optional<std::vector<std::wstring>> RegistryTexts(const RegistryValue& value) {
    if (value.type != kRegText && value.type != kRegTextList) return std::nullopt;
    const std::wstring units = Utf16Units(value.data);
    std::vector<std::wstring> texts;
    size_t start = 0;
    while (start < units.size()) {
        const size_t end = std::min(units.find(L'\0', start), units.size());
        if (end == start) break;
        texts.push_back(units.substr(start, end - start));
        if (value.type == kRegText) break;
        start = end + 1;
    }
    return texts;
}

uint32_t ParseBuildNumber(const std::wstring& text) {
    if (text.empty()) return 0;
    uint32_t number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return 0;
        const auto digit = static_cast<uint32_t>(c - L'0');
        if (number > (std::numeric_limits<uint32_t>::max() - digit) / 10) return 0;
        number = number * 10 + digit;
    }
    return number;
}

bool MatchesDriverName(const std::wstring& entry, const std::wstring& name) {
    const std::wstring file = FilePart(entry);
    if (file.empty() || name.empty()) return false;
    if (EqualIgnoringCase(file, name)) return true;
    const auto [fileBase, fileExtension] = SplitExtension(file);
    const auto [nameBase, nameExtension] = SplitExtension(name);
    return EqualIgnoringCase(fileBase, nameBase) && IsEmptyOrDll(fileExtension) && IsEmptyOrDll(nameExtension);
}

bool IsAbsolutePath(const std::wstring& path) {
    if (!path.empty() && IsPathSeparator(path[0])) return true;
    const bool driveLetter = path.size() >= 3 && FoldCase(path[0]) >= L'A' && FoldCase(path[0]) <= L'Z';
    return driveLetter && path[1] == L':' && IsPathSeparator(path[2]);
}

std::optional<std::wstring> RegisteredEntryPath(const std::wstring& entry, const std::wstring& systemDirectory) {
    static const std::wstring kSystem32 = L"system32\\";
    static const std::wstring kSystemRootSystem32 = L"\\SystemRoot\\system32\\";
    std::optional<std::wstring> inSystemDirectory;
    if (!HasSeparator(entry)) {
        inSystemDirectory = entry;
    } else if (StartsWithIgnoringCase(entry, kSystem32)) {
        inSystemDirectory = entry.substr(kSystem32.size());
    } else if (StartsWithIgnoringCase(entry, kSystemRootSystem32)) {
        inSystemDirectory = entry.substr(kSystemRootSystem32.size());
    } else if (IsAbsolutePath(entry)) {
        return entry;
    } else {
        return std::nullopt;
    }
    if (systemDirectory.empty()) return std::nullopt;
    return JoinPath(systemDirectory, *inSystemDirectory);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (!folder.empty() && IsBackslash(folder.back())) return folder + name;
    return folder + L"\\" + name;
}

std::wstring FolderPart(const std::wstring& path) {
    const auto last = std::find_if(path.rbegin(), path.rend(), IsBackslash);
    return std::wstring(path.begin(), last.base());
}

bool IsInsideFolder(const std::wstring& fullPath, const std::wstring& folder) {
    if (folder.empty()) return false;
    return StartsWithIgnoringCase(fullPath, JoinPath(folder, std::wstring()));
}

bool NamesNvidiaDevice(const std::wstring& interfacePath) {
    static const std::wstring kNvidia = L"VEN_10DE";
    return std::search(interfacePath.begin(), interfacePath.end(), kNvidia.begin(), kNvidia.end(), EqualFolded) !=
           interfacePath.end();
}
