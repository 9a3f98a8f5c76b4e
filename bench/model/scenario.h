// Scenario files: a machine written as JSON. Parsing is strict: an unknown key or a bad value is
// an error that names where it is (for example gpus[0].devices.0x56.registers.0x1E).
#pragma once

#include <string>
#include <string_view>

#include "machine.h"

namespace bench {

struct ScenarioResult {
    bool ok = false;
    Machine machine;
    std::string error;  // when !ok: what is wrong, and where
};

ScenarioResult ParseScenario(std::string_view jsonText);
ScenarioResult ReadScenarioFile(const std::string& path);

}  // namespace bench
