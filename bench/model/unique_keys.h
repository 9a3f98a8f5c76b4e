// JSON text read so that a key given twice in one object is a mistake, as a register given twice
// is: plain JSON parsing keeps one of the two silently.
#pragma once

#include <string_view>

#include "scenario_reading.h"

namespace bench {

// The parsed value; throws ScenarioError naming where a key is given twice (for example
// gpus[0].devices.0x56.registers.0x1E), or nlohmann's parse error for text that is not JSON.
Json ParseWithUniqueKeys(std::string_view text);

}  // namespace bench
