// Machines for the board tests, built on the virtual bench: GPUs whose I2C bus carries one board
// controller (device address byte 0x56) with exactly the registers a test names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "TorvexBench.h"

constexpr int kBoard = 0x56;

struct BoardSetup {
    std::vector<std::pair<int, std::vector<int>>> runs;  // first register, bytes from there on
    std::vector<std::string> unreadable;

    BoardSetup& Set(int reg, std::initializer_list<int> bytes);
    BoardSetup& Unreadable(const std::string& registers);
};

// Firmware above 0x510: reports its capability bits in register 0xFD.
BoardSetup CapabilityBoard(int firmware, int capabilities);
// Firmware up to 0x510: identifies itself with registers 0x20 and 0x21.
BoardSetup IdentifyingBoard(int firmware, int id1, int id2);

struct GpuSetup {
    int bus;  // NVIDIA: kFailingBusQuery makes NvAPI_GPU_GetBusId fail
    BoardSetup board;
};
constexpr int kFailingBusQuery = -1;

// Loads a machine with these GPUs into the bench; the test fails when the bench refuses it.
void LoadNvidiaMachine(const std::vector<GpuSetup>& gpus);
// AMD GPUs, served through ADLX with the ADL mapping giving their bus numbers.
void LoadAmdMachine(const std::vector<GpuSetup>& gpus);
void LoadScenario(const std::string& json);

// Writes bytes into consecutive registers of GPU gpuIndex's board.
void SetBoardRegisters(int gpuIndex, int reg, std::initializer_list<int> bytes);
void SetCounters(int gpuIndex, uint32_t first, uint32_t second, uint32_t third);

std::vector<TorvexBenchI2cRecord> TakeLog();
// Transactions on GPU gpuIndex's board that started at register reg.
int CountReads(const std::vector<TorvexBenchI2cRecord>& log, int gpuIndex, int reg);
// The registers of the transactions, in order ("0x1E", "0xC0/12" for a block).
std::vector<std::string> Transactions(const std::vector<TorvexBenchI2cRecord>& log);
