#include "gpu/i2c_transport.h"

#include "gpu/adlx_binding.h"
#include "gpu/adlx_ref.h"
#include "gpu/nvapi_binding.h"

nvapi::NV_I2C_INFO_V3 g_I2cInfo;
uint32_t g_nI2cReadFlags;

namespace {

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

constexpr int kNoVendor = -1;

}  // namespace

int I2cReadByte(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* value) {
    switch (entry.vendor) {
        case kGpuVendorAmd:
            return AdlxRead(entry, devAddress, reg, value, 1, false);
        case kGpuVendorNvidia:
            return i2c_transport::NvRead(entry, devAddress, reg, value, 1);
        default:
            return kNoVendor;
    }
}

int i2c_transport::ReadBlockOtherVendor(const GpuEntry& entry, uint8_t devAddress, uint8_t reg, uint8_t* buffer,
                                        uint8_t length) {
    return entry.vendor == kGpuVendorAmd ? AdlxRead(entry, devAddress, reg, buffer, length, true) : kNoVendor;
}
