// A GPU's I2C bus as the GPU vendor's driver serves it. Read-only: a register is read by sending
// its one-byte number, then reading one or more data bytes. There is one bus object per GPU; the
// chip drivers of the GPU's board share it and know only their device address and registers.
#pragma once

#include <cstdint>

#include "base/guarded.h"
#include "gpu/gpu_entry.h"
#include "gpu/nvapi_binding.h"
#include "vendor/vendor_abi.h"

// The one NVIDIA transaction record every NVIDIA read of every bus reuses; InitGpuAccess sets its
// constant fields, each read its variable ones.
struct NvI2cTransaction {
    nvapi::NV_I2C_INFO_V3 info;
    // Its address is the third argument of every NvAPI_I2CReadEx call; InitGpuAccess sets it to 1.
    uint32_t readFlags;
};

// Which driver carries a read: the GPU's own vendor, or NVAPI whatever the GPU's vendor (on a GPU
// that NVAPI does not serve, such a read fails).
enum class I2cRoute { GpuVendor, NvApi };

class I2cBus {
public:
    // Keeps its own copy of the entry, and with it one reference on the ADLX GPU.
    explicit I2cBus(const GpuEntry& entry) : m_entry(entry) {}
    I2cBus(const I2cBus&) = delete;
    I2cBus& operator=(const I2cBus&) = delete;

    const GpuEntry& Entry() const { return m_entry; }

    // Device addresses are bytes in 8-bit form (the 7-bit address shifted left by one). Both reads
    // give the driver's status unchanged: 0 success, NVAPI failures negative, ADLX failures
    // positive; -1 on a GPU of neither vendor (nothing is read). Never trust the buffer after a
    // failure. There are no retries.
    int ReadByte(uint8_t devAddress, uint8_t reg, uint8_t* value, I2cRoute route = I2cRoute::GpuVendor) const;
    // The NVIDIA block read is inline: out of line, its call costs a board read a measurable part of
    // what the module adds to the driver's own call.
    int ReadBlock(uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) const {
        if (m_entry.vendor == kGpuVendorNvidia) return NvRead(m_entry, devAddress, reg, buffer, length);
        return ReadBlockOtherVendor(devAddress, reg, buffer, length);
    }

    // Every device operation selects 100 kHz on the NVIDIA record before its reads.
    static void Select100kHz() { s_nvTransaction.Lock()->info.i2cSpeedKhz = nvapi::NVAPI_I2C_SPEED_100KHZ; }
    // Sets the NVIDIA record's fields that no read changes (InitGpuAccess, once NVAPI is up).
    static void PrepareNvTransaction();
    // A copy of the NVIDIA record as it is now.
    static NvI2cTransaction NvTransaction() { return *s_nvTransaction.Lock(); }

private:
    // One NVIDIA transaction on the shared record.
    static int NvRead(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) {
        nvapi::NvU8 registerNumber = reg;
        const auto transaction = s_nvTransaction.Lock();
        nvapi::NV_I2C_INFO_V3& info = transaction->info;
        info.i2cDevAddress = devAddress;
        info.pbI2cRegAddress = &registerNumber;
        info.regAddrSize = 1;
        info.pbData = buffer;
        info.cbSize = length;
        return NvAPI_I2CReadEx(entry.hNvGpu, &info, &transaction->readFlags);
    }
    int ReadBlockOtherVendor(uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) const;

    // Every bus shares the record and NVAPI's binding, so NVIDIA reads on different buses must not
    // overlap either: the record is reachable only under its lock, which each read holds for its
    // whole transaction. Lock order: taken last. Whoever holds another lock (the board registry's)
    // may take it; while it is held no other lock is taken.
    static Guarded<NvI2cTransaction> s_nvTransaction;
    GpuEntry m_entry;
};
