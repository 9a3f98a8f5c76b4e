// Single-register reads as the board's probes and drivers use them.
#pragma once

#include <cstdint>

#include "gpu/i2c_bus.h"

inline bool ReadRegister(const I2cBus& bus, uint8_t devAddress, uint8_t reg, uint8_t* value,
                         I2cRoute route = I2cRoute::GpuVendor) {
    return bus.ReadByte(devAddress, reg, value, route) == 0;
}

// A register whose read fails counts as 0 (the transport does not promise what it leaves behind).
inline uint8_t ReadRegisterOrZero(const I2cBus& bus, uint8_t devAddress, uint8_t reg,
                                  I2cRoute route = I2cRoute::GpuVendor) {
    uint8_t value = 0;
    return ReadRegister(bus, devAddress, reg, &value, route) ? value : 0;
}
