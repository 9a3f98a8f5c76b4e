// libFuzzer entry: any text must give a machine or an error message, never a crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bench::ScenarioResult result = bench::ParseScenario(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!result.ok && result.error.empty()) __builtin_trap();
    return 0;
}
