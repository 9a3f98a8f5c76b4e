// The system-monitoring SDK of a simulated machine: whether cpuidsdk.dll is there and how it
// starts, and the devices with their sensors that it reports. A scenario's "cpuidsdk" section
// describes it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace bench {

struct SdkSensor {
    int32_t classCode = 0;
    int32_t id = 0;
    std::optional<std::string> name;  // 8-bit text; none: the SDK hands out a null string
    int32_t raw = 0;
    // Reading k (0 after SdkInit, one more after each SdkRefresh) takes element k modulo the
    // length of each list.
    std::vector<float> values{0.0f};
    std::vector<bool> answers{true};  // false: SdkSensorInfo answers 0 for that reading
    float minimum = 0.0f;
    float maximum = 0.0f;
};

struct SdkDevice {
    int32_t classCode = 0;
    std::optional<std::string> name;  // none: SdkDeviceName gives null
    std::vector<SdkSensor> sensors;   // a sensor's index counts within its class, in this order
    // Answers of SdkSensorCount that differ from what the device has.
    std::optional<int32_t> allSensorsCount;  // for the class code -1
    std::map<int32_t, int32_t> classCounts;  // per class code
};

struct SensorSdkConfig {
    bool present = false;
    std::set<uint32_t> unbound;  // identifiers QueryInterface answers with null
    int32_t initResult = 1;
    int32_t initError = 0;  // written to SdkInit's two error outputs
    int32_t initExtendedError = 0;
    uint32_t version = 0x01000000;
    std::optional<int32_t> deviceCount;  // SdkDeviceCount's answer instead of the list's length
    std::vector<SdkDevice> devices;
};

// The identifier the SDK gives a sensor unless the scenario names one: the device in bits 22 to
// 27, the class code in bits 12 to 21 and the sensor's index within its class below.
int32_t DefaultSensorId(size_t device, int32_t classCode, size_t indexInClass);

}  // namespace bench
