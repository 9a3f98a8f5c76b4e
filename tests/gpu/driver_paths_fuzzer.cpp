// Feeds arbitrary registry data and entries to the driver-search text rules. Whatever a registered
// entry says, the path taken from it is absolute or nothing, and an entry that matches the name
// ends in a file part that does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gpu/driver_paths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    RegistryValue value{static_cast<uint32_t>(data[0] % 8), std::vector<uint8_t>(data + 1, data + size)};
    const auto texts = RegistryTexts(value);
    if (texts.has_value() != (value.type == kRegText || value.type == kRegTextList)) std::abort();
    if (!texts) return 0;
    for (const std::wstring& entry : *texts) {
        if (entry.empty() || entry.find(L'\0') != std::wstring::npos) std::abort();
        const auto path = RegisteredEntryPath(entry, L"C:\\Windows\\system32");
        if (path && !IsAbsolutePath(*path)) std::abort();
        if (MatchesDriverName(entry, L"nvapi.dll") && !MatchesDriverName(entry, L"NVAPI")) std::abort();
        ParseBuildNumber(entry);
        IsInsideFolder(entry, L"C:\\Windows");
        NamesNvidiaDevice(entry);
    }
    return 0;
}
