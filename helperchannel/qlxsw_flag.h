// Set once the QLXSW device has answered, never cleared; while it is set the capability word handed
// to the host also reports power status.
#pragma once

#include <atomic>

extern std::atomic<bool> g_bQLXSWPresent;
