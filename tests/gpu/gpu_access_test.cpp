// Start-up of the GPU vendor interface, GPU listing, bus numbers and the I2C transport, run against
// the bench's vendor libraries. Every test is its own process, so InitGpuAccess runs once in each.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "TorvexBench.h"
#include "bus_list_setting.h"
#include "debug_capture.h"
#include "gpu/gpu_access.h"
#include "gpu/gpu_discovery.h"
#include "gpu/gpu_table.h"
#include "gpu/i2c_bus.h"
#include "stdout_capture.h"

namespace {

::testing::AssertionResult Loaded(const char* json) {
    if (TorvexBench_LoadScenarioText(json) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << TorvexBench_LastError();
}

int64_t Count(const char* counter) { return TorvexBench_Counter(counter); }

constexpr uint8_t kBoard = 0x56;
constexpr wchar_t kNvidiaFailed[] = L"GPU i2c_B initial fail!\nPlease check NV driver!\n";

// Two NVIDIA GPUs, the second failing its bus query, with a driver that offers the before-call
// hook; the AMD libraries are there too.
class NvidiaMachine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loaded(R"({
          "nvapi": {"hooks": "before"}, "adl": {"present": true}, "adlx": {"present": true},
          "gpus": [
            {"vendor": "nvidia", "bus": 3,
             "devices": {"0x56": {"registers": {"0x10": [17, 34, 51, 68, 85, 102, 119, 136, 153]}}}},
            {"vendor": "nvidia", "busQuery": "fail"}]})"));
        DebugOutputCapture debug;
        ASSERT_EQ(0, InitGpuAccess());
        startDebug = debug.Text();
        ASSERT_EQ(2, g_nGpuCount);
        bus.emplace(g_GpuEntries[0]);
        none.vendor = kGpuVendorNone;
        TorvexBench_ClearLog();
    }

    // The transactions since set-up as (call, GPU, device address, register, length).
    static std::vector<std::tuple<int, int, int, int, int>> Transactions() {
        std::vector<std::tuple<int, int, int, int, int>> out;
        TorvexBenchI2cRecord r{};
        for (int i = 0; TorvexBench_LogEntry(i, &r) == 0; ++i)
            out.emplace_back(r.nCall, r.nGpuIndex, r.nDevAddress, r.nRegister, r.nLength);
        return out;
    }

    std::wstring startDebug;
    std::optional<I2cBus> bus;  // GPU 0's
    GpuEntry none;  // an entry of neither vendor
};

TEST_F(NvidiaMachine, StartsThroughNvapiAloneAndListsEveryGpu) {
    EXPECT_EQ(L"", startDebug);
    EXPECT_EQ(0, Count("atiadlxy.loads") + Count("amdadlx32.loads"));
    EXPECT_EQ(1, Count("nvapi.initialize"));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(kGpuVendorNvidia, g_GpuEntries[i].vendor);
        EXPECT_EQ(g_hNvGpus[i], g_GpuEntries[i].hNvGpu);
    }
}

TEST_F(NvidiaMachine, BusNumberIsQueriedOnlyForNvidiaEntries) {
    int32_t busNumber = 255;
    EXPECT_EQ(0, QueryGpuBusNumber(g_GpuEntries[0], &busNumber));
    EXPECT_EQ(3, busNumber);
    busNumber = 255;
    EXPECT_NE(0, QueryGpuBusNumber(g_GpuEntries[1], &busNumber));
    EXPECT_EQ(-1, QueryGpuBusNumber(none, &busNumber));
    EXPECT_EQ(255, busNumber);
}

TEST_F(NvidiaMachine, ByteAndBlockReadsAreOneTransactionEach) {
    uint8_t value = 0;
    EXPECT_EQ(0, bus->ReadByte(kBoard, 0x12, &value));
    EXPECT_EQ(51, value);
    uint8_t block[8] = {};
    EXPECT_EQ(0, bus->ReadBlock(kBoard, 0x11, block, 8));
    EXPECT_EQ((std::vector<uint8_t>{34, 51, 68, 85, 102, 119, 136, 153}), std::vector<uint8_t>(block, block + 8));
    EXPECT_EQ((std::vector<std::tuple<int, int, int, int, int>>{{TorvexBenchCall_NvI2CReadEx, 0, 0x56, 0x12, 1},
                                                                {TorvexBenchCall_NvI2CReadEx, 0, 0x56, 0x11, 8}}),
              Transactions());
}

TEST_F(NvidiaMachine, EveryReadFillsTheWholeTransactionRecord) {
    uint8_t block[8] = {};
    ASSERT_EQ(0, bus->ReadByte(kBoard, 0x12, block));
    ASSERT_EQ(0, bus->ReadBlock(kBoard, 0x11, block, 8));
    ASSERT_EQ(2, TorvexBench_LogCount());
    for (int i = 0; i < 2; ++i) {
        TorvexBenchI2cRecord r{};
        ASSERT_EQ(0, TorvexBench_LogEntry(i, &r));
        // Every field of the record, and the flags word behind the third argument.
        EXPECT_EQ(std::make_tuple(0x3002Cu, 0u, 0u, 1u, 0xFFFFu, 4u, 1u, 1u, 0, 1u),
                  std::make_tuple(r.nvVersion, r.nvDisplayMask, r.nvIsDDCPort, r.nvRegAddrSize, r.nvI2cSpeed,
                                  r.nvI2cSpeedKhz, r.nvPortId, r.nvIsPortIdSet, r.nvFlagsPtrNull, r.nvFlagsValue))
            << "read " << i;
    }
}

TEST_F(NvidiaMachine, FailureComesBackAsTheDriverGaveItWithoutARetry) {
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0x12, 1, nvapi::NVAPI_PORTID_NOT_FOUND));
    uint8_t value = 0;
    EXPECT_EQ(nvapi::NVAPI_PORTID_NOT_FOUND, bus->ReadByte(kBoard, 0x12, &value));
    EXPECT_EQ(1, TorvexBench_LogCount());
    EXPECT_EQ(0, bus->ReadByte(kBoard, 0x12, &value));
}

TEST_F(NvidiaMachine, DeviceAddressGoesToTheDriverAsGiven) {
    uint8_t value = 0;
    EXPECT_NE(0, bus->ReadByte(0xA0, 0x12, &value));
    EXPECT_EQ((std::vector<std::tuple<int, int, int, int, int>>{{TorvexBenchCall_NvI2CReadEx, 0, 0xA0, 0x12, 1}}),
              Transactions());
}

TEST_F(NvidiaMachine, BusOfNoVendorReadsNothing) {
    const I2cBus noVendor(none);
    uint8_t value = 0xAA;
    EXPECT_EQ(-1, noVendor.ReadByte(kBoard, 0x10, &value));
    EXPECT_EQ(-1, noVendor.ReadBlock(kBoard, 0x10, &value, 1));
    EXPECT_EQ(0xAA, value);
    EXPECT_EQ(0, TorvexBench_LogCount());
}

TEST_F(NvidiaMachine, ReadFunctionIsLookedUpOnceAndTheHookRunsOnEveryCall) {
    const int64_t queries = Count("nvapi.query");
    const int64_t hooks = Count("nvapi.hook_before");  // the listing's
    uint8_t value = 0;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(0, bus->ReadByte(kBoard, 0x10, &value));
    EXPECT_EQ(queries + 1, Count("nvapi.query"));
    EXPECT_EQ(hooks + 3, Count("nvapi.hook_before"));
}

TEST(GpuAccess, DriverOfferingBothHooksGetsNeitherCalled) {
    ASSERT_TRUE(Loaded(R"({"nvapi": {"hooks": "before-and-after"}, "gpus": [{"vendor": "nvidia", "bus": 1}]})"));
    ASSERT_EQ(0, InitGpuAccess());  // the listing goes through the frame
    EXPECT_EQ(0, Count("nvapi.hook_before") + Count("nvapi.hook_after"));
}

TEST(GpuAccess, AFunctionTheDriverDoesNotHaveGivesNoImplementationAndIsAskedForAgain) {
    ASSERT_TRUE(Loaded(R"({"nvapi": {"withhold": ["NvAPI_I2CReadEx"]},
                           "gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {}}}]})"));
    ASSERT_EQ(0, InitGpuAccess());
    uint8_t value = 0xAB;
    const int64_t queriesBefore = Count("nvapi.query");
    EXPECT_EQ(nvapi::NVAPI_NO_IMPLEMENTATION, I2cBus(g_GpuEntries[0]).ReadByte(kBoard, 0x10, &value));
    EXPECT_EQ(nvapi::NVAPI_NO_IMPLEMENTATION, I2cBus(g_GpuEntries[0]).ReadByte(kBoard, 0x10, &value));
    EXPECT_EQ(0xAB, value);
    EXPECT_EQ(queriesBefore + 2, Count("nvapi.query"));
    EXPECT_EQ(0, TorvexBench_LogCount());
}

// NVAPI comes up but lists no GPU; two AMD GPUs whose PCI locations the ADL mapping gives.
class AmdMachine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loaded(R"({"nvapi": {"present": true}, "gpus": [
          {"vendor": "amd", "bus": "0x0A", "device": 2, "function": 1, "adapterIndex": 7,
           "devices": {"0x56": {"registers": {"0x20": [1, 2, 3, 4, 5, 6, 7, 8, 9]}}}},
          {"vendor": "amd", "bus": "0x21", "adapterIndex": 3}]})"));
        DebugOutputCapture debug;
        StdoutCapture out;
        ASSERT_EQ(0, InitGpuAccess());
        startDebug = debug.Text();
        startOutput = out.Finish();
        ASSERT_EQ(2, g_nGpuCount);
        bus.emplace(g_GpuEntries[0]);
        TorvexBench_ClearLog();
    }

    std::wstring startDebug;
    std::string startOutput;
    std::optional<I2cBus> bus;  // GPU 0's
};

TEST_F(AmdMachine, NvapiWithoutGpusFallsBackToAmdAndTakesBusesFromTheMapping) {
    EXPECT_EQ(std::wstring(kNvidiaFailed) + L"ADLX initialized successfullyadlMapping is nullptr: 0.", startDebug);
    EXPECT_EQ("Get BDF from ADLXGPU bus: 10, device: 2, function: 1\n"
              "Get BDF from ADLXGPU bus: 33, device: 0, function: 0\n",
              startOutput);
    EXPECT_EQ(10, g_GpuEntries[0].nBusNumber);
    EXPECT_EQ(33, g_GpuEntries[1].nBusNumber);
    EXPECT_EQ(kGpuVendorAmd, g_GpuEntries[0].vendor);
    EXPECT_EQ(kGpuVendorAmd, g_GpuEntries[1].vendor);
}

TEST_F(AmdMachine, NvapiTransactionRecordIsSetUpAlthoughNvapiListedNoGpu) {
    EXPECT_EQ(nvapi::NV_I2C_INFO_VER3, g_I2cInfo.version);
    EXPECT_EQ(1u, g_nI2cReadFlags);
}

TEST_F(AmdMachine, EachReadIsOneTransactionOnAFreshI2cInterface) {
    uint8_t block[8] = {};
    EXPECT_EQ(0, bus->ReadByte(kBoard, 0x22, block));
    EXPECT_EQ(3, block[0]);
    EXPECT_EQ(0, bus->ReadBlock(kBoard, 0x21, block, 8));
    EXPECT_EQ((std::vector<uint8_t>{2, 3, 4, 5, 6, 7, 8, 9}), std::vector<uint8_t>(block, block + 8));
    EXPECT_EQ(2, Count("adlx.geti2c"));
    ASSERT_EQ(2, TorvexBench_LogCount());
    const int lengths[2] = {1, 8};
    for (int i = 0; i < 2; ++i) {
        TorvexBenchI2cRecord r{};
        ASSERT_EQ(0, TorvexBench_LogEntry(i, &r));
        EXPECT_EQ(std::make_tuple(i == 0 ? TorvexBenchCall_AdlxRead : TorvexBenchCall_AdlxRepeatedStartRead, 0, 0x56,
                                  0x22 - i, lengths[i], 1, 100),
                  std::make_tuple(r.nCall, r.nGpuIndex, r.nDevAddress, r.nRegister, r.nLength, r.adlxLine, r.adlxSpeed))
            << "read " << i;
    }
    EXPECT_EQ(0, Count("adlx.invalid_object"));
}

TEST_F(AmdMachine, FailureComesBackAsAdlxGaveIt) {
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0x20, 1, adlx::ADLX_NOT_SUPPORTED));
    uint8_t block[4] = {};
    EXPECT_EQ(adlx::ADLX_NOT_SUPPORTED, bus->ReadBlock(kBoard, 0x20, block, 4));
    EXPECT_EQ(1, TorvexBench_LogCount());
}

// Two AMD GPUs and no ADL context: ADLX starts without the mapping, so the buses come from the
// registry's bus list, which the test holds for its whole run.
class AmdMachineWithoutMapping : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, setting.Write(L"C0-Bus-0a-Dev-12AB"));
        ASSERT_TRUE(Loaded(R"({"adl": {"context": false},
                               "gpus": [{"vendor": "amd", "bus": 5}, {"vendor": "amd", "bus": 6}]})"));
        ASSERT_EQ(0, InitGpuAccess());
        ASSERT_EQ(2, g_nGpuCount);
    }

    BusListSetting setting;
    DebugOutputCapture debug;
};

TEST_F(AmdMachineWithoutMapping, AdlxStartsAloneAndBusesComeFromTheRegistryList) {
    EXPECT_EQ(std::wstring(kNvidiaFailed) +
                  L"ADLX initialization failedadlMapping is nullptr: 1."
                  L"[GPUInfo] Raw registry value: [C0-Bus-0a-Dev-12AB]\n"
                  L"[GPUInfo] Successfully parsed entry 1: C0 Bus=0a Dev=12AB\n",
              debug.Text());
    EXPECT_EQ(0, Count("adlx.init_with_adl") + Count("adlx.mapping"));
    EXPECT_EQ(1, Count("adlx.init"));
    EXPECT_EQ(10, g_GpuEntries[0].nBusNumber);
    EXPECT_EQ(0, g_GpuEntries[1].nBusNumber);  // the list names one GPU
}

TEST_F(AmdMachineWithoutMapping, OversizedBusListGivesNoBusNumberAndSaysSo) {
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(std::wstring(2048, L'C')));  // over 4096 bytes
    g_GpuEntries[0].nBusNumber = 77;
    debug.Clear();
    AssignAmdBusNumbersFromBusList();
    EXPECT_EQ(L"[GPUInfo] Error Data\n", debug.Text());
    EXPECT_EQ(77, g_GpuEntries[0].nBusNumber);
}

TEST_F(AmdMachineWithoutMapping, MissingSettingsKeyGivesNoBusNumberAndNamesTheError) {
    setting.RemoveKey();
    g_GpuEntries[0].nBusNumber = 77;
    debug.Clear();
    AssignAmdBusNumbersFromBusList();
    const std::wstring report = debug.Text();
    EXPECT_EQ(0u, report.rfind(L"[GPUInfo] ", 0)) << report;
    EXPECT_EQ(report.size() - 4, report.find(L"0x2\n")) << report;  // ERROR_FILE_NOT_FOUND, last
    EXPECT_EQ(77, g_GpuEntries[0].nBusNumber);
}

struct StartFailure {
    const char* name;
    const char* scenario;
    int result;
    const wchar_t* debugAfterNvidia;
};
void PrintTo(const StartFailure& failure, std::ostream* out) { *out << failure.name; }

class GpuAccessStartFailure : public ::testing::TestWithParam<StartFailure> {};

TEST_P(GpuAccessStartFailure, LeavesNoGpu) {
    ASSERT_TRUE(Loaded(GetParam().scenario));
    DebugOutputCapture debug;
    EXPECT_EQ(GetParam().result, InitGpuAccess());
    EXPECT_EQ(std::wstring(kNvidiaFailed) + GetParam().debugAfterNvidia, debug.Text());
    EXPECT_EQ(0, g_nGpuCount);
    EXPECT_EQ(0u, g_I2cInfo.version);  // NVAPI never came up
}

INSTANTIATE_TEST_SUITE_P(
    Machines, GpuAccessStartFailure,
    ::testing::Values(
        // Neither NVAPI nor ADL: ADLX, although present, is not used.
        StartFailure{"NoVendor", R"({"adlx": {"present": true}, "gpus": []})", -3, L""},
        StartFailure{"AdlxDoesNotStart",
                     R"({"adlx": {"initialize": 3, "initializeWithAdl": 3}, "gpus": [{"vendor": "amd", "bus": 1}]})",
                     -3, L"ADLX initialization failedadlMapping is nullptr: 1."},
        StartFailure{"GpuListFails", R"({"adlx": {"gpuList": "fail"}, "gpus": [{"vendor": "amd", "bus": 1}]})", -2,
                     L"ADLX initialized successfullyadlMapping is nullptr: 0."},
        StartFailure{"GpuListEmpty", R"({"adlx": {"gpuList": "empty"}, "gpus": [{"vendor": "amd", "bus": 1}]})", -2,
                     L"ADLX initialized successfullyadlMapping is nullptr: 0."}),
    [](const ::testing::TestParamInfo<StartFailure>& info) { return std::string(info.param.name); });

}  // namespace
