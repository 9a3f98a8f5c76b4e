// An NVIDIA I2C read request filled the way the module fills it: one byte of register 0x1E at
// device 0x56, on the GPU's port 1, at 100 kHz.
#pragma once

#include "vendor_abi.h"

struct NvRequest {
    nvapi::NvU8 reg = 0x1E;
    nvapi::NvU8 data[256] = {};
    nvapi::NvU32 flags = 1;
    nvapi::NV_I2C_INFO_V3 info{};

    NvRequest() {
        info.version = nvapi::NV_I2C_INFO_VER3;
        info.i2cDevAddress = 0x56;
        info.pbI2cRegAddress = &reg;
        info.regAddrSize = 1;
        info.pbData = data;
        info.cbSize = 1;
        info.i2cSpeed = nvapi::NVAPI_I2C_SPEED_DEPRECATED;
        info.i2cSpeedKhz = nvapi::NVAPI_I2C_SPEED_100KHZ;
        info.portId = 1;
        info.bIsPortIdSet = 1;
    }
    // The record points into the object itself.
    NvRequest(const NvRequest&) = delete;
    NvRequest& operator=(const NvRequest&) = delete;
};
