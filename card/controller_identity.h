// What the board controller says about itself: its firmware version word and its capability bits.
// The probe at load and both controller checks read them here, each deciding for itself what the
// answer means (it8915_registers.h names the versions).
#pragma once

#include <cstdint>

#include "gpu/i2c_bus.h"

struct FirmwareVersion {
    uint32_t nWord;  // high byte * 256 + low byte; a byte whose read failed counts as 0
    bool bBothRead;
};

// Reads the low, then the high version byte.
FirmwareVersion ReadFirmwareVersion(const I2cBus& bus, I2cRoute route = I2cRoute::GpuVendor);

// Bits 0..3 of the capability byte (0 when its read fails). The register before it is read first,
// as the firmware expects, and its value is dropped.
uint32_t ReadCapabilityBits(const I2cBus& bus);
