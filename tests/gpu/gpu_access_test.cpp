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

TorvexBenchI2cRecord Logged(int index) {
    TorvexBenchI2cRecord r{};
    EXPECT_EQ(0, TorvexBench_LogEntry(index, &r));
    return r;
}

// Two NVIDIA GPUs, the second failing its bus query, with a driver that offers the before-call
// hook; the AMD libraries are there too.
const char kNvidiaScenario[] = R"({
  "nvapi": {"hooks": "before"}, "adl": {"present": true}, "adlx": {"present": true},
  "gpus": [
    {"vendor": "nvidia", "bus": 3,
     "devices": {"0x56": {"registers": {"0x10": [17, 34, 51, 68, 85, 102, 119, 136, 153]}}}},
    {"vendor": "nvidia", "busQuery": "fail"}]})";
// NVAPI comes up but lists no GPU; two AMD GPUs whose PCI locations the ADL mapping gives.
const char kAmdScenario[] = R"({"nvapi": {"present": true}, "gpus": [
  {"vendor": "amd", "bus": "0x0A", "device": 2, "function": 1, "adapterIndex": 7,
   "devices": {"0x56": {"registers": {"0x20": [1, 2, 3, 4, 5, 6, 7, 8, 9]}}}},
  {"vendor": "amd", "bus": "0x21", "adapterIndex": 3}]})";

struct StartUp {
    const char* name;
    const char* scenario;
    int result;
    std::wstring debug;
    const char* out;         // standard output
    std::vector<int> buses;  // one per listed GPU; NVIDIA's are queried later
    GpuVendor vendor;        // of every listed GPU
    const wchar_t* busList = nullptr;  // the registry's, held for the test's run
};
void PrintTo(const StartUp& start, std::ostream* out) { *out << start.name; }

const std::wstring kAdlxStarted =
    std::wstring(kNvidiaFailed) + L"ADLX initialized successfullyadlMapping is nullptr: 0.";
const std::wstring kAdlxAlone = std::wstring(kNvidiaFailed) + L"ADLX initialization failedadlMapping is nullptr: 1.";

// What the start chose, listed and said, machine by machine.
const StartUp kStartUps[] = {
    {"NvapiAlone", kNvidiaScenario, 0, L"", "", {0, 0}, kGpuVendorNvidia},
    {"NvapiWithoutGpusFallsBackToAmdAndTakesBusesFromTheMapping", kAmdScenario, 0, kAdlxStarted,
     "Get BDF from ADLXGPU bus: 10, device: 2, function: 1\nGet BDF from ADLXGPU bus: 33, device: 0, function: 0\n",
     {10, 33}, kGpuVendorAmd},
    // Two AMD GPUs and no ADL context: ADLX starts without the mapping, so the buses come from the
    // registry's bus list, which names one GPU only.
    {"AdlxAloneTakesBusesFromTheRegistryList",
     R"({"adl": {"context": false}, "gpus": [{"vendor": "amd", "bus": 5}, {"vendor": "amd", "bus": 6}]})", 0,
     kAdlxAlone + L"[GPUInfo] Raw registry value: [C0-Bus-0a-Dev-12AB]\n"
                  L"[GPUInfo] Successfully parsed entry 1: C0 Bus=0a Dev=12AB\n",
     "", {10, 0}, kGpuVendorAmd, L"C0-Bus-0a-Dev-12AB"},
    // Neither NVAPI nor ADL: ADLX, although present, is not used.
    {"NoVendor", R"({"adlx": {"present": true}, "gpus": []})", -3, kNvidiaFailed, "", {}, kGpuVendorNone},
    {"AdlxDoesNotStart",
     R"({"adlx": {"initialize": 3, "initializeWithAdl": 3}, "gpus": [{"vendor": "amd", "bus": 1}]})", -3, kAdlxAlone,
     "", {}, kGpuVendorNone},
    {"GpuListFails", R"({"adlx": {"gpuList": "fail"}, "gpus": [{"vendor": "amd", "bus": 1}]})", -2, kAdlxStarted, "",
     {}, kGpuVendorNone},
    {"GpuListEmpty", R"({"adlx": {"gpuList": "empty"}, "gpus": [{"vendor": "amd", "bus": 1}]})", -2, kAdlxStarted, "",
     {}, kGpuVendorNone},
};

class GpuAccessStart : public ::testing::TestWithParam<StartUp> {};

TEST_P(GpuAccessStart, ChoosesTheVendorAndListsTheGpus) {
    const StartUp& start = GetParam();
    std::optional<BusListSetting> setting;
    if (start.busList) {
        ASSERT_EQ(ERROR_SUCCESS, setting.emplace().Write(start.busList));
    }
    ASSERT_TRUE(Loaded(start.scenario));
    DebugOutputCapture debug;
    StdoutCapture out;
    EXPECT_EQ(start.result, InitGpuAccess());
    EXPECT_EQ(start.debug, debug.Text());
    EXPECT_EQ(start.out, out.Finish());
    ASSERT_EQ(static_cast<int>(start.buses.size()), g_nGpuCount);
    for (int i = 0; i < g_nGpuCount; ++i) {
        EXPECT_EQ(start.buses[i], g_GpuEntries[i].nBusNumber) << "GPU " << i;
        EXPECT_EQ(start.vendor, g_GpuEntries[i].vendor) << "GPU " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, GpuAccessStart, ::testing::ValuesIn(kStartUps),
                         [](const ::testing::TestParamInfo<StartUp>& info) { return std::string(info.param.name); });

// A machine of two GPUs started, with the log cleared, for the reads.
template <const char* kScenario>
class StartedMachine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Loaded(kScenario));
        ASSERT_EQ(0, InitGpuAccess());
        ASSERT_EQ(2, g_nGpuCount);
        bus.emplace(g_GpuEntries[0]);
        TorvexBench_ClearLog();
    }

    std::optional<I2cBus> bus;  // GPU 0's
};
using NvidiaMachine = StartedMachine<kNvidiaScenario>;
using AmdMachine = StartedMachine<kAmdScenario>;

// Each read is one transaction, with the display mask, the speed and the flags word behind the
// third argument as the driver wants them. The read function is looked up once; the driver's
// before-call hook runs on every call. (That a failed read is not retried the board tests see.)
TEST_F(NvidiaMachine, EachReadIsOneTransactionOnTheWholeRecord) {
    const int64_t queries = Count("nvapi.query");
    const int64_t hooks = Count("nvapi.hook_before");  // the listing's
    uint8_t value = 0;
    EXPECT_EQ(0, bus->ReadByte(kBoard, 0x12, &value));
    EXPECT_EQ(51, value);
    uint8_t block[8] = {};
    EXPECT_EQ(0, bus->ReadBlock(kBoard, 0x11, block, 8));
    EXPECT_NE(0, bus->ReadByte(0xA0, 0x12, &value));  // no device there
    // What each transaction addressed, and through which call, the board tests' traffic shows.
    EXPECT_EQ(3, TorvexBench_LogCount());
    // The bench refuses a record with another version, port or register address size; what it lets
    // pass is checked here.
    for (int i = 0; i < 3; ++i) {
        const TorvexBenchI2cRecord r = Logged(i);
        EXPECT_EQ(std::make_tuple(0u, 4u, 1u), std::make_tuple(r.nvDisplayMask, r.nvI2cSpeedKhz, r.nvFlagsValue)) << i;
    }
    EXPECT_EQ(queries + 1, Count("nvapi.query"));
    EXPECT_EQ(hooks + 3, Count("nvapi.hook_before"));
}

// A driver offering both hooks gets neither called; a function it does not have gives no
// implementation.
TEST(GpuAccess, DriverWithBothHooksAndWithoutTheReadFunction) {
    ASSERT_TRUE(Loaded(R"({"nvapi": {"hooks": "before-and-after", "withhold": ["NvAPI_I2CReadEx"]},
                           "gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {}}}]})"));
    ASSERT_EQ(0, InitGpuAccess());  // the listing goes through the frame
    uint8_t value = 0xAB;
    EXPECT_EQ(nvapi::NVAPI_NO_IMPLEMENTATION, I2cBus(g_GpuEntries[0]).ReadByte(kBoard, 0x10, &value));
    EXPECT_EQ(0xAB, value);
    EXPECT_EQ(0, TorvexBench_LogCount());
    EXPECT_EQ(0, Count("nvapi.hook_before") + Count("nvapi.hook_after"));
}

// The AMD machine (with the mapping) likewise, each read on a fresh I2C interface.
TEST_F(AmdMachine, EachReadIsOneTransactionOnAFreshI2cInterfaceAndFailuresComeBackAsAdlxGaveThem) {
    uint8_t block[8] = {};
    EXPECT_EQ(0, bus->ReadByte(kBoard, 0x22, block));
    EXPECT_EQ(3, block[0]);
    EXPECT_EQ(0, bus->ReadBlock(kBoard, 0x21, block, 8));
    // Each as (call, GPU, device address, register, length, line, speed).
    ASSERT_EQ(2, TorvexBench_LogCount());
    const int calls[] = {TorvexBenchCall_AdlxRead, TorvexBenchCall_AdlxRepeatedStartRead};
    for (int i = 0; i < 2; ++i) {
        const TorvexBenchI2cRecord r = Logged(i);
        EXPECT_EQ(std::make_tuple(calls[i], 0, 0x56, i ? 0x21 : 0x22, i ? 8 : 1, 1, 100),
                  std::make_tuple(r.nCall, r.nGpuIndex, r.nDevAddress, r.nRegister, r.nLength, r.adlxLine, r.adlxSpeed))
            << "read " << i;
    }
    EXPECT_EQ(2, Count("adlx.geti2c"));

    // A failure comes back as ADLX gave it, without a retry.
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0x20, 1, adlx::ADLX_NOT_SUPPORTED));
    EXPECT_EQ(adlx::ADLX_NOT_SUPPORTED, bus->ReadBlock(kBoard, 0x20, block, 4));
    EXPECT_EQ(3, TorvexBench_LogCount()) << "no retry";
}

// An oversized bus list or a missing key gives no bus number, and says why.
TEST(GpuAccess, UnreadableBusListsGiveNoBusNumber) {
    BusListSetting setting;
    g_nGpuCount = 1;
    g_GpuEntries[0].nBusNumber = 77;
    DebugOutputCapture debug;
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(std::wstring(2048, L'C')));  // over 4096 bytes
    AssignAmdBusNumbersFromBusList();
    EXPECT_EQ(L"[GPUInfo] Error Data\n", debug.Text());

    setting.RemoveKey();
    debug.Clear();
    AssignAmdBusNumbersFromBusList();
    EXPECT_EQ(L"[GPUInfo] Failed to open the registry key, error 0x2\n", debug.Text());  // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(77, g_GpuEntries[0].nBusNumber);
}

}  // namespace
