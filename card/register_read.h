// Single-register reads as the board's probes and drivers use them.
#pragma once

#include <cstdint>

#include "gpu/gpu_entry.h"
#include "gpu/i2c_transport.h"

inline bool ReadRegister(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* value) {
    return I2cReadByte(entry, devAddress, reg, value) == 0;
}

// A register whose read fails counts as 0 (the transport does not promise what it leaves behind).
inline uint8_t ReadRegisterOrZero(const GpuEntry& entry, uint8_t devAddress, uint8_t reg) {
    uint8_t value = 0;
    return ReadRegister(entry, devAddress, reg, &value) ? value : 0;
}

// The same for the board controller's address, which every probe and export reads.
inline bool ReadBoardByte(const GpuEntry& entry, uint8_t reg, uint8_t* value) {
    return ReadRegister(entry, kBoardDeviceAddress, reg, value);
}
inline uint8_t ReadBoardByteOrZero(const GpuEntry& entry, uint8_t reg) {
    return ReadRegisterOrZero(entry, kBoardDeviceAddress, reg);
}
