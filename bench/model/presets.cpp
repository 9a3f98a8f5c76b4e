#include "presets.h"

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace bench {
namespace {

struct RegisterRun {
    uint8_t first;
    std::initializer_list<uint8_t> bytes;
};

// A complete board controller of the current firmware: version 0x0520 with all four capability
// bits, the identification bytes older firmware reports, a tilt sensor that answers, and
// plausible readings in every block.
const RegisterRun kControllerV2[] = {
    {0x1E, {0x20, 0x05}},  // firmware version, low byte then high byte
    {0x20, {0x15, 0x89}},  // identification bytes
    {0x4C, {0x21, 0x00, 0x00, 0x00}},  // tilt sensor presence
    // Thermal block: eight words in tenths of a degree (45.2 .. 50.3).
    {0x60, {0x01, 0xC4, 0x01, 0xD4, 0x01, 0xE1, 0x01, 0xC7, 0x01, 0xF7, 0x01, 0xDC, 0x00, 0x00, 0x01, 0xCE}},
    // Tilt: X = 180, Y = -120, Z = 4090 (about 1 g), then the status byte.
    {0x70, {0x00, 0xB4, 0xFF, 0x88, 0x0F, 0xFA, 0x01}},
    // Power: six groups of (12.000 V, reading in thousandths of an ampere).
    {0x80, {0x2E, 0xE0, 0x14, 0x5A, 0x2E, 0xE0, 0x14, 0x3C, 0x2E, 0xE0, 0x14, 0xB9,
            0x2E, 0xE0, 0x14, 0x00, 0x2E, 0xE0, 0x03, 0x48, 0x2E, 0xE0, 0x01, 0x9A}},
    // Usage counters: 123456, 45678, 1234.
    {0xC0, {0x00, 0x01, 0xE2, 0x40, 0x00, 0x00, 0xB2, 0x6E, 0x00, 0x00, 0x04, 0xD2}},
    {0xFC, {0x01, 0x0F}},  // 0xFD: capability bits 0 to 3
};

struct Preset {
    std::string_view name;
    const RegisterRun* runs;
    size_t runCount;
};

constexpr Preset kPresets[] = {
    {"controller-v2", kControllerV2, std::size(kControllerV2)},
};

}  // namespace

bool ApplyPreset(std::string_view name, I2cDevice& device) {
    for (const Preset& preset : kPresets) {
        if (preset.name != name) continue;
        for (size_t r = 0; r < preset.runCount; ++r) {
            uint8_t reg = preset.runs[r].first;
            for (uint8_t byte : preset.runs[r].bytes) device.Preset(reg++, byte);
        }
        return true;
    }
    return false;
}

std::string PresetNames() {
    std::string names;
    for (const Preset& preset : kPresets) {
        if (!names.empty()) names += ", ";
        names += '"' + std::string(preset.name) + '"';
    }
    return names;
}

}  // namespace bench
