// Reads from a device on a GPU's I2C bus through the GPU vendor's driver. Read-only: a register is
// read by sending its one-byte number, then reading one or more data bytes.
#pragma once

#include <cstdint>

#include "gpu/gpu_entry.h"
#include "gpu/nvapi_binding.h"
#include "vendor/vendor_abi.h"

// The one NVIDIA transaction record every NVIDIA read reuses; InitGpuAccess sets its constant
// fields, each read its variable ones.
extern nvapi::NV_I2C_INFO_V3 g_I2cInfo;
// Its address is the third argument of every NvAPI_I2CReadEx call; InitGpuAccess sets it to 1.
extern uint32_t g_nI2cReadFlags;

// Device address bytes are in 8-bit form (7-bit address shifted left by one).
constexpr uint8_t kBoardDeviceAddress = 0x56;

// The block read's NVIDIA case is inline: out of line, its calls and argument copies cost a board
// read about as much as decoding the block does.
namespace i2c_transport {

// One NVIDIA transaction on the shared record.
inline int NvRead(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) {
    nvapi::NvU8 registerNumber = reg;
    g_I2cInfo.i2cDevAddress = devAddress;
    g_I2cInfo.pbI2cRegAddress = &registerNumber;
    g_I2cInfo.regAddrSize = 1;
    g_I2cInfo.pbData = buffer;
    g_I2cInfo.cbSize = length;
    return NvAPI_I2CReadEx(entry.hNvGpu, &g_I2cInfo, &g_nI2cReadFlags);
}

// I2cReadBlock for every entry but an NVIDIA one.
int ReadBlockOtherVendor(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length);

}  // namespace i2c_transport

// Both return the vendor's status unchanged: 0 success, NVAPI failures negative, ADLX failures
// positive; -1 for an entry of neither vendor (nothing is read). Never trust the buffer after a
// failure.
int I2cReadByte(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* value);
inline int I2cReadBlock(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) {
    if (entry.vendor == kGpuVendorNvidia) return i2c_transport::NvRead(entry, devAddress, reg, buffer, length);
    return i2c_transport::ReadBlockOtherVendor(entry, devAddress, reg, buffer, length);
}

// Every device operation selects 100 kHz on the NVIDIA record before its reads.
inline void SelectI2cSpeed100k() { g_I2cInfo.i2cSpeedKhz = nvapi::NVAPI_I2C_SPEED_100KHZ; }
