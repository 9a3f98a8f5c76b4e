// The bus-list grammar and its diagnostics (native build). The hex conversion of the bus digits
// shows in the bus numbers the GPU access tests see.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/diag_sink.h"
#include "gpu/bus_list.h"

namespace {

#define ACCEPTED(n, item) L"[GPUInfo] Successfully parsed entry " n L": " item L"\n"
#define REJECTED(token) L"[GPUInfo] Invalid entry format: " token L"\n"

// The text; "C<card> <bus> <device>;" for each item; the whole debug output.
const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> kBusListCases[] = {
    {L"C0-Bus-0a-Dev-12AB_C12-Bus-Fe-Dev-cD09", L"C0 0a 12AB;C12 Fe cD09;",
     ACCEPTED("1", "C0 Bus=0a Dev=12AB") ACCEPTED("2", "C12 Bus=Fe Dev=cD09")},
    // The whole token must match; rejected tokens keep their number.
    {L"junk_C1-Bus-3-Dev-1234_xC2-Bus-03-Dev-1234_C3-Bus-03-Dev-12345_c4-bus-03-dev-1234_"
     L"C-Bus-03-Dev-1234_C5-Bus-0A-Dev-5678",
     L"C5 0A 5678;",
     REJECTED("junk") REJECTED("C1-Bus-3-Dev-1234") REJECTED("xC2-Bus-03-Dev-1234")
     REJECTED("C3-Bus-03-Dev-12345") REJECTED("c4-bus-03-dev-1234") REJECTED("C-Bus-03-Dev-1234")
     ACCEPTED("7", "C5 Bus=0A Dev=5678")},
    // A card index beyond 32 bits costs only its token.
    {L"C99999999999-Bus-03-Dev-1234_C2147483647-Bus-04-Dev-0000", L"C2147483647 04 0000;",
     L"[GPUInfo] Numeric conversion failed: C99999999999-Bus-03-Dev-1234\n"
     ACCEPTED("2", "C2147483647 Bus=04 Dev=0000")},
    // An empty token ends the walk, keeping what came before; a trailing "_" ends it quietly.
    {L"C0-Bus-03-Dev-1234__C1-Bus-0A-Dev-5678", L"C0 03 1234;",
     ACCEPTED("1", "C0 Bus=03 Dev=1234") L"[GPUInfo] location error\n"},
    {L"_C0-Bus-03-Dev-1234", L"", L"[GPUInfo] location error\n[GPUInfo] No valid GPU information found\n"},
    {L"C7-Bus-03-Dev-1234_", L"C7 03 1234;", ACCEPTED("1", "C7 Bus=03 Dev=1234")},
    {L"", L"", L"[GPUInfo] Input data is empty\n"},
};

TEST(BusList, ParsesTokensAndReportsEachOne) {
    TakeDebugOutput();
    for (const auto& [text, expectedItems, diagnostics] : kBusListCases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(text)));
        std::wstring items;
        for (const BusListItem& item : ParseBusList(text)) {
            items += L"C" + std::to_wstring(item.nCardIndex) + L" " + item.strBusDigits + L" " +
                     item.strDeviceDigits + L";";
        }
        EXPECT_EQ(expectedItems, items);
        EXPECT_EQ(diagnostics, TakeDebugOutput());
    }
}

}  // namespace
