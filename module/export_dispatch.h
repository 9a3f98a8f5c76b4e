// The one shape of every export: check, guard, lock, call, map. The export first checks the
// arguments that decide its answer before anything runs, and answers at once when one fails; then,
// inside ExportGuard, it takes its group's state under that state's own lock, calls into the
// subsystem and maps what comes back to its codes.
#pragma once

#include "base/export_guard.h"
#include "base/guarded.h"

template <typename State, typename Body>
int Dispatch(Guarded<State>& group, Body&& body) noexcept {
    return ExportGuard([&] {
        const auto state = group.Lock();
        return body(*state);
    });
}
