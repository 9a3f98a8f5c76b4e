// The AMD bus list: a setting text the host application keeps in the registry when the ADLX
// mapping interface cannot tell each GPU's PCI bus. Tokens separated by single "_", each of the
// form C<card index>-Bus-<2 hex digits>-Dev-<4 hex digits>; the k-th accepted token gives the bus
// of the k-th AMD GPU. Parsing is free of Windows so it also builds natively.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BusListItem {
    int32_t nCardIndex = 0;
    std::wstring strBusDigits;     // exactly 2 hex digits
    std::wstring strDeviceDigits;  // exactly 4 hex digits
};

// Every accepted token in order; each accepted or rejected token, and an empty or fruitless text,
// is reported on the debug output.
std::vector<BusListItem> ParseBusList(const std::wstring& text);

// The whole text as a base-16 integer. False, with *value untouched, when the text is not a number,
// does not fit in 32 bits or has characters left over.
bool ParseHexInt(const std::wstring& text, int32_t* value);

// The registry value "BusList: GPU Bus", parsed; empty on any failure (bus_list_registry.cpp,
// Windows build only).
std::vector<BusListItem> ReadBusList();
