// Named counters of vendor activity, read by tests through TorvexBench_Counter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace bench {

enum class CounterId {
    NvapiLoads,            // "nvapi.loads": DLL_PROCESS_ATTACH of nvapi.dll, refused ones included
    AtiadlxyLoads,         // "atiadlxy.loads"
    Amdadlx32Loads,        // "amdadlx32.loads"
    NvapiQuery,            // "nvapi.query": nvapi_QueryInterface calls
    NvapiQueryUnknown,     // "nvapi.query_unknown": of those, ids answered with null
    NvapiInitialize,       // "nvapi.initialize"
    NvapiEnum,             // "nvapi.enum"
    NvapiBusId,            // "nvapi.busid"
    NvapiI2c,              // "nvapi.i2c": NvAPI_I2CReadEx calls, refused ones included
    NvapiHookBefore,       // "nvapi.hook_before"
    NvapiHookAfter,        // "nvapi.hook_after"
    AdlCreate,             // "adl.create"
    AdlMalloc,             // "adl.malloc": calls of the caller's allocation callback
    AdlDestroy,            // "adl.destroy"
    AdlxQueryVersion,      // "adlx.query_version": ADLXQueryFullVersion and ADLXQueryVersion
    AdlxInit,              // "adlx.init": ADLXInitialize and ADLXInitializeWithIncompatibleDriver
    AdlxInitWithAdl,       // "adlx.init_with_adl"
    AdlxTerminate,         // "adlx.terminate"
    AdlxReleaseCallback,   // "adlx.release_callback": calls of the caller's release callback
    AdlxReleaseNotCleared, // "adlx.release_not_cleared": release callbacks that left the pointer set
    AdlxGetGpus,           // "adlx.getgpus"
    AdlxGetI2c,            // "adlx.geti2c"
    AdlxMapping,           // "adlx.mapping": calls of any mapping slot
    AdlxI2c,               // "adlx.i2c": Read and RepeatedStartRead calls, refused ones included
    AdlxInvalidObject,     // "adlx.invalid_object": calls through an unknown or released interface
    I2cRefused,            // "i2c.refused": transactions refused for what the caller passed
    Count
};

// "adlx.refs" is not stored: the ADLX objects report it.
constexpr std::string_view kAdlxRefsCounterName = "adlx.refs";

std::optional<CounterId> CounterByName(std::string_view name);

class Counters {
public:
    void Add(CounterId c) { ++m_values[static_cast<size_t>(c)]; }
    int64_t Get(CounterId c) const { return m_values[static_cast<size_t>(c)]; }
    void Reset() { m_values.fill(0); }

private:
    std::array<int64_t, static_cast<size_t>(CounterId::Count)> m_values{};
};

}  // namespace bench
