// One reading of everything torvexctl shows about a board: each value together with the code that
// its export returned, so that a refused value can be shown as refused instead of as whatever the
// buffer held.
#pragma once

#include <array>
#include <cstdint>

#include "module_export_table.h"

template <typename T>
struct Reading {
    int code = 0;        // what the export returned
    bool valid = false;  // the export wrote `value`
    T value{};
};

using Counters = std::array<uint32_t, 3>;  // first, second, third counter, as the exports hand them over

struct TiltReading {
    GSensorData raw{};
    GSensorData filtered{};
};

struct BoardSnapshot {
    int gpuId = 0;
    Reading<FunctionSupport> functions;  // capability word and firmware version
    Reading<bool> controller;            // firmware 0x500 or later; the check writes its answer on -1 and -2 too
    Reading<bool> tiltPresent;
    Reading<ThermalMap> thermal;
    Reading<QLXSWPowerStatus> power;
    Reading<Counters> mileageTotal;
    Reading<Counters> mileageLatest;
    Reading<Counters> mileageManual;
    Reading<int32_t> recorderState;  // MileageState
    Reading<TiltReading> tilt;
};

// Reads the board the way a host does: the capability check first, because it refreshes the
// firmware version and capability bits that the other exports' gates test.
BoardSnapshot ReadBoardSnapshot(const ModuleExports& api, int gpuId);

// The stopwatch state and reading alone (what the mileage command prints after each action).
struct StopwatchSnapshot {
    Reading<int32_t> state;
    Reading<Counters> reading;
};
StopwatchSnapshot ReadStopwatch(const ModuleExports& api, int gpuId);
