// Start-up of the GPU vendor interface, GPU listing, bus numbers and the I2C transport, run against
// the bench's vendor libraries. Every test is its own process, so InitGpuAccess runs once in each.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "TorvexBench.h"
#include "bus_list_setting.h"
#include "debug_capture.h"
#include "gpu_access.h"
#include "gpu_discovery.h"
#include "gpu_table.h"
#include "i2c_transport.h"
#include "stdout_capture.h"
#include "win32_handles.h"

namespace {

::testing::AssertionResult Loaded(const char* json) {
    if (TorvexBench_LoadScenarioText(json) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << TorvexBench_LastError();
}

int64_t Count(const char* counter) { return TorvexBench_Counter(counter); }

TorvexBenchI2cRecord LogEntry(int index) {
    TorvexBenchI2cRecord record{};
    EXPECT_EQ(0, TorvexBench_LogEntry(index, &record)) << "no log entry " << index;
    return record;
}

// What the module holds on ADLX GPUs and lists, as unloading would let go of it.
void ReleaseGpuTable() {
    g_pScratchGpu.Reset();
    g_pGpuList.Reset();
    for (GpuEntry& entry : g_GpuEntries) entry = GpuEntry{};
}

constexpr wchar_t kNvidiaFailed[] = L"GPU i2c_B initial fail!\nPlease check NV driver!\n";

// ---- NVIDIA ---------------------------------------------------------------------------------------

constexpr char kNvidiaMachine[] = R"({
  "adl": {"present": true}, "adlx": {"present": true},
  "gpus": [
    {"vendor": "nvidia", "bus": 3,
     "devices": {"0x56": {"registers": {"0x10": [17, 34, 51, 68, 85, 102, 119, 136, 153]}}}},
    {"vendor": "nvidia", "busQuery": "fail"}
  ]})";

TEST(GpuAccessNvidia, ChoosesNvidiaAndTouchesNoAmdLibrary) {
    ASSERT_TRUE(Loaded(kNvidiaMachine));
    DebugOutputCapture debug;
    EXPECT_EQ(0, InitGpuAccess());
    EXPECT_EQ(L"", debug.Text());
    EXPECT_EQ(0, Count("atiadlxy.loads"));
    EXPECT_EQ(0, Count("amdadlx32.loads"));

    ASSERT_EQ(2, g_nGpuCount);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(kGpuVendorNvidia, g_GpuEntries[i].vendor);
        EXPECT_EQ(g_hNvGpus[i], g_GpuEntries[i].hNvGpu);
    }
    EXPECT_NE(g_GpuEntries[0].hNvGpu, g_GpuEntries[1].hNvGpu);
    EXPECT_EQ(nvapi::NV_I2C_INFO_VER3, g_I2cInfo.version);
    EXPECT_EQ(1u, g_nI2cReadFlags);

    int32_t bus = 255;
    EXPECT_EQ(0, QueryGpuBusNumber(g_GpuEntries[0], &bus));
    EXPECT_EQ(3, bus);
    bus = 255;
    EXPECT_NE(0, QueryGpuBusNumber(g_GpuEntries[1], &bus));
    EXPECT_EQ(255, bus);
    GpuEntry amd;
    amd.vendor = kGpuVendorAmd;
    EXPECT_EQ(-1, QueryGpuBusNumber(amd, &bus));
    EXPECT_EQ(255, bus);
}

TEST(GpuAccessNvidia, EveryReadIsOneTransactionWithTheWholeRecord) {
    ASSERT_TRUE(Loaded(kNvidiaMachine));
    ASSERT_EQ(0, InitGpuAccess());
    TorvexBench_ClearLog();

    uint8_t value = 0;
    EXPECT_EQ(0, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0x12, &value));
    EXPECT_EQ(51, value);
    uint8_t block[8] = {};
    EXPECT_EQ(0, I2cReadBlock(g_GpuEntries[0], kBoardDeviceAddress, 0x11, block, 8));
    const uint8_t expected[8] = {34, 51, 68, 85, 102, 119, 136, 153};
    EXPECT_EQ(0, std::memcmp(expected, block, 8));

    ASSERT_EQ(2, TorvexBench_LogCount());
    for (int i = 0; i < 2; ++i) {
        const TorvexBenchI2cRecord record = LogEntry(i);
        SCOPED_TRACE(i);
        EXPECT_EQ(TorvexBenchCall_NvI2CReadEx, record.nCall);
        EXPECT_EQ(0, record.nGpuIndex);
        EXPECT_EQ(0x56, record.nDevAddress);
        EXPECT_EQ(i == 0 ? 0x12 : 0x11, record.nRegister);
        EXPECT_EQ(i == 0 ? 1 : 8, record.nLength);
        EXPECT_EQ(0x3002Cu, record.nvVersion);
        EXPECT_EQ(0u, record.nvDisplayMask);
        EXPECT_EQ(0u, record.nvIsDDCPort);
        EXPECT_EQ(1u, record.nvRegAddrSize);
        EXPECT_EQ(0xFFFFu, record.nvI2cSpeed);
        EXPECT_EQ(4u, record.nvI2cSpeedKhz);
        EXPECT_EQ(1u, record.nvPortId);
        EXPECT_EQ(1u, record.nvIsPortIdSet);
        EXPECT_EQ(0, record.nvFlagsPtrNull);
        EXPECT_EQ(1u, record.nvFlagsValue);
    }
    EXPECT_EQ(block, g_I2cInfo.pbData);
}

TEST(GpuAccessNvidia, FailuresPassThroughWithoutRetry) {
    ASSERT_TRUE(Loaded(kNvidiaMachine));
    ASSERT_EQ(0, InitGpuAccess());
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0x12, 1, nvapi::NVAPI_PORTID_NOT_FOUND));
    const int64_t before = Count("nvapi.i2c");
    uint8_t value = 0;
    EXPECT_EQ(nvapi::NVAPI_PORTID_NOT_FOUND, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0x12, &value));
    EXPECT_EQ(before + 1, Count("nvapi.i2c"));
    EXPECT_EQ(0, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0x12, &value));
    // The device address byte goes to the driver as given; nothing answers there.
    EXPECT_NE(0, I2cReadByte(g_GpuEntries[0], 0xA0, 0x12, &value));
    EXPECT_EQ(0xA0, LogEntry(TorvexBench_LogCount() - 1).nDevAddress);
}

TEST(GpuAccessNvidia, FrameResolvesEachFunctionOnceAndRunsALoneBeforeHook) {
    ASSERT_TRUE(Loaded(R"({"nvapi": {"hooks": "before"},
                           "gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x00": 1}}}}]})"));
    ASSERT_EQ(0, InitGpuAccess());
    EXPECT_EQ(1, Count("nvapi.hook_before"));  // the listing
    const int64_t queries = Count("nvapi.query");
    uint8_t value = 0;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0, &value));
    EXPECT_EQ(queries + 1, Count("nvapi.query"));
    EXPECT_EQ(4, Count("nvapi.hook_before"));
    EXPECT_EQ(0, Count("nvapi.hook_after"));
    EXPECT_EQ(1, Count("nvapi.initialize"));
}

TEST(GpuAccessNvidia, DriverOfferingBothHooksGetsNeitherCalled) {
    ASSERT_TRUE(Loaded(R"({"nvapi": {"hooks": "before-and-after"},
                           "gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x00": 1}}}}]})"));
    ASSERT_EQ(0, InitGpuAccess());
    uint8_t value = 0;
    EXPECT_EQ(0, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0, &value));
    EXPECT_EQ(0, Count("nvapi.hook_before"));
    EXPECT_EQ(0, Count("nvapi.hook_after"));
}

// ---- Fallback to AMD --------------------------------------------------------------------------------

constexpr char kNvapiWithoutGpusAndTwoAmd[] = R"({
  "nvapi": {"present": true},
  "gpus": [
    {"vendor": "amd", "bus": "0x0A", "device": 2, "function": 1, "adapterIndex": 7},
    {"vendor": "amd", "bus": "0x21", "adapterIndex": 3}
  ]})";

TEST(GpuAccessFallback, NvapiWithoutGpusSetsTheRecordThenAmdBusesComeFromTheMapping) {
    ASSERT_TRUE(Loaded(kNvapiWithoutGpusAndTwoAmd));
    DebugOutputCapture debug;
    StdoutCapture out;
    EXPECT_EQ(0, InitGpuAccess());
    EXPECT_EQ(std::wstring(kNvidiaFailed) + L"ADLX initialized successfullyadlMapping is nullptr: 0.", debug.Text());
    EXPECT_EQ("Get BDF from ADLXGPU bus: 10, device: 2, function: 1\n"
              "Get BDF from ADLXGPU bus: 33, device: 0, function: 0\n",
              out.Finish());

    EXPECT_EQ(nvapi::NV_I2C_INFO_VER3, g_I2cInfo.version);
    EXPECT_EQ(0u, g_I2cInfo.displayMask);
    EXPECT_EQ(0u, g_I2cInfo.bIsDDCPort);
    EXPECT_EQ(0xFFFFu, g_I2cInfo.i2cSpeed);
    EXPECT_EQ(4u, g_I2cInfo.i2cSpeedKhz);
    EXPECT_EQ(1u, g_I2cInfo.portId);
    EXPECT_EQ(1u, g_I2cInfo.bIsPortIdSet);
    EXPECT_EQ(1u, g_nI2cReadFlags);

    ASSERT_EQ(2, g_nGpuCount);
    EXPECT_EQ(10, g_GpuEntries[0].nBusNumber);
    EXPECT_EQ(33, g_GpuEntries[1].nBusNumber);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(kGpuVendorAmd, g_GpuEntries[i].vendor);
        EXPECT_EQ(nullptr, g_GpuEntries[i].hNvGpu);
        EXPECT_TRUE(g_GpuEntries[i].spAdlxGpu);
    }
    EXPECT_EQ(1, Count("adlx.init_with_adl"));
    EXPECT_EQ(1, Count("adlx.init"));
    EXPECT_EQ(0, Count("adlx.invalid_object"));
}

TEST(GpuAccessFallback, NeitherVendorGivesMinus3) {
    ASSERT_TRUE(Loaded(R"({"gpus": []})"));
    DebugOutputCapture debug;
    EXPECT_EQ(-3, InitGpuAccess());
    EXPECT_EQ(kNvidiaFailed, debug.Text());
    EXPECT_EQ(0, Count("amdadlx32.loads"));
    EXPECT_EQ(0u, g_I2cInfo.version);  // NVAPI never came up
    EXPECT_EQ(0, g_nGpuCount);
}

// ---- AMD start-up -----------------------------------------------------------------------------------

constexpr char kTwoAmdWithoutAdlContext[] = R"({
  "adl": {"context": false},
  "gpus": [{"vendor": "amd", "bus": "0x0A"}, {"vendor": "amd", "bus": "0x21"}]})";

TEST(GpuAccessAmd, WithoutAdlContextAdlxStartsAloneAndTheBusListGivesBuses) {
    BusListSetting setting;
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(L"C0-Bus-0a-Dev-12AB"));
    ASSERT_TRUE(Loaded(kTwoAmdWithoutAdlContext));
    DebugOutputCapture debug;
    StdoutCapture out;
    EXPECT_EQ(0, InitGpuAccess());
    EXPECT_EQ(std::wstring(kNvidiaFailed) +
                  L"ADLX initialization failedadlMapping is nullptr: 1."
                  L"[GPUInfo] Raw registry value: [C0-Bus-0a-Dev-12AB]\n"
                  L"[GPUInfo] Successfully parsed entry 1: C0 Bus=0a Dev=12AB\n",
              debug.Text());
    EXPECT_EQ("", out.Finish());
    EXPECT_EQ(0, Count("adlx.init_with_adl"));
    EXPECT_EQ(1, Count("adlx.init"));
    EXPECT_EQ(0, Count("adlx.mapping"));
    ASSERT_EQ(2, g_nGpuCount);
    EXPECT_EQ(10, g_GpuEntries[0].nBusNumber);
    EXPECT_EQ(0, g_GpuEntries[1].nBusNumber);
}

TEST(GpuAccessAmd, WithoutMappingTheBusListItemsGoToTheEntriesInOrder) {
    BusListSetting setting;
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(L"C0-Bus-03-Dev-1234_junk_C1-Bus-0A-Dev-5678"));
    ASSERT_TRUE(Loaded(R"({"adlx": {"mapping": false},
                           "gpus": [{"vendor": "amd", "bus": 1}, {"vendor": "amd", "bus": 2}]})"));
    DebugOutputCapture debug;
    EXPECT_EQ(0, InitGpuAccess());
    EXPECT_TRUE(debug.Contains(L"ADLX initialized successfullyadlMapping is nullptr: 1."));
    EXPECT_TRUE(debug.Contains(L"[GPUInfo] Invalid entry format: junk\n"));
    ASSERT_EQ(2, g_nGpuCount);
    EXPECT_EQ(3, g_GpuEntries[0].nBusNumber);
    EXPECT_EQ(10, g_GpuEntries[1].nBusNumber);
}

TEST(GpuAccessAmd, OversizedBusListIsRefused) {
    BusListSetting setting;
    ASSERT_EQ(ERROR_SUCCESS, setting.Write(std::wstring(2499, L'C')));  // 5000 bytes with the terminator
    ASSERT_TRUE(Loaded(kTwoAmdWithoutAdlContext));
    DebugOutputCapture debug;
    EXPECT_EQ(0, InitGpuAccess());
    EXPECT_TRUE(debug.Contains(L"adlMapping is nullptr: 1.[GPUInfo] Error Data\n")) << debug.Text().substr(0, 200);
    EXPECT_FALSE(debug.Contains(L"Raw registry value"));
    EXPECT_EQ(0, g_GpuEntries[0].nBusNumber);
}

TEST(GpuAccessAmd, MissingSettingKeyIsReportedWithItsErrorCode) {
    BusListSetting setting;
    setting.RemoveKey();
    ASSERT_TRUE(Loaded(kTwoAmdWithoutAdlContext));
    DebugOutputCapture debug;
    EXPECT_EQ(0, InitGpuAccess());
    const std::wstring text = debug.Text();
    const size_t report = text.find(L"[GPUInfo] ");
    ASSERT_NE(std::wstring::npos, report) << text;
    const std::wstring line = text.substr(report);
    EXPECT_EQ(line.size() - 4, line.find(L"0x2\n")) << line;  // ERROR_FILE_NOT_FOUND, at the very end
    EXPECT_EQ(0, g_GpuEntries[0].nBusNumber);
}

TEST(GpuAccessAmd, MissingAdlLibraryGivesMinus3) {
    ASSERT_TRUE(Loaded(R"({"adl": {"present": false}, "gpus": [{"vendor": "amd", "bus": 1}]})"));
    DebugOutputCapture debug;
    EXPECT_EQ(-3, InitGpuAccess());
    EXPECT_EQ(kNvidiaFailed, debug.Text());
    EXPECT_EQ(0, Count("amdadlx32.loads"));
}

TEST(GpuAccessAmd, AdlxThatCannotStartGivesMinus3) {
    ASSERT_TRUE(Loaded(R"({"adlx": {"initialize": 3, "initializeWithAdl": 3},
                           "gpus": [{"vendor": "amd", "bus": 1}]})"));
    DebugOutputCapture debug;
    EXPECT_EQ(-3, InitGpuAccess());
    EXPECT_EQ(std::wstring(kNvidiaFailed) + L"ADLX initialization failedadlMapping is nullptr: 1.", debug.Text());
    EXPECT_EQ(0, Count("adlx.getgpus"));
}

class GpuAccessAmdList : public ::testing::TestWithParam<const char*> {};

TEST_P(GpuAccessAmdList, UnusableGpuListGivesMinus2) {
    const std::string scenario = std::string(R"({"adlx": {"gpuList": ")") + GetParam() +
                                 R"("}, "gpus": [{"vendor": "amd", "bus": 1}]})";
    ASSERT_TRUE(Loaded(scenario.c_str()));
    EXPECT_EQ(-2, InitGpuAccess());
    EXPECT_EQ(1, Count("adlx.getgpus"));
    EXPECT_EQ(0, g_nGpuCount);
}
INSTANTIATE_TEST_SUITE_P(FailingOrEmpty, GpuAccessAmdList, ::testing::Values("fail", "empty"));

// ---- AMD transport ----------------------------------------------------------------------------------

constexpr char kAmdBoard[] = R"({
  "gpus": [{"vendor": "amd", "bus": 5,
            "devices": {"0x56": {"registers": {"0x20": [1, 2, 3, 4, 5, 6, 7, 8, 9]}}}}]})";

TEST(GpuAccessAmdTransport, ByteAndBlockReadsUseOneFreshI2cInterfaceEach) {
    ASSERT_TRUE(Loaded(kAmdBoard));
    ASSERT_EQ(0, InitGpuAccess());
    TorvexBench_ClearLog();
    uint8_t value = 0;
    EXPECT_EQ(0, I2cReadByte(g_GpuEntries[0], kBoardDeviceAddress, 0x22, &value));
    EXPECT_EQ(3, value);
    uint8_t block[8] = {};
    EXPECT_EQ(0, I2cReadBlock(g_GpuEntries[0], kBoardDeviceAddress, 0x21, block, 8));
    const uint8_t expected[8] = {2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(0, std::memcmp(expected, block, 8));
    EXPECT_EQ(2, Count("adlx.geti2c"));

    ASSERT_EQ(2, TorvexBench_LogCount());
    const TorvexBenchI2cRecord byteRead = LogEntry(0);
    const TorvexBenchI2cRecord blockRead = LogEntry(1);
    EXPECT_EQ(TorvexBenchCall_AdlxRead, byteRead.nCall);
    EXPECT_EQ(TorvexBenchCall_AdlxRepeatedStartRead, blockRead.nCall);
    EXPECT_EQ(1, byteRead.nLength);
    EXPECT_EQ(8, blockRead.nLength);
    for (const TorvexBenchI2cRecord& record : {byteRead, blockRead}) {
        EXPECT_EQ(0, record.nGpuIndex);
        EXPECT_EQ(0x56, record.nDevAddress);
        EXPECT_EQ(1, record.adlxLine);
        EXPECT_EQ(100, record.adlxSpeed);
    }
    EXPECT_EQ(0x22, byteRead.nRegister);
    EXPECT_EQ(0x21, blockRead.nRegister);
}

TEST(GpuAccessAmdTransport, FailuresPassThroughAndReferencesBalance) {
    ASSERT_TRUE(Loaded(kAmdBoard));
    ASSERT_EQ(0, InitGpuAccess());
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0x20, 1, adlx::ADLX_NOT_SUPPORTED));
    uint8_t block[4] = {};
    EXPECT_EQ(adlx::ADLX_NOT_SUPPORTED, I2cReadBlock(g_GpuEntries[0], kBoardDeviceAddress, 0x20, block, 4));
    EXPECT_EQ(1, Count("adlx.i2c"));

    // Only the table, the list and the scratch reference still hold anything.
    EXPECT_GT(Count("adlx.refs"), 0);
    ReleaseGpuTable();
    EXPECT_EQ(0, Count("adlx.refs"));
    EXPECT_EQ(0, Count("adlx.invalid_object"));
}

TEST(GpuTransport, EntryOfNoVendorReadsNothing) {
    ASSERT_TRUE(Loaded(kNvidiaMachine));
    ASSERT_EQ(0, InitGpuAccess());
    TorvexBench_ClearLog();
    GpuEntry none = g_GpuEntries[0];
    none.vendor = kGpuVendorNone;
    uint8_t buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_EQ(-1, I2cReadByte(none, kBoardDeviceAddress, 0x10, buffer));
    EXPECT_EQ(-1, I2cReadBlock(none, kBoardDeviceAddress, 0x10, buffer, 4));
    for (uint8_t byte : buffer) EXPECT_EQ(0xAA, byte);
    EXPECT_EQ(0, TorvexBench_LogCount());
}

}  // namespace
