#include "gpu/i2c_bus.h"

#include "gpu/adlx_binding.h"
#include "gpu/adlx_ref.h"

nvapi::NV_I2C_INFO_V3 g_I2cInfo;
uint32_t g_nI2cReadFlags;

namespace {

constexpr int kNoVendor = -1;

// One ADLX transaction on a fresh I2C interface of the GPU, released afterwards.
int AdlxRead(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length,
             bool repeatedStart) {
    adlx::IADLXSystem* system = TheAdlxHelper().System();
    if (!system) return adlx::ADLX_FAIL;
    AdlxRef<adlx::IADLXI2C> i2c;
    const adlx::ADLX_RESULT result = system->pVtbl->GetI2C(system, entry.spAdlxGpu.Get(), i2c.ReleaseAndGetAddressOf());
    if (!i2c) return adlx::Succeeded(result) ? adlx::ADLX_FAIL : result;
    const auto read = repeatedStart ? i2c.Get()->pVtbl->RepeatedStartRead : i2c.Get()->pVtbl->Read;
    return read(i2c.Get(), adlx::kI2cLineOem, adlx::kI2cSpeedKhz, devAddress, reg, length, buffer);
}

}  // namespace

int I2cBus::ReadByte(uint8_t devAddress, uint8_t reg, uint8_t* value, I2cRoute route) const {
    if (route == I2cRoute::NvApi) return NvRead(m_entry, devAddress, reg, value, 1);
    switch (m_entry.vendor) {
        case kGpuVendorAmd:
            return AdlxRead(m_entry, devAddress, reg, value, 1, false);
        case kGpuVendorNvidia:
            return NvRead(m_entry, devAddress, reg, value, 1);
        default:
            return kNoVendor;
    }
}

int I2cBus::ReadBlockOtherVendor(uint8_t devAddress, uint8_t reg, uint8_t* buffer, uint8_t length) const {
    return m_entry.vendor == kGpuVendorAmd ? AdlxRead(m_entry, devAddress, reg, buffer, length, true) : kNoVendor;
}
