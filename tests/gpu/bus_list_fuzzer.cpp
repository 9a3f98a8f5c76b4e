// Feeds arbitrary UTF-16 text to the bus-list parser; every item it accepts must be well formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "base/diag_sink.h"
#include "gpu/bus_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    for (const BusListItem& item : ParseBusList(text)) {
        if (item.strBusDigits.size() != 2 || item.strDeviceDigits.size() != 4 || item.nCardIndex < 0) std::abort();
        int32_t bus = -1;
        if (!ParseHexInt(item.strBusDigits, &bus) || bus < 0 || bus > 0xFF) std::abort();
    }
    TakeDebugOutput();
    return 0;
}
