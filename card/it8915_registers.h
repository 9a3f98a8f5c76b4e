// The board controller's protocol: its device address, its registers and the firmware versions
// that decide what a board offers. Multi-byte values are big-endian (the byte at the lower register
// is the more significant one).
#pragma once

#include <cstdint>

namespace it8915 {

// Every chip on the board answers at this device address byte (8-bit form).
constexpr uint8_t kDeviceAddress = 0x56;

constexpr uint8_t kRegVersionLow = 0x1E;
constexpr uint8_t kRegVersionHigh = 0x1F;
// Firmware up to 0x510 identifies itself with these two bytes.
constexpr uint8_t kRegIdentification1 = 0x20;
constexpr uint8_t kRegIdentification2 = 0x21;
constexpr uint8_t kIdentification1 = 0x15;
constexpr uint8_t kIdentification2 = 0x89;
// The tilt sensor is present when all four answer; their values mean nothing.
constexpr uint8_t kRegTiltPresence[4] = {0x4C, 0x4D, 0x4E, 0x4F};
constexpr uint8_t kRegThermalBlock = 0x60;  // eight words
constexpr uint8_t kRegTiltAxes = 0x70;      // X, Y, Z, each high byte first
constexpr uint8_t kRegTiltStatus = 0x76;
constexpr uint8_t kRegPowerBlock = 0x80;    // six groups of four bytes
constexpr uint8_t kRegMileageBlock = 0xC0;  // three 32-bit counters
constexpr uint8_t kRegBeforeCapabilities = 0xFC;  // read first; its value is not used
constexpr uint8_t kRegCapabilities = 0xFD;  // bits 0..3

constexpr uint32_t kCapabilityMask = 0xF;

inline uint32_t VersionWord(uint8_t high, uint8_t low) { return (uint32_t{high} << 8) | low; }

// The usage-time totals, the power status and the thermal map need firmware newer than this.
constexpr uint32_t kLastFirmwareWithoutReadings = 0x148;
inline bool OffersReadings(uint32_t version) { return version > kLastFirmwareWithoutReadings; }

// The controller checks accept firmware from this version on.
constexpr uint32_t kFirstSupportedFirmware = 0x500;
inline bool IsSupportedFirmware(uint32_t version) { return version >= kFirstSupportedFirmware; }

// Where firmware starts to report its capability byte. Version 0x510 itself sits on both sides, on
// purpose: the probe at load still has it identify itself and loads no capabilities, while the
// capability check reads its capability byte.
constexpr uint32_t kCapabilityFirmware = 0x510;
inline bool ProbeReadsCapabilities(uint32_t version) { return version > kCapabilityFirmware; }
inline bool CheckReadsCapabilities(uint32_t version) { return version >= kCapabilityFirmware; }

}  // namespace it8915
