// An NVIDIA I2C read request filled the way the module fills it: one byte of register 0x1E at
// device 0x56, on the GPU's port 1, at 100 kHz. The record points into the object itself.
#pragma once

#include "vendor/vendor_abi.h"

struct NvRequest {
    nvapi::NvU8 reg = 0x1E;
    nvapi::NvU8 data[256] = {};
    nvapi::NvU32 flags = 1;
    // version, display mask, DDC port, device, register, its size, buffer, size, old speed, speed, port, port set
    nvapi::NV_I2C_INFO_V3 info{nvapi::NV_I2C_INFO_VER3, 0, 0, 0x56, &reg, 1, data, 1,
                               nvapi::NVAPI_I2C_SPEED_DEPRECATED, nvapi::NVAPI_I2C_SPEED_100KHZ, 1, 1};
};
