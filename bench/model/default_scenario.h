// The machine the bench runs when no scenario is named: the text of scenarios/default.json,
// built into the library.
#pragma once

namespace bench {

extern const char* const kDefaultScenarioJson;

}  // namespace bench
