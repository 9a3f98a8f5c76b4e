// The bus-list grammar and its diagnostics, and the hex conversion of bus digits (native build).
#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>
#include <vector>

#include "bus_list.h"
#include "diag_sink.h"

namespace {

std::vector<std::wstring> DiagnosticLines() {
    const std::wstring text = TakeDebugOutput();
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start + 1));
    }
    EXPECT_EQ(start, text.size()) << "unterminated diagnostic: " << std::string(text.begin() + start, text.end());
    return lines;
}

std::vector<BusListItem> Parse(const std::wstring& text) {
    TakeDebugOutput();
    return ParseBusList(text);
}

void ExpectItem(const BusListItem& item, int32_t card, const wchar_t* bus, const wchar_t* device) {
    EXPECT_EQ(card, item.nCardIndex);
    EXPECT_EQ(bus, item.strBusDigits);
    EXPECT_EQ(device, item.strDeviceDigits);
}

TEST(BusList, AcceptsTokensInOrderWithEitherCaseOfHexDigits) {
    const auto items = Parse(L"C0-Bus-0a-Dev-12AB_C12-Bus-Fe-Dev-cD09");
    ASSERT_EQ(2u, items.size());
    ExpectItem(items[0], 0, L"0a", L"12AB");
    ExpectItem(items[1], 12, L"Fe", L"cD09");
    EXPECT_EQ((std::vector<std::wstring>{L"[GPUInfo] Successfully parsed entry 1: C0 Bus=0a Dev=12AB\n",
                                         L"[GPUInfo] Successfully parsed entry 2: C12 Bus=Fe Dev=cD09\n"}),
              DiagnosticLines());
}

TEST(BusList, SkipsTokensThatDoNotMatchTheWholePattern) {
    const auto items = Parse(L"C0-Bus-03-Dev-1234_junk_C1-Bus-3-Dev-1234_xC2-Bus-03-Dev-1234_"
                             L"C3-Bus-03-Dev-12345_c4-bus-03-dev-1234_C-Bus-03-Dev-1234_C5-Bus-0A-Dev-5678");
    ASSERT_EQ(2u, items.size());
    ExpectItem(items[0], 0, L"03", L"1234");
    ExpectItem(items[1], 5, L"0A", L"5678");
    const auto lines = DiagnosticLines();
    ASSERT_EQ(8u, lines.size());
    EXPECT_EQ(L"[GPUInfo] Invalid entry format: junk\n", lines[1]);
    EXPECT_EQ(L"[GPUInfo] Invalid entry format: C1-Bus-3-Dev-1234\n", lines[2]);
    EXPECT_EQ(L"[GPUInfo] Invalid entry format: C-Bus-03-Dev-1234\n", lines[6]);
    // Rejected tokens keep their number.
    EXPECT_EQ(L"[GPUInfo] Successfully parsed entry 8: C5 Bus=0A Dev=5678\n", lines[7]);
}

TEST(BusList, CardIndexBeyond32BitsCostsOnlyItsToken) {
    const auto items = Parse(L"C99999999999-Bus-03-Dev-1234_C2147483647-Bus-04-Dev-0000");
    ASSERT_EQ(1u, items.size());
    ExpectItem(items[0], INT32_MAX, L"04", L"0000");
    const auto lines = DiagnosticLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"[GPUInfo] Numeric conversion failed: C99999999999-Bus-03-Dev-1234\n", lines[0]);
}

TEST(BusList, EmptyTokenEndsTheWalkButKeepsWhatCameBefore) {
    const auto items = Parse(L"C0-Bus-03-Dev-1234__C1-Bus-0A-Dev-5678");
    ASSERT_EQ(1u, items.size());
    ExpectItem(items[0], 0, L"03", L"1234");
    const auto lines = DiagnosticLines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(L"[GPUInfo] location error\n", lines[1]);

    EXPECT_TRUE(Parse(L"_C0-Bus-03-Dev-1234").empty());
    EXPECT_EQ((std::vector<std::wstring>{L"[GPUInfo] location error\n",
                                         L"[GPUInfo] No valid GPU information found\n"}),
              DiagnosticLines());
}

TEST(BusList, TrailingSeparatorEndsTheWalkQuietly) {
    EXPECT_EQ(1u, Parse(L"C7-Bus-03-Dev-1234_").size());
    EXPECT_EQ(1u, DiagnosticLines().size());
}

TEST(BusList, TextWithoutAnItemSaysSo) {
    EXPECT_TRUE(Parse(L"C0-Bus-3-Dev-1234").empty());
    EXPECT_EQ((std::vector<std::wstring>{L"[GPUInfo] Invalid entry format: C0-Bus-3-Dev-1234\n",
                                         L"[GPUInfo] No valid GPU information found\n"}),
              DiagnosticLines());

    EXPECT_TRUE(Parse(L"").empty());
    const auto lines = DiagnosticLines();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].rfind(L"[GPUInfo] ", 0));
    EXPECT_EQ(std::wstring::npos, lines[0].find(L"No valid"));
}

TEST(ParseHexInt, ConvertsWholeTextsInto32Bits) {
    int32_t value = 0;
    EXPECT_TRUE(ParseHexInt(L"0a", &value));
    EXPECT_EQ(10, value);
    EXPECT_TRUE(ParseHexInt(L"Fe", &value));
    EXPECT_EQ(254, value);
    EXPECT_TRUE(ParseHexInt(L"7FFFFFFF", &value));
    EXPECT_EQ(INT32_MAX, value);
    EXPECT_TRUE(ParseHexInt(L"-80000000", &value));
    EXPECT_EQ(INT32_MIN, value);
    EXPECT_TRUE(ParseHexInt(L"-1A", &value));
    EXPECT_EQ(-26, value);
}

TEST(ParseHexInt, LeavesTheOutputAloneOnFailure) {
    for (const wchar_t* text : {L"", L"G", L"-", L"1G", L"0a ", L"80000000", L"FFFFFFFF", L"100000000", L"-80000001"}) {
        int32_t value = 77;
        EXPECT_FALSE(ParseHexInt(text, &value)) << std::string(text, text + std::wcslen(text));
        EXPECT_EQ(77, value);
    }
}

}  // namespace
