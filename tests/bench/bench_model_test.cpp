// The simulated machine natively, on a manual clock: scenario parsing, device reads and the SDK's
// section, first use, NVAPI checking and the transaction log.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "bench_service.h"
#include "nv_request.h"

using namespace bench;
using namespace nvapi;

namespace {

Machine Parse(const std::string& json) {
    ScenarioResult result = ParseScenario(json);
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine;
}

class BenchModel : public ::testing::Test {
protected:
    void Load(const char* json) { bench.Load(Parse(json)); }
    void StartNvapi() {
        Load(R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"preset": "controller-v2"}}}]})");
        NvU32 count = 0;
        ASSERT_EQ(NVAPI_OK, bench.NvInitialize());
        ASSERT_EQ(NVAPI_OK, bench.NvEnumPhysicalGPUs(handles, &count));
    }
    NvAPI_Status Read(NvRequest& r) { return bench.NvI2CReadEx(handles[0], &r.info, &r.flags); }
    const TorvexBenchI2cRecord& Last() { return *bench.Log().At(bench.Log().Count() - 1); }

    ManualClock clock;
    Bench bench{clock};
    NvPhysicalGpuHandle handles[kMaxPhysicalGpus] = {};
};

}  // namespace

TEST(Scenario, DevicesReadAsGivenAndUnreadableOrFaultyRegistersFailTheReadsThatTouchThem) {
    Machine m = Parse(R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"86": {
        "registers": {"0x80": [1, "0x02", 3], "0xFC": 9}, "unreadable": ["0x4C-0x4E", 80],
        "faults": [{"register": "0x80", "after": 1, "reads": 2, "status": -7}, {"register": 16}]}}}]})");
    I2cDevice& d = m.gpus.at(0).devices.at(0x56);
    uint8_t out[8] = {};
    ASSERT_TRUE(d.Read(0xFC, 4, out).ok) << "up to the last register";
    EXPECT_FALSE(d.Read(0xFD, 4, out).ok) << "registers past 0xFF do not exist";
    for (uint8_t reg : {0x4C, 0x4E, 0x50}) EXPECT_FALSE(d.Read(reg, 1, out).ok) << int{reg};
    EXPECT_FALSE(d.Read(0x48, 8, out).ok) << "a block that covers an unreadable register";
    EXPECT_TRUE(d.Read(0x4F, 1, out).ok);

    ASSERT_TRUE(d.Read(0x80, 3, out).ok) << "the fault lets one read pass";
    EXPECT_EQ(0, std::memcmp("\x01\x02\x03", out, 3));
    EXPECT_EQ(-7, d.Read(0x7F, 2, out).failureStatus);
    EXPECT_TRUE(d.Read(0x81, 4, out).ok) << "a read that does not touch the register does not count";
    EXPECT_FALSE(d.Read(0x80, 1, out).ok);
    EXPECT_TRUE(d.Read(0x80, 1, out).ok) << "two failures, then reads succeed again";
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.Read(0x10, 1, out).ok) << "a fault without \"reads\" fails always";
    EXPECT_EQ(0, d.Read(0x10, 1, out).failureStatus) << "status 0: the vendor's usual failure";
}

TEST(Scenario, EachKindOfMistakeIsReportedWithWhereItIs) {
    const std::string nv = R"({"gpus": [{"vendor": "nvidia", "bus": 1, )";
    const std::string dev = nv + R"("devices": {"0x56": )";
    const auto sdk = [](const char* section) { return R"({"cpuidsdk": )" + std::string(section) + "}"; };
    const auto helper = [](const char* members) { return R"({"helper": {)" + std::string(members) + "}}"; };
    const std::pair<std::string, const char*> cases[] = {
        {R"({"gpus": [)", "not valid JSON"},
        {"[1, 2]", "expected an object"},
        {dev + R"({"register": {}}}}]})", "gpus[0].devices.0x56.register: unknown key"},
        {R"({"nvapi": {"present": 1}})", "nvapi.present: expected true or false"},
        {R"({"gpus": [{"vendor": "intel", "bus": 1}]})", R"(gpus[0].vendor: expected one of "nvidia", "amd")"},
        {dev + R"({"registers": {"0x80": [1, "12"]}}}}]})", "gpus[0].devices.0x56.registers.0x80[1]: expected a number"},
        {dev + R"({"registers": {"0x1E": 300}}}}]})", "gpus[0].devices.0x56.registers.0x1E: value 300 is outside 0..255"},
        {nv + R"("devices": {"0x156": {}}}]})", "gpus[0].devices.0x156: expected a byte"},
        {R"({"gpus": [{"vendor": "amd"}]})", R"(gpus[0]: an AMD GPU needs "bus")"},
        {nv + R"("busQuery": "fail"}]})", R"(gpus[0]: an NVIDIA GPU needs either "bus" or "busQuery")"},
        {nv + R"("device": 0}]})", "gpus[0].device: only AMD GPUs"},
        {R"({"gpus": [{"vendor": "amd", "bus": 1}, {"vendor": "amd", "bus": 2, "adapterIndex": 0}]})",
         "gpus[1].adapterIndex: adapter index 0 is already used by gpus[0]"},
        {dev + R"({"registers": {"0x80": [1, 2], "0x81": 3}}}}]})", "registers.0x81: register 0x81 is given twice"},
        // A key given twice in one object is refused as well, not taken last one wins.
        {dev + R"({"registers": {"0x1E": 1, "0x1E": 2}}}}]})",
         R"(gpus[0].devices.0x56.registers.0x1E: the key "0x1E" is given twice)"},
        {dev + R"({"registers": {"0xFF": [1, 2]}}}}]})", "registers.0xFF: the bytes run past register 0xFF"},
        {dev + R"({"unreadable": ["0x4F-0x4C"]}}}]})", "unreadable[0]: expected a range"},
        {dev + R"({"preset": "v9"}}}]})", R"(0x56.preset: unknown preset "v9" (known: "controller-v2"))"},
        {nv + R"("lively": true}]})", "gpus[0].lively: needs the board controller"},
        {sdk(R"({"devices": [{"name": "x"}]})"), "cpuidsdk.devices[0]: a device needs \"class\""},
        {sdk(R"({"devices": [{"class": "gpu"}]})"), "cpuidsdk.devices[0].class: expected one of \"processor\""},
        {sdk(R"({"devices": [{"class": 4, "sensors": [{"class": "heat"}]}]})"), "sensors[0].class: expected one of"},
        {sdk(R"({"devices": [{"class": 4, "sensors": [{"class": "fan", "name": "\u20ac"}]}]})"),
         "sensors[0].name: only characters U+0000 .. U+00FF"},
        {sdk(R"({"devices": [{"class": 4, "sensors": [{"class": "fan", "value": []}]}]})"), "value: an empty list"},
        {sdk(R"({"devices": [{"class": 4, "sensors": [{"class": "fan", "value": 1e40}]}]})"),
         "outside the range of a 32-bit float"},
        {sdk(R"({"devices": [{"class": 4, "sensors": [{"class": "fan", "count": 200001}]}]})"),
         "count: value 200001 is outside"},
        {sdk(R"({"devices": [{"class": 4, "count": 4000}, {"class": 4, "count": 97}]})"),
         "devices[1]: more than 4096 devices"},
        {sdk(R"({"unbound": ["SdkFly"]})"), "cpuidsdk.unbound[0]: expected one of \"SdkCreate\""},
        {sdk(R"({"init": true})"), "cpuidsdk.init: expected a number"},
        {sdk(R"({"devices": [{"class": 4, "sensor": []}]})"), "cpuidsdk.devices[0].sensor: unknown key"},
        {helper(R"("x86": {"device": true, "check": "TRUE"})"), "helper.x86: give either \"device\" or \"check\""},
        {helper(R"("x64": {"installed": 1})"), "helper.x64.installed: expected true or false"},
        {helper(R"("groups": [{"low": 3, "high": 1, "readings": []}])"), "helper.groups[0]: \"low\" is above \"high\""},
        {helper(R"("groups": [{"low": 1, "readings": []}])"), "helper.groups[0]: a group needs"},
        {helper(R"("groups": [], "answer": "1")"), "helper: give either \"groups\" or \"answer\""},
        {helper(R"("launches": "never")"), R"(helper.launches: expected one of "serve", "log-only")"},
        {helper(R"("misbehave": {"kind": "slow"})"), R"(helper.misbehave: "slow" needs "ms")"},
        {helper(R"("misbehave": {"kind": "silent", "ms": 5})"), "helper.misbehave.ms: only \"slow\" and \"busy\""},
        {helper(R"("misbehave": {"kind": "garbage", "on": "cq"})"),
         "helper.misbehave.on: expected some of the requests"},
        {helper(R"("misbehave": {"kind": "loud"})"), "helper.misbehave.kind: expected one of"},
        {helper(R"("pipe": "other")"), "helper.pipe: unknown key"},
    };
    for (const auto& [json, expected] : cases) {
        const ScenarioResult result = ParseScenario(json);
        EXPECT_FALSE(result.ok) << json;
        EXPECT_NE(std::string::npos, result.error.find(expected)) << json << "\n" << result.error;
    }
}

// Names, copies, given identifiers, answers and class counts reach the module's catalogue, whose tests
// pin them; what the module does not show (the identifiers the SDK numbers itself) is checked here.
TEST(SensorSdkScenario, DevicesAndSensorsAreReadWithTheirNumberedIdsNullNamesAndRanges) {
    const SensorSdkConfig sdk = Parse(R"({"cpuidsdk": {"devices": [
        {"class": "processor", "name": "CPU {i}", "count": 2, "sensors": [
          {"class": "temperature", "name": "Core #{i}", "count": 3, "value": [40, 42.5]},
          {"class": "fan", "name": null, "count": 2, "raw": -4},
          {"class": "temperature", "name": "Caf\u00e9", "value": 30, "min": -5, "max": 90}]},
        {"class": "0x4000", "sensorCount": 7}]}})").cpuidsdk;
    ASSERT_EQ(3u, sdk.devices.size());
    EXPECT_EQ(cpuidsdk::kDeviceWaterCooler, sdk.devices[2].classCode);
    EXPECT_EQ(7, sdk.devices[2].allSensorsCount.value());

    const std::vector<SdkSensor>& s = sdk.devices[1].sensors;
    ASSERT_EQ(6u, s.size());
    // Device 1, class 0x2000, index 2 within the class; the later temperature is index 3.
    EXPECT_EQ(0x00402002, s[2].id);
    EXPECT_EQ(0x00402003, s[5].id);
    EXPECT_FALSE(s[3].name.has_value());
    EXPECT_EQ(-4, s[3].raw);
    EXPECT_EQ(40.0f, s[0].minimum) << "unless given, the range spans the readings";
    EXPECT_EQ(42.5f, s[0].maximum);
    EXPECT_EQ("Caf\xE9", s[5].name.value()) << "characters up to U+00FF are the 8-bit text's bytes";
    EXPECT_EQ(-5.0f, s[5].minimum);
}

TEST(Scenario, EveryShippedScenarioFileParsesAndNamesItself) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TORVEX_BENCH_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json") continue;
        const ScenarioResult result = ReadScenarioFile(entry.path().string());
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(entry.path().stem().string(), result.machine.name);
        ++files;
    }
    EXPECT_GE(files, 17);
}

TEST(Scenario, ALoadedMachineSparesTheEnvironmentsFileAndAFailedLoadKeepsTheRunningMachine) {
    ManualClock clock;
    std::string reported;
    const auto report = [&](const std::string& m) { reported += m; };
    BenchService s(clock, [] { return std::optional<std::string>("/nonexistent.json"); }, report);
    ASSERT_EQ(0, s.LoadText(R"({"name": "first"})"));
    s.With([](Bench& b) { return b.AttachLibrary(Library::Nvapi); });
    EXPECT_EQ("", reported) << "the environment's file was never read";
    EXPECT_EQ(-1, s.LoadText(R"({"gpus": 1})"));
    EXPECT_NE(nullptr, std::strstr(s.LastError(), "gpus: expected a list"));
    EXPECT_TRUE(s.With([](Bench& b) { return b.CurrentMachine().name == "first" && b.Counter("nvapi.loads") == 1; }))
        << "nothing was reset";
}

TEST_F(BenchModel, NvapiReadsCheckEveryFieldInTheDriversOrderAndLogWhatWasPassed) {
    StartNvapi();
    NvRequest request;
    request.reg = 0xC0;
    request.info.cbSize = 12;
    request.info.displayMask = 3;
    ASSERT_EQ(NVAPI_OK, Read(request));
    EXPECT_EQ(0, request.data[12]) << "nothing beyond cbSize";
    EXPECT_EQ(3u, Last().nvDisplayMask);
    EXPECT_EQ(0, std::memcmp("\x00\x01\xE2\x40\x00\x00\xB2\x6E\x00\x00\x04\xD2", Last().data, 12));

    const std::pair<NvAPI_Status, void (*)(NvRequest&)> cases[] = {
        {NVAPI_INCOMPATIBLE_STRUCT_VERSION, [](NvRequest& r) { r.info.version = MakeVersion(sizeof r.info, 2); }},
        {NVAPI_INCOMPATIBLE_STRUCT_VERSION, [](NvRequest& r) { r.info.version = MakeVersion(sizeof r.info + 20, 3); }},
        {NVAPI_PORTID_NOT_FOUND, [](NvRequest& r) { r.info.bIsDDCPort = 1; }},
        {NVAPI_PORTID_NOT_FOUND, [](NvRequest& r) { r.info.portId = 0; }},
        {NVAPI_PORTID_NOT_FOUND, [](NvRequest& r) { r.info.bIsPortIdSet = 0; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.i2cSpeed = 100; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.i2cSpeedKhz = 100; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.regAddrSize = 2; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.pbI2cRegAddress = nullptr; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.pbData = nullptr; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.cbSize = 0; }},
        {NVAPI_INVALID_ARGUMENT, [](NvRequest& r) { r.info.cbSize = 256; }},
        {NVAPI_INCOMPATIBLE_STRUCT_VERSION, [](NvRequest& r) { r.info.version = 0, r.info.portId = 0; }},
        {NVAPI_PORTID_NOT_FOUND, [](NvRequest& r) { r.info.portId = 0, r.info.pbData = nullptr; }},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        NvRequest spoilt;
        cases[i].second(spoilt);
        EXPECT_EQ(cases[i].first, Read(spoilt)) << "case " << i;
        EXPECT_EQ(cases[i].first, Last().nResult) << "case " << i;
        EXPECT_EQ(0, spoilt.data[0]) << "case " << i << ": register 0x1E holds 0x20";
    }
    EXPECT_EQ(NVAPI_INVALID_ARGUMENT, bench.NvI2CReadEx(handles[0], &request.info, nullptr));
    EXPECT_EQ(1, Last().nvFlagsPtrNull);
    EXPECT_EQ(NVAPI_INVALID_ARGUMENT, bench.NvI2CReadEx(handles[0], nullptr, &request.flags));
    EXPECT_EQ(NVAPI_INVALID_HANDLE, bench.NvI2CReadEx(handles[1], nullptr, &request.flags));
    EXPECT_EQ(-1, Last().nGpuIndex);
    request.info.i2cDevAddress = 0x50;
    EXPECT_EQ(NVAPI_ERROR, Read(request)) << "no device 0x50: a failure, but no refusal";
    EXPECT_EQ(static_cast<int64_t>(std::size(cases)) + 3, bench.Counter("i2c.refused"));
}

TEST_F(BenchModel, TheLogSwitchesOffAndKeepsTheNewestRecords) {
    StartNvapi();
    NvRequest request;
    bench.Log().SetEnabled(false);
    ASSERT_EQ(NVAPI_OK, Read(request));
    EXPECT_EQ(0u, bench.Log().Count());
    EXPECT_EQ(1, bench.Counter("nvapi.i2c")) << "counters run with the log off";
    bench.Log().SetEnabled(true);
    const size_t capacity = TransactionLog::kCapacity;
    for (size_t i = 0; i < capacity + 3; ++i) {
        request.reg = static_cast<NvU8>(i);
        Read(request);
    }
    ASSERT_EQ(capacity, bench.Log().Count());
    EXPECT_EQ(3, bench.Log().At(0)->nRegister) << "the three oldest records were dropped";
    EXPECT_EQ(static_cast<int>((capacity + 2) & 0xFF), Last().nRegister);
    EXPECT_EQ(nullptr, bench.Log().At(capacity));
}

