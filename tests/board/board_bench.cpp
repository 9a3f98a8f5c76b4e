#include "board_bench.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>

namespace {

std::string Hex(int value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value);
    return text;
}

nlohmann::json BoardJson(const BoardSetup& board) {
    nlohmann::json registers = nlohmann::json::object();
    for (const auto& [first, bytes] : board.runs) {
        nlohmann::json values = nlohmann::json::array();
        for (int byte : bytes) values.push_back(Hex(byte));
        registers[Hex(first)] = values;
    }
    nlohmann::json device = {{"registers", registers}};
    if (!board.unreadable.empty()) device["unreadable"] = board.unreadable;
    return device;
}

}  // namespace

BoardSetup& BoardSetup::Set(int reg, std::initializer_list<int> bytes) {
    runs.emplace_back(reg, std::vector<int>(bytes));
    return *this;
}

BoardSetup& BoardSetup::Unreadable(const std::string& registers) {
    unreadable.push_back(registers);
    return *this;
}

BoardSetup CapabilityBoard(int firmware, int capabilities) {
    BoardSetup board;
    board.Set(0x1E, {firmware & 0xFF, firmware >> 8}).Set(0xFD, {capabilities});
    return board;
}

BoardSetup IdentifyingBoard(int firmware, int id1, int id2) {
    BoardSetup board;
    board.Set(0x1E, {firmware & 0xFF, firmware >> 8}).Set(0x20, {id1, id2});
    return board;
}

void LoadScenario(const std::string& json) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(json.c_str())) << TorvexBench_LastError() << "\n" << json;
    TorvexBench_SetLively(0);
    TorvexBench_SetLogEnabled(1);
}

namespace {

void LoadMachine(const char* vendor, const std::vector<GpuSetup>& gpus, const nlohmann::json& libraries) {
    nlohmann::json list = nlohmann::json::array();
    for (size_t i = 0; i < gpus.size(); ++i) {
        const GpuSetup& gpu = gpus[i];
        nlohmann::json entry = {{"vendor", vendor}, {"devices", {{Hex(kBoard), BoardJson(gpu.board)}}}};
        if (gpu.bus == kFailingBusQuery) {
            entry["busQuery"] = "fail";
        } else {
            entry["bus"] = gpu.bus;
        }
        if (std::string(vendor) == "amd") entry["adapterIndex"] = i;
        list.push_back(entry);
    }
    nlohmann::json machine = libraries;
    machine["name"] = "board test";
    machine["gpus"] = list;
    LoadScenario(machine.dump());
}

}  // namespace

void LoadNvidiaMachine(const std::vector<GpuSetup>& gpus) {
    LoadMachine("nvidia", gpus,
                {{"nvapi", {{"present", true}, {"enumerate", 0}}}, {"adl", {{"present", false}}},
                 {"adlx", {{"present", false}}}});
}

void LoadAmdMachine(const std::vector<GpuSetup>& gpus) {
    LoadMachine("amd", gpus, {{"nvapi", {{"present", false}}}, {"adl", {{"present", true}}},
                              {"adlx", {{"present", true}, {"mapping", true}}}});
}

void SetBoardRegisters(int gpuIndex, int reg, std::initializer_list<int> bytes) {
    for (int byte : bytes) {
        ASSERT_EQ(0, TorvexBench_SetRegister(gpuIndex, kBoard, reg++, byte));
    }
}

// The controller keeps the counters last first, each big-endian.
void SetCounters(int gpuIndex, uint32_t first, uint32_t second, uint32_t third) {
    int reg = 0xC0;
    for (uint32_t counter : {third, second, first}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            ASSERT_EQ(0, TorvexBench_SetRegister(gpuIndex, kBoard, reg++, (counter >> shift) & 0xFF));
        }
    }
}

std::vector<TorvexBenchI2cRecord> TakeLog() {
    std::vector<TorvexBenchI2cRecord> log(TorvexBench_LogCount());
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(0, TorvexBench_LogEntry(static_cast<int>(i), &log[i]));
    }
    TorvexBench_ClearLog();
    return log;
}

int CountReads(const std::vector<TorvexBenchI2cRecord>& log, int gpuIndex, int reg) {
    int count = 0;
    for (const TorvexBenchI2cRecord& record : log) {
        if (record.nGpuIndex == gpuIndex && record.nDevAddress == kBoard && record.nRegister == reg) ++count;
    }
    return count;
}

std::vector<std::string> Transactions(const std::vector<TorvexBenchI2cRecord>& log) {
    std::vector<std::string> out;
    for (const TorvexBenchI2cRecord& record : log) {
        std::string text = Hex(record.nRegister);
        if (record.nLength != 1) text += "/" + std::to_string(record.nLength);
        out.push_back(text);
    }
    return out;
}
