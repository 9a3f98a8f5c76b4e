// The helper process and what the module asks it. The channel starts a helper build, questions it
// over its pipe and remembers which build reported the QLXSW device and whether it has started the
// helper since the last release. Each operation is a whole sequence of exchanges; whoever owns the
// channel runs them one at a time, so that two threads never interleave their exchanges or see the
// build and the launch flag half-changed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class HelperChannel {
public:
    // Asks the 32-bit helper build whether the QLXSW device is there, and the 64-bit build only
    // when the 32-bit one said no; each build is told to end right after it answered. 1 when a build
    // reported the device (a helper that cannot be reached counts as reporting it), 0 when neither
    // did. Remembers the build that reported it ("x86", "x64", or "unknown" when none did).
    int ProbeQLXSW();

    // The reading list of the build the last probe chose, launching that build first unless it was
    // launched since the last release; the list {0} when no build was chosen. Throws
    // std::invalid_argument or std::out_of_range when the answer does not convert.
    std::vector<int32_t> QueryQLXSWReadings();

    // Tells the helper to end and forgets that it was started; the next reading query launches it
    // again.
    void Release();

private:
    std::string m_strHelperArch = "unknown";
    bool m_bHelperRunning = false;
};
