#include "gpu/bus_list.h"

#include <exception>
#include <regex>

#include "base/diag.h"

namespace {

// Card index, bus digits, device digits.
const std::wregex& TokenPattern() {
    static const std::wregex pattern(L"C(\\d+)-Bus-([0-9A-Fa-f]{2})-Dev-([0-9A-Fa-f]{4})",
                                     std::regex_constants::ECMAScript);
    return pattern;
}

// Appends the item a token describes, or reports why it cannot.
void AcceptToken(const std::wstring& token, int tokenNumber, std::vector<BusListItem>* items) {
    std::wsmatch match;
    if (!std::regex_match(token, match, TokenPattern())) {
        DebugPrint(L"[GPUInfo] Invalid entry format: %ls\n", token.c_str());
        return;
    }
    // A card index beyond 32 bits (or running out of memory) only costs this token.
    try {
        BusListItem item;
        item.nCardIndex = std::stoi(match.str(1));
        item.strBusDigits = match.str(2);
        item.strDeviceDigits = match.str(3);
        items->push_back(item);
    } catch (const std::exception&) {
        DebugPrint(L"[GPUInfo] Numeric conversion failed: %ls\n", token.c_str());
        return;
    }
    const BusListItem& added = items->back();
    DebugPrint(L"[GPUInfo] Successfully parsed entry %d: C%d Bus=%ls Dev=%ls\n", tokenNumber, added.nCardIndex,
               added.strBusDigits.c_str(), added.strDeviceDigits.c_str());
}

}  // namespace

std::vector<BusListItem> ParseBusList(const std::wstring& text) {
    std::vector<BusListItem> items;
    if (text.empty()) {
        DebugPrint(L"[GPUInfo] Input data is empty\n");
        return items;
    }
    // A "_" at the very end just stops the walk; an empty token anywhere else means the text is
    // out of step with its format, so nothing after it can be trusted.
    size_t start = 0;
    for (int tokenNumber = 1; start < text.size(); ++tokenNumber) {
        const size_t end = text.find(L'_', start);
        if (end == start) {
            DebugPrint(L"[GPUInfo] location error\n");
            break;
        }
        AcceptToken(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start), tokenNumber,
                    &items);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    if (items.empty()) DebugPrint(L"[GPUInfo] No valid GPU information found\n");
    return items;
}

bool ParseHexInt(const std::wstring& text, int32_t* value) {
    try {
        size_t consumed = 0;
        const int parsed = std::stoi(text, &consumed, 16);
        if (consumed != text.size()) return false;
        *value = parsed;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
