// The simulated machine natively, on a manual clock: scenario parsing, device reads, first use,
// NVAPI and ADLX checking, ADLX references, the transaction log and lively boards.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <deque>
#include <filesystem>

#include "bench_service.h"
#include "nv_request.h"

using namespace bench;
using namespace nvapi;
using namespace adlx;
using namespace std::chrono_literals;

namespace {

Machine Parse(const std::string& json) {
    ScenarioResult result = ParseScenario(json);
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine;
}

// ADL keeps its block until ADLX gives it back, which not every test gets to: the arena lives on.
std::deque<std::array<char, 256>> g_arena;
void* TVX_STDCALL Allocate(int) { return g_arena.emplace_back().data(); }
void TVX_STDCALL Free(void** buffer) { *buffer = nullptr; }
void TVX_STDCALL FreeButKeepPointer(void**) {}

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
    ADLX_RESULT StartAdlx(ADLX_ADL_Main_Memory_Free release = &Free) {
        EXPECT_EQ(adl::ADL_OK, bench.AdlCreate(&Allocate, 1, &context, adl::ADL_THREADING_LOCKED));
        return bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, context, release);
    }
    int Word(int reg) { return bench.GetRegister(0, 0x56, reg) << 8 | bench.GetRegister(0, 0x56, reg + 1); }
    uint32_t Counter(int reg) { return static_cast<uint32_t>(Word(reg)) << 16 | static_cast<uint32_t>(Word(reg + 2)); }

    ManualClock clock;
    Bench bench{clock};
    NvPhysicalGpuHandle handles[kMaxPhysicalGpus] = {};
    adl::ADL_CONTEXT_HANDLE context = nullptr;
    IADLXSystem* system = nullptr;
    IADLMapping* mapping = nullptr;
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
    EXPECT_EQ(9, out[0]) << "failed reads leave the buffer as register 0xFC filled it";
    EXPECT_TRUE(d.Read(0x4F, 1, out).ok);

    ASSERT_TRUE(d.Read(0x80, 3, out).ok) << "the fault lets one read pass";
    EXPECT_EQ(0, std::memcmp("\x01\x02\x03", out, 3));
    EXPECT_EQ(-7, d.Read(0x7F, 2, out).failureStatus);
    EXPECT_TRUE(d.Read(0x81, 4, out).ok) << "a read that does not touch the register does not count";
    EXPECT_FALSE(d.Read(0x80, 1, out).ok);
    EXPECT_TRUE(d.Read(0x80, 1, out).ok) << "two failures, then reads succeed again";
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.Read(0x10, 1, out).ok) << "a fault without \"reads\" fails always";
    EXPECT_EQ(0, d.Read(0x10, 1, out).failureStatus) << "status 0: the vendor's usual failure";
    d.SetFault(0x10, RegisterFault{});
    EXPECT_TRUE(d.Read(0x10, 1, out).ok);
}

TEST(Scenario, UnsaidLibrariesFollowTheGpus) {
    const Machine amd = Parse(R"({"gpus": [{"vendor": "amd", "bus": 3}]})");
    const Machine nvidia = Parse(R"({"gpus": [{"vendor": "nvidia", "bus": 1}]})");
    EXPECT_TRUE(!amd.nvapi.present && amd.adl.present && amd.adlx.present);
    EXPECT_EQ(NVAPI_NVIDIA_DEVICE_NOT_FOUND, amd.nvapi.enumerate) << "no NVIDIA GPU: the listing fails as the driver's does";
    EXPECT_TRUE(nvidia.nvapi.present && !nvidia.adl.present && !nvidia.adlx.present);
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
        // A key given twice in one object, at any level, is refused as well, not taken last one wins.
        {dev + R"({"registers": {"0x1E": 1, "0x1E": 2}}}}]})",
         R"(gpus[0].devices.0x56.registers.0x1E: the key "0x1E" is given twice)"},
        {R"({"gpus": [], "name": "a", "gpus": []})", R"(gpus: the key "gpus" is given twice)"},
        {R"({"cpuidsdk": {"devices": [{}, {"class": "psu", "sensors": [[], {"min": 1, "min": 2}]}]}})",
         R"(cpuidsdk.devices[1].sensors[1].min: the key "min" is given twice)"},
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

TEST(Scenario, FirstUseRunsTheDefaultUnlessAMachineWasLoadedAndAFailedLoadKeepsTheRunningMachine) {
    ManualClock clock;
    std::string reported;
    const auto report = [&](const std::string& m) { reported += m; };
    BenchService unset(clock, [] { return std::nullopt; }, report);
    const Machine machine = unset.With([](Bench& b) { return b.CurrentMachine(); });
    EXPECT_TRUE(machine.name == "default" && machine.gpus.at(0).lively);

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

TEST_F(BenchModel, TheLogSwitchesOffAndKeepsTheNewestRecordsAndALoadStartsEverythingAfresh) {
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

    Load(R"({"nvapi": {"initialize": -2}, "gpus": [{"vendor": "nvidia", "bus": 1}]})");
    EXPECT_EQ(0, bench.Counter("nvapi.i2c"));
    EXPECT_EQ(0u, bench.Log().Count());
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, Read(request));
    EXPECT_EQ(-2, bench.NvInitialize());
    EXPECT_EQ(NVAPI_API_NOT_INITIALIZED, Read(request)) << "a failed start-up is no start";
}

TEST_F(BenchModel, AdlxStartUpFollowsTheScenarioAndGivesAdlsBlockBack) {
    Load(R"({"gpus": [{"vendor": "amd", "bus": 3}]})");
    ASSERT_EQ(ADLX_OK, StartAdlx(&FreeButKeepPointer));
    EXPECT_EQ(1, bench.Counter("adl.malloc"));
    EXPECT_EQ(1, bench.Counter("adlx.release_callback"));
    EXPECT_EQ(1, bench.Counter("adlx.release_not_cleared"));
    IADLXSystem* again = nullptr;
    EXPECT_EQ(ADLX_ALREADY_INITIALIZED, bench.AdlxInitialize(kFullVersion, &again));
    EXPECT_EQ(system, again);
    EXPECT_EQ(ADLX_OK, bench.AdlxTerminate());
    EXPECT_EQ(ADLX_OK, bench.AdlxInitialize(kFullVersion, &again)) << "terminated: a fresh start";
    EXPECT_EQ(ADLX_ADL_INIT_ERROR, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, &again, &Free));
    EXPECT_EQ(ADLX_BAD_VER, bench.AdlxInitialize(0x0002000000000000ULL, &again));

    Load(R"({"adlx": {"initialize": 3, "initializeWithAdl": 8}, "gpus": [{"vendor": "amd", "bus": 3}]})");
    EXPECT_EQ(ADLX_ADL_INIT_ERROR, StartAdlx());
    EXPECT_EQ(0, bench.Counter("adlx.release_callback")) << "a failed start-up keeps its hands off";
    EXPECT_EQ(ADLX_FAIL, bench.AdlxInitialize(kFullVersion, &system));
    EXPECT_EQ(nullptr, system);
}

TEST_F(BenchModel, AdlxCountsReferencesChecksI2cReadsAndRefusesReleasedObjects) {
    Load(R"({"gpus": [{"vendor": "amd", "bus": 3, "devices": {"0x56": {}}}]})");
    ASSERT_EQ(ADLX_OK, StartAdlx());
    IADLXGPUList* list = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetGPUs(system, &list));
    IADLXGPU* gpu = nullptr;
    ASSERT_EQ(ADLX_OK, bench.ListAt(list, 0, &gpu));
    EXPECT_EQ(2, bench.AdlxAcquire(gpu));
    IADLXI2C* i2c = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetI2C(system, gpu, &i2c));
    EXPECT_EQ(4, bench.Counter("adlx.refs")) << "list 1, GPU 2, I2C 1";

    uint8_t byte = 0;
    EXPECT_EQ(ADLX_OK, bench.I2cRead(i2c, false, 1, 100, 0x56, 0xFF, 1, &byte));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x1E, 1, nullptr));
    const std::array<int, 4> refused[] = {{0, 0x56, 0, 1}, {1, 0x56, 0, 0}, {1, 0x56, 0x100, 1}, {1, 0x100, 0, 1}};
    for (const auto& [line, address, offset, size] : refused)  // line 0, no bytes, offset or address beyond a byte
        EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, true, line, 100, address, offset, size, &byte)) << address << offset;
    EXPECT_EQ(ADLX_FAIL, bench.I2cRead(i2c, false, 1, 100, 0x50, 0x1E, 1, &byte)) << "no device 0x50";
    EXPECT_EQ(5, bench.Counter("i2c.refused"));

    EXPECT_EQ(0, bench.AdlxRelease(i2c));
    EXPECT_EQ(1, bench.AdlxRelease(gpu));
    EXPECT_EQ(0, bench.AdlxRelease(gpu));
    EXPECT_EQ(0, bench.AdlxRelease(list));
    EXPECT_EQ(0, bench.Counter("adlx.refs") + bench.Counter("adlx.invalid_object"));
    EXPECT_EQ(0, bench.AdlxRelease(list)) << "released twice";
    EXPECT_EQ(0u, bench.ListSize(list)) << "a released list answers nothing";
    EXPECT_EQ(ADLX_INVALID_OBJECT, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x1E, 1, &byte));
    EXPECT_EQ(0, bench.AdlxRelease(gpu)) << "one release more than acquired";
    EXPECT_EQ(4, bench.Counter("adlx.invalid_object"));
}

TEST_F(BenchModel, LivelyReadingsRunWithTheClockStayInBoundsAndSpareSetRegisters) {
    const char* lively = R"({"gpus": [{"vendor": "nvidia", "bus": 1, "lively": true,
        "devices": {"0x56": {"preset": "controller-v2", "registers": {"0x62": ["0x01", "0xF4"]}}}}]})";
    Load(lively);
    const int temperature0 = Word(0x60), power0 = Word(0x82), tilt0 = Word(0x70);
    int moved = 0;  // bit 0: temperature, 1: power, 2: tilt
    for (int step = 0; step < 200; ++step) {
        clock.Advance(700ms);
        EXPECT_NEAR(452, Word(0x60), 25);
        EXPECT_NEAR(5210, Word(0x82), 800);
        for (auto [reg, value] : {std::pair{0x70, 180}, {0x72, -120}, {0x74, 4090}})
            EXPECT_NEAR(value, static_cast<int16_t>(Word(reg)), 6) << reg;
        moved |= (Word(0x60) != temperature0) | (Word(0x82) != power0) << 1 | (Word(0x70) != tilt0) << 2;
    }
    EXPECT_EQ(7, moved);
    EXPECT_EQ(500, Word(0x62)) << "a register the scenario sets stays as set";

    Load(lively);
    EXPECT_EQ(123456u, Counter(0xC0));
    ASSERT_EQ(0, bench.SetRegister(0, 0x56, 0xCB, 0x07));
    EXPECT_EQ(-1, bench.SetRegister(1, 0x56, 0, 0)) << "no second GPU";
    EXPECT_EQ(-1, bench.GetRegister(0, 0x50, 0)) << "no device 0x50";
    clock.Advance(100s);
    EXPECT_EQ(123556u, Counter(0xC0));
    EXPECT_EQ(45678u + 50u, Counter(0xC4));
    EXPECT_EQ(0x07, bench.GetRegister(0, 0x56, 0xCB)) << "a register set at run time stops moving";
    bench.SetLively(false);
    clock.Advance(1000s);
    EXPECT_EQ(123556u, Counter(0xC0));
    bench.SetLively(true);
    clock.Advance(10s);
    EXPECT_EQ(123566u, Counter(0xC0)) << "frozen time does not count";
    const int temperature = Word(0x6A);
    Load(lively);
    clock.Advance(110s);
    EXPECT_EQ(temperature, Word(0x6A)) << "the same running time gives the same values";
    EXPECT_EQ(1234u + 27u, Counter(0xC8));
}
