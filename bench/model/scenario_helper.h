// The "helper" section of a scenario: the bench's helper process (helper_config.h).
#pragma once

#include <string>

#include "helper_config.h"
#include "scenario_reading.h"

namespace bench {

HelperConfig ReadHelper(const Json& value, const std::string& path);

}  // namespace bench
