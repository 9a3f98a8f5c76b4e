#include "board_text.h"

#include <charconv>
#include <cstdlib>

#include "board_snapshot.h"

std::vector<std::string> CapabilityNames(uint32_t word) {
    static const char* const kNames[] = {"usage-time totals", "power status", "thermal map"};
    std::vector<std::string> names;
    for (unsigned bit = 0; bit < 32; ++bit) {
        if (!(word & (1u << bit))) continue;
        names.push_back(bit < std::size(kNames) ? kNames[bit] : "bit " + std::to_string(bit));
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

std::string BoardLabel(int gpuId) {
    return gpuId == kFirstBoard ? "first board" : "GPU on bus " + std::to_string(gpuId);
}

double ShortestDouble(float value) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof(text) - 1, value);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}
