#include "gpu/i2c_bus.h"

#include "gpu/adlx_binding.h"
#include "gpu/adlx_ref.h"

Guarded<NvI2cTransaction> I2cBus::s_nvTransaction;

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

void I2cBus::PrepareNvTransaction() {
    const auto transaction = s_nvTransaction.Lock();
    nvapi::NV_I2C_INFO_V3& info = transaction->info;
    info.version = nvapi::NV_I2C_INFO_VER3;
    info.displayMask = 0;
    info.bIsDDCPort = 0;  // the GPU's own communication port, not a display's DDC port
    info.i2cSpeed = nvapi::NVAPI_I2C_SPEED_DEPRECATED;
    info.i2cSpeedKhz = nvapi::NVAPI_I2C_SPEED_100KHZ;
    info.portId = 1;
    info.bIsPortIdSet = 1;
    transaction->readFlags = 1;
}

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
