// Named register contents that a scenario can start a device from.
#pragma once

#include <string>
#include <string_view>

#include "i2c_device.h"

namespace bench {

// Fills the device with the named preset; false when there is no such preset.
bool ApplyPreset(std::string_view name, I2cDevice& device);
// The known names, for error messages: "a", "b".
std::string PresetNames();

}  // namespace bench
