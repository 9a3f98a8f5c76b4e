#include "module/group_rules.h"

#include <atomic>

#include "module/module_objects.h"

namespace {

// Set once, never cleared. Read by the board group without the helper's lock, so it is atomic.
std::atomic<bool> g_bQLXSWPresent{false};

}  // namespace

void NoteQLXSWPresent() { g_bQLXSWPresent = true; }

bool QLXSWPresent() { return g_bQLXSWPresent; }

void ReleaseHelperAfterFailedSensorStart() { g_helper.Lock()->Release(); }
