// The "cpuidsdk" section of a scenario: the machine's system-monitoring SDK and what it reports.
#pragma once

#include <string>

#include "scenario_reading.h"
#include "sensor_sdk_config.h"

namespace bench {

SensorSdkConfig ReadSensorSdk(const Json& value, const std::string& path);

}  // namespace bench
