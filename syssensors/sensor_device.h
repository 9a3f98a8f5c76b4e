// One device of the SDK as the catalogue keeps it.
#pragma once

#include <cstdint>
#include <string>

struct SensorDevice {
    int32_t nDeviceIndex = 0;  // the SDK's index of the device
    std::u16string strClass;   // its class text, made unique across devices ("CPU", "CPU_1")
    std::u16string strName;    // its name, or "Device <index>"
    int32_t nSensorCount = 0;  // the SDK's count of all its sensors when the catalogue was built
};
