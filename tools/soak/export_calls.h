// The nineteen exports as the soak calls them: how often each one comes up, arguments drawn at
// random (identifiers of boards there are and are not, extreme values, now and then a null
// pointer), and whether its answer is one the export documents.
#pragma once

#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "module_export_table.h"

// Random arguments for one call.
class Draw {
public:
    explicit Draw(uint32_t seed) : m_engine(seed) {}

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool OneIn(int n) { return Between(1, n) == 1; }
    // A board's bus number, one that matches no board, or an extreme.
    int GpuId();
    // A QLXSW key: inside the helper's groups, outside them, or below 1.
    int Key();
    // `pointer`, or now and then null; Reset() forgets whether any was.
    template <typename T>
    T* Maybe(T* pointer) {
        if (!OneIn(kNullOneIn)) return pointer;
        m_anyNull = true;
        return nullptr;
    }
    bool AnyNull() const { return m_anyNull; }
    void Reset() { m_anyNull = false; }
    std::mt19937& Engine() { return m_engine; }

private:
    static constexpr int kNullOneIn = 40;
    std::mt19937 m_engine;
    bool m_anyNull = false;
};

// What the soak keeps between calls: the size of the catalogue, which sizes the host's array, and
// the number of its first sensor.
struct SoakState {
    int sensorCount = 0;  // 0 until a start has built the catalogue
    int32_t firstNumber = 0;
};

// One call's answer and whether the export documents it for the arguments it was given.
struct Answer {
    int code = 0;
    bool documented = true;
    std::string arguments;  // what was passed, for a report of an undocumented answer
};

struct ExportCall {
    ModuleExport id;
    int weight;  // calls in 10,000
    Answer (*call)(const ModuleExports& api, Draw& draw, SoakState& state);
};

// The table, one row per export; weights favour the exports that do not start a process: a probe launches one or two
// helpers with a 100 ms pause each, and a reading query after a release launches one.
const std::vector<ExportCall>& ExportCalls();
