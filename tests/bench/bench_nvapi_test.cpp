#include <array>
#include <cstring>

#include "bench_fixture.h"
#include "nv_request.h"

using namespace nvapi;

namespace {

class NvapiBench : public BenchFixture {
protected:
    // Loads the scenario, initialises NVAPI and lists the GPUs.
    void Start(const char* json) {
        Load(json);
        ASSERT_EQ(NVAPI_OK, bench.NvInitialize());
        ASSERT_EQ(NVAPI_OK, bench.NvEnumPhysicalGPUs(handles.data(), &count));
    }
    std::array<NvPhysicalGpuHandle, kMaxPhysicalGpus> handles{};
    NvU32 count = 0;
};

}  // namespace

TEST_F(NvapiBench, ServesItsFourFunctionsAndTheHooksTheScenarioAsksFor) {
    Load(kOneNvidiaBoard);
    for (NvU32 id : {kIdInitialize, kIdEnumPhysicalGPUs, kIdGpuGetBusId, kIdI2CReadEx}) EXPECT_TRUE(bench.NvServes(id));
    EXPECT_FALSE(bench.NvServes(kIdBeforeCallHook));
    EXPECT_FALSE(bench.NvServes(0x12345678));
    EXPECT_EQ(6, bench.Counter("nvapi.query"));
    EXPECT_EQ(2, bench.Counter("nvapi.query_unknown"));

    Load(R"({"nvapi": {"hooks": "before"}})");
    EXPECT_TRUE(bench.NvServes(kIdBeforeCallHook));
    EXPECT_FALSE(bench.NvServes(kIdAfterCallHook));
    Load(R"({"nvapi": {"hooks": "before-and-after"}})");
    EXPECT_TRUE(bench.NvServes(kIdBeforeCallHook));
    EXPECT_TRUE(bench.NvServes(kIdAfterCallHook));
}

TEST_F(NvapiBench, NothingAnswersBeforeInitializeSucceeds) {
    Load(R"({"nvapi": {"initialize": -2}, "gpus": [{"vendor": "nvidia", "bus": 1}]})");
    NvU32 count = 99;
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, bench.NvEnumPhysicalGPUs(handles.data(), &count));
    EXPECT_EQ(-2, bench.NvInitialize());
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, bench.NvEnumPhysicalGPUs(handles.data(), &count));
    EXPECT_EQ(99u, count);
    NvRequest request;
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    EXPECT_EQ(2, bench.Counter("nvapi.initialize") + bench.Counter("nvapi.i2c"));
}

TEST_F(NvapiBench, ListsNvidiaGpusOnlyAndAnswersTheirBusNumbers) {
    Start(R"({"gpus": [{"vendor": "nvidia", "bus": 7}, {"vendor": "amd", "bus": 3},
                       {"vendor": "nvidia", "busQuery": "fail"}]})");
    ASSERT_EQ(2u, count);
    NvU32 bus = 255;
    EXPECT_EQ(NVAPI_OK, bench.NvGetBusId(handles[0], &bus));
    EXPECT_EQ(7u, bus);
    bus = 255;
    EXPECT_EQ(NVAPI_ERROR, bench.NvGetBusId(handles[1], &bus));
    EXPECT_EQ(255u, bus) << "a failing bus query writes nothing";
    EXPECT_EQ(NVAPI_INVALID_HANDLE, bench.NvGetBusId(reinterpret_cast<NvPhysicalGpuHandle>(reinterpret_cast<uintptr_t>(handles[0]) + 1), &bus));
    EXPECT_EQ(NVAPI_INVALID_ARGUMENT, bench.NvGetBusId(handles[0], nullptr));
}

TEST_F(NvapiBench, AFailingListingWritesNothing) {
    Load(R"({"nvapi": {"enumerate": -6}, "gpus": [{"vendor": "nvidia", "bus": 1}]})");
    ASSERT_EQ(NVAPI_OK, bench.NvInitialize());
    NvU32 listed = 77;
    EXPECT_EQ(-6, bench.NvEnumPhysicalGPUs(handles.data(), &listed));
    EXPECT_EQ(77u, listed);
    EXPECT_EQ(nullptr, handles[0]);
}

TEST_F(NvapiBench, ABlockReadDeliversTheRegistersAndLogsEveryField) {
    Start(kOneNvidiaBoard);
    NvRequest request;
    request.reg = 0xC0;
    request.info.cbSize = 12;
    request.info.displayMask = 3;
    ASSERT_EQ(NVAPI_OK, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    const uint8_t counters[12] = {0x00, 0x01, 0xE2, 0x40, 0x00, 0x00, 0xB2, 0x6E, 0x00, 0x00, 0x04, 0xD2};
    EXPECT_EQ(0, std::memcmp(counters, request.data, 12));
    EXPECT_EQ(0, request.data[12]) << "nothing beyond cbSize";
    ASSERT_EQ(1u, bench.Log().Count());
    const TorvexBenchI2cRecord& r = *bench.Log().At(0);
    EXPECT_EQ(TorvexBenchCall_NvI2CReadEx, r.nCall);
    EXPECT_EQ(0, r.nGpuIndex);
    EXPECT_EQ(0, r.nResult);
    EXPECT_EQ(0x56, r.nDevAddress);
    EXPECT_EQ(0xC0, r.nRegister);
    EXPECT_EQ(12, r.nLength);
    EXPECT_EQ(NV_I2C_INFO_VER3, r.nvVersion);
    EXPECT_EQ(3u, r.nvDisplayMask);
    EXPECT_EQ(0u, r.nvIsDDCPort);
    EXPECT_EQ(1u, r.nvRegAddrSize);
    EXPECT_EQ(0xFFFFu, r.nvI2cSpeed);
    EXPECT_EQ(4u, r.nvI2cSpeedKhz);
    EXPECT_EQ(1u, r.nvPortId);
    EXPECT_EQ(1u, r.nvIsPortIdSet);
    EXPECT_EQ(0, r.nvRegAddrPtrNull + r.nvDataPtrNull + r.nvFlagsPtrNull);
    EXPECT_EQ(1u, r.nvFlagsValue);
    EXPECT_EQ(0, std::memcmp(counters, r.data, 12));
}

TEST_F(NvapiBench, EveryMisfilledFieldIsRefusedWithTheDriversCodeAndStillLogged) {
    Start(kOneNvidiaBoard);
    const struct {
        const char* what;
        void (*spoil)(NvRequest&);
        NvAPI_Status expected;
    } cases[] = {
        {"version 2", [](NvRequest& r) { r.info.version = MakeVersion(sizeof r.info, 2); }, NVAPI_INCOMPATIBLE_STRUCT_VERSION},
        {"other layout's size", [](NvRequest& r) { r.info.version = MakeVersion(sizeof r.info + 20, 3); },
         NVAPI_INCOMPATIBLE_STRUCT_VERSION},
        {"DDC port", [](NvRequest& r) { r.info.bIsDDCPort = 1; }, NVAPI_PORTID_NOT_FOUND},
        {"port 0", [](NvRequest& r) { r.info.portId = 0; }, NVAPI_PORTID_NOT_FOUND},
        {"port not set", [](NvRequest& r) { r.info.bIsPortIdSet = 0; }, NVAPI_PORTID_NOT_FOUND},
        {"old speed field", [](NvRequest& r) { r.info.i2cSpeed = 100; }, NVAPI_INVALID_ARGUMENT},
        {"speed in kHz", [](NvRequest& r) { r.info.i2cSpeedKhz = 100; }, NVAPI_INVALID_ARGUMENT},
        {"two-byte register", [](NvRequest& r) { r.info.regAddrSize = 2; }, NVAPI_INVALID_ARGUMENT},
        {"no register", [](NvRequest& r) { r.info.pbI2cRegAddress = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {"no buffer", [](NvRequest& r) { r.info.pbData = nullptr; }, NVAPI_INVALID_ARGUMENT},
        {"zero bytes", [](NvRequest& r) { r.info.cbSize = 0; }, NVAPI_INVALID_ARGUMENT},
        {"256 bytes", [](NvRequest& r) { r.info.cbSize = 256; }, NVAPI_INVALID_ARGUMENT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        NvRequest request;
        request.data[0] = 0xCD;
        c.spoil(request);
        EXPECT_EQ(c.expected, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
        EXPECT_EQ(0xCD, request.data[0]);
        EXPECT_EQ(c.expected, bench.Log().At(bench.Log().Count() - 1)->nResult);
    }
    NvRequest request;
    EXPECT_EQ(NVAPI_INVALID_ARGUMENT, bench.NvI2CReadEx(handles[0], &request.info, nullptr));
    EXPECT_EQ(1, bench.Log().At(bench.Log().Count() - 1)->nvFlagsPtrNull);
    EXPECT_EQ(NVAPI_INVALID_ARGUMENT, bench.NvI2CReadEx(handles[0], nullptr, &request.flags));
    EXPECT_EQ(NVAPI_INVALID_HANDLE, bench.NvI2CReadEx(nullptr, &request.info, &request.flags));
    EXPECT_EQ(-1, bench.Log().At(bench.Log().Count() - 1)->nGpuIndex);
    EXPECT_EQ(static_cast<int64_t>(std::size(cases)) + 3, bench.Counter("i2c.refused"));
    EXPECT_EQ(bench.Counter("i2c.refused"), bench.Counter("nvapi.i2c"));
}

TEST_F(NvapiBench, DeviceFailuresReportTheDriversErrorOrTheFaultsStatus) {
    Start(R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {
        "unreadable": ["0x4C-0x4F"], "faults": [{"register": "0x80", "reads": 1, "status": -104}]}}}]})");
    NvRequest request;
    request.info.i2cDevAddress = 0x50;
    EXPECT_EQ(NVAPI_ERROR, bench.NvI2CReadEx(handles[0], &request.info, &request.flags)) << "no such device";
    request.info.i2cDevAddress = 0x56;
    request.reg = 0x4D;
    EXPECT_EQ(NVAPI_ERROR, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    request.reg = 0x80;
    EXPECT_EQ(-104, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    EXPECT_EQ(NVAPI_OK, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    EXPECT_EQ(0, bench.Counter("i2c.refused")) << "device failures are not refusals";
}

TEST_F(NvapiBench, TheLogCanBeSwitchedOffAndKeepsOnlyTheNewestRecords) {
    Start(kOneNvidiaBoard);
    NvRequest request;
    bench.Log().SetEnabled(false);
    ASSERT_EQ(NVAPI_OK, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    EXPECT_EQ(0u, bench.Log().Count());
    EXPECT_EQ(1, bench.Counter("nvapi.i2c")) << "counters run with the log off";
    bench.Log().SetEnabled(true);
    const size_t capacity = bench::TransactionLog::kCapacity;
    for (size_t i = 0; i < capacity + 3; ++i) {
        request.reg = static_cast<NvU8>(i);
        bench.NvI2CReadEx(handles[0], &request.info, &request.flags);
    }
    ASSERT_EQ(capacity, bench.Log().Count());
    EXPECT_EQ(3, bench.Log().At(0)->nRegister) << "the three oldest records were dropped";
    EXPECT_EQ(static_cast<int>((capacity + 2) & 0xFF), bench.Log().At(capacity - 1)->nRegister);
    EXPECT_EQ(nullptr, bench.Log().At(capacity));
    bench.Log().Clear();
    EXPECT_EQ(0u, bench.Log().Count());
}

TEST_F(NvapiBench, LoadingAMachineStartsEverythingAfresh) {
    Start(kOneNvidiaBoard);
    NvRequest request;
    bench.NvI2CReadEx(handles[0], &request.info, &request.flags);
    Load(kOneNvidiaBoard);
    EXPECT_EQ(0, bench.Counter("nvapi.i2c"));
    EXPECT_EQ(0u, bench.Log().Count());
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, bench.NvI2CReadEx(handles[0], &request.info, &request.flags));
    EXPECT_EQ(-1, bench.Counter("no.such.counter"));
}
