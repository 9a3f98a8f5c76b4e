#include "gpu/bus_list.h"

#include <exception>
#include <locale>
#include <optional>

#include "base/diag.h"

namespace {

// Where a matched token's pieces are; the strings are made only where running out of memory
// costs just this token.
struct TokenParts {
    size_t cardDigits = 0;
    size_t cardDigitCount = 0;
    size_t busDigits = 0;
    size_t deviceDigits = 0;
};
constexpr size_t kBusDigitCount = 2;
constexpr size_t kDeviceDigitCount = 4;

bool IsHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
}

// Moves *at past `literal` when the token has it there.
bool TakeLiteral(const std::wstring& token, size_t* at, const wchar_t* literal) {
    for (; *literal != L'\0'; ++literal, ++*at) {
        if (*at >= token.size() || token[*at] != *literal) return false;
    }
    return true;
}

// Moves *at past exactly `count` hex digits, and tells where they start.
bool TakeHexDigits(const std::wstring& token, size_t* at, size_t count, size_t* start) {
    *start = *at;
    for (size_t end = *at + count; *at < end; ++*at) {
        if (*at >= token.size() || !IsHexDigit(token[*at])) return false;
    }
    return true;
}

// The whole token against C(\d+)-Bus-([0-9A-Fa-f]{2})-Dev-([0-9A-Fa-f]{4}), matched as an ECMAScript
// regular expression would match it: \d is the locale's digit class, the brackets are code-point
// ranges, and case matters outside them.
std::optional<TokenParts> MatchToken(const std::wstring& token) {
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(std::locale());
    TokenParts parts;
    size_t at = 0;
    if (!TakeLiteral(token, &at, L"C")) return std::nullopt;
    parts.cardDigits = at;
    while (at < token.size() && ctype.is(std::ctype_base::digit, token[at])) ++at;
    parts.cardDigitCount = at - parts.cardDigits;
    if (parts.cardDigitCount == 0 || !TakeLiteral(token, &at, L"-Bus-") ||
        !TakeHexDigits(token, &at, kBusDigitCount, &parts.busDigits) || !TakeLiteral(token, &at, L"-Dev-") ||
        !TakeHexDigits(token, &at, kDeviceDigitCount, &parts.deviceDigits) || at != token.size()) {
        return std::nullopt;
    }
    return parts;
}

// Appends the item a token describes, or reports why it cannot.
void AcceptToken(const std::wstring& token, int tokenNumber, std::vector<BusListItem>* items) {
    const std::optional<TokenParts> parts = MatchToken(token);
    if (!parts) {
        DebugPrint(L"[GPUInfo] Invalid entry format: %ls\n", token.c_str());
        return;
    }
    // A card index beyond 32 bits (or running out of memory) only costs this token.
    try {
        BusListItem item;
        item.nCardIndex = std::stoi(token.substr(parts->cardDigits, parts->cardDigitCount));
        item.strBusDigits = token.substr(parts->busDigits, kBusDigitCount);
        item.strDeviceDigits = token.substr(parts->deviceDigits, kDeviceDigitCount);
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
