// The control interface of TorvexBench.h.
#include "TorvexBench.h"
#include "process_bench.h"

using bench::Bench;

extern "C" {

int TorvexBench_LoadScenarioText(const char* jsonText) {
    if (!jsonText) return -1;
    return ProcessBench().LoadText(jsonText);
}

int TorvexBench_LoadScenarioFile(const char* path) {
    if (!path) return -1;
    return ProcessBench().LoadFile(path);
}

void TorvexBench_LoadDefaultScenario(void) { ProcessBench().LoadDefault(); }

const char* TorvexBench_LastError(void) { return ProcessBench().LastError(); }

const char* TorvexBench_ScenarioName(void) {
    return ProcessBench().With([](Bench& b) { return b.CurrentMachine().name.c_str(); });
}

int TorvexBench_SetRegister(int gpuIndex, int devAddress, int reg, int value) {
    return ProcessBench().With([&](Bench& b) { return b.SetRegister(gpuIndex, devAddress, reg, value); });
}

int TorvexBench_GetRegister(int gpuIndex, int devAddress, int reg) {
    return ProcessBench().With([&](Bench& b) { return b.GetRegister(gpuIndex, devAddress, reg); });
}

int TorvexBench_FailRegister(int gpuIndex, int devAddress, int reg, int reads, int status) {
    return ProcessBench().With([&](Bench& b) { return b.FailRegister(gpuIndex, devAddress, reg, reads, status); });
}

void TorvexBench_SetLively(int lively) {
    ProcessBench().With([&](Bench& b) { b.SetLively(lively != 0); });
}

void TorvexBench_SetLogEnabled(int enabled) {
    ProcessBench().With([&](Bench& b) { b.Log().SetEnabled(enabled != 0); });
}

int TorvexBench_LogCount(void) {
    return ProcessBench().With([](Bench& b) { return static_cast<int>(b.Log().Count()); });
}

int TorvexBench_LogEntry(int index, TorvexBenchI2cRecord* out) {
    return ProcessBench().With([&](Bench& b) {
        const TorvexBenchI2cRecord* record = index >= 0 ? b.Log().At(static_cast<size_t>(index)) : nullptr;
        if (!record || !out) return -1;
        *out = *record;
        return 0;
    });
}

void TorvexBench_ClearLog(void) {
    ProcessBench().With([](Bench& b) { b.Log().Clear(); });
}

void TorvexBench_HoldReads(int milliseconds) { SetReadHoldMs(milliseconds); }

int64_t TorvexBench_Counter(const char* name) {
    if (!name) return -1;
    return ProcessBench().With([&](Bench& b) { return b.Counter(name); });
}

}  // extern "C"
