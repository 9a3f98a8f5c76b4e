#include "counters.h"

namespace bench {
namespace {

constexpr std::string_view kNames[] = {
    "nvapi.loads",        "atiadlxy.loads",     "amdadlx32.loads",
    "nvapi.query",        "nvapi.query_unknown", "nvapi.initialize",
    "nvapi.enum",         "nvapi.busid",        "nvapi.i2c",
    "nvapi.hook_before",  "nvapi.hook_after",   "adl.create",
    "adl.malloc",         "adl.destroy",        "adlx.query_version",
    "adlx.init",          "adlx.init_with_adl", "adlx.terminate",
    "adlx.release_callback", "adlx.release_not_cleared", "adlx.getgpus",
    "adlx.geti2c",        "adlx.mapping",       "adlx.i2c",
    "adlx.invalid_object", "i2c.refused",
};
static_assert(std::size(kNames) == static_cast<size_t>(CounterId::Count), "one name per counter");

}  // namespace

std::optional<CounterId> CounterByName(std::string_view name) {
    for (size_t i = 0; i < std::size(kNames); ++i)
        if (kNames[i] == name) return static_cast<CounterId>(i);
    return std::nullopt;
}

}  // namespace bench
