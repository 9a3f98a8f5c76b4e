// Bench machines for the board tests and what the tests observe of them: the I2C traffic and
// output buffers that tell whether an export wrote anything.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "TorvexBench.h"
#include "loaded_module.h"
#include "poisoned.h"
#include "test_values.h"

constexpr int kBoard = 0x56;

// A scenario GPU whose board controller runs this firmware version and holds these further
// registers (JSON members such as R"("0xFD": 7)"); a negative bus makes the bus query fail.
inline std::string Gpu(int bus, int firmware, const std::string& registers = "", const char* vendor = "nvidia") {
    return std::string("{\"vendor\": \"") + vendor + "\", " +
           (bus < 0 ? std::string("\"busQuery\": \"fail\"") : "\"bus\": " + std::to_string(bus)) +
           ", \"devices\": {\"0x56\": {\"registers\": {\"0x1E\": [" + std::to_string(firmware & 0xFF) + ", " +
           std::to_string(firmware >> 8) + "]" + (registers.empty() ? "" : ", " + registers) + "}}}}";
}

// Replaces the bench's machine with these GPUs (comma-separated Gpu() texts).
inline void LoadMachine(const std::string& gpus) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(("{\"gpus\": [" + gpus + "]}").c_str())) << TorvexBench_LastError();
}

inline void SetRegisters(int gpuIndex, int reg, std::initializer_list<int> bytes) {
    for (int byte : bytes) ASSERT_EQ(0, TorvexBench_SetRegister(gpuIndex, kBoard, reg++, byte));
}

// The controller keeps its three usage counters last first, each big-endian.
inline void SetCounters(int gpuIndex, uint32_t first, uint32_t second, uint32_t third) {
    int reg = 0xC0;
    for (uint32_t counter : {third, second, first})
        for (int shift = 24; shift >= 0; shift -= 8) SetRegisters(gpuIndex, reg++, {int(counter >> shift) & 0xFF});
}

// The I2C transactions since the last call, as "GPU:register" or "GPU:register/length". A read
// that is not a successful NVAPI read of the board at 100 kHz with a one-byte register address
// says so.
inline Strings Traffic() {
    Strings out;
    TorvexBenchI2cRecord r{};
    for (int i = 0; TorvexBench_LogEntry(i, &r) == 0; ++i) {
        char text[32];
        std::snprintf(text, sizeof(text), r.nLength == 1 ? "%d:%02X" : "%d:%02X/%d", r.nGpuIndex, r.nRegister,
                      r.nLength);
        out.push_back(text);
        if (r.nCall == TorvexBenchCall_AdlxRepeatedStartRead) out.back() += " adlx";
        if (r.nCall == TorvexBenchCall_NvI2CReadEx && (r.nvI2cSpeedKhz != 4 || r.nvRegAddrSize != 1))
            out.back() += " not 100 kHz";
        if (r.nDevAddress != kBoard || r.nResult != 0) out.back() += " failed";
    }
    TorvexBench_ClearLog();
    return out;
}

inline int Count(const Strings& traffic, const std::string& transaction) {
    return static_cast<int>(std::count(traffic.begin(), traffic.end(), transaction));
}

// Every output a board export can write, poisoned.
struct BoardOutputs {
    FunctionSupport support = Poisoned<FunctionSupport>();
    uint8_t flag = Poisoned<uint8_t>();
    ThermalMap map = Poisoned<ThermalMap>();
    QLXSWPowerStatus power = Poisoned<QLXSWPowerStatus>();
    uint32_t first = Poisoned<uint32_t>(), second = first, third = first;
    int32_t state = Poisoned<int32_t>();
    GSensorData raw = Poisoned<GSensorData>(), filtered = raw;

    bool Untouched() const {
        return ::Untouched(support, flag, map, power, first, second, third, state, raw, filtered);
    }
};
