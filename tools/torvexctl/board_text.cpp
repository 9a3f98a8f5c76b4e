#include "board_text.h"

#include <iterator>

#include "number_text.h"

std::string FirmwareVersionText(uint32_t version) { return HexText(version, 4); }

std::string CapabilitiesText(uint32_t word) { return HexText(word); }

std::string CapabilityNamesText(uint32_t word) {
    static const char* const kNames[] = {"usage-time totals", "power status", "thermal map"};
    std::string names;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if (!(word & (1u << bit))) continue;
        if (!names.empty()) names += ", ";
        names += bit < std::size(kNames) ? kNames[bit] : "bit " + std::to_string(bit);
    }
    return names;
}

std::string RecorderStateName(int32_t state) {
    switch (state) {
        case Recording: return "recording";
        case Paused: return "paused";
        case Stopped: return "stopped";
        default: return "unknown (" + std::to_string(state) + ")";
    }
}

std::string StatusBitsText(const GSensorData& reading) {
    std::string bits;
    for (int32_t bit :
         {reading.nStatus5, reading.nStatus4, reading.nStatus3, reading.nStatus2, reading.nStatus1, reading.nStatus0})
        bits += bit ? '1' : '0';
    return bits;
}
