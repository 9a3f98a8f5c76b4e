// What the driver search asks of the system, found out once per process: the Windows build
// number, whether the process runs under WOW64, whether Windows is 7 or later. Any number of
// threads may ask at once.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

#include "gpu/driver_system.h"

class SystemFacts {
public:
    explicit SystemFacts(DriverSystem& system) : m_system(system) {}
    SystemFacts(const SystemFacts&) = delete;
    SystemFacts& operator=(const SystemFacts&) = delete;

    // The registry's "CurrentBuildNumber", read as decimal text. 0 when it cannot be read or is
    // not a number; it is read again on the next ask while it is 0.
    uint32_t BuildNumber();
    // Nothing when it cannot be determined; asked only once either way.
    std::optional<bool> Wow64();
    bool Windows7OrLater();

private:
    DriverSystem& m_system;
    std::mutex m_lock;
    uint32_t m_buildNumber = 0;
    bool m_wow64Asked = false;
    std::optional<bool> m_wow64;
    std::optional<bool> m_windows7OrLater;
};
