// Every export called by four host threads at once, against boards, the helper and the
// sensor SDK: every call must come back with what it gives when called alone, the bench must see
// only whole, well-formed I2C transactions and helper requests, and the SDK only balanced use.
#include <array>
#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "board_bench.h"
#include "debug_capture.h"
#include "helper_bench.h"
#include "stdout_capture.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 200;
// Every this many rounds a thread also asks the helper for readings; less often it probes for the
// QLXSW device and lets the helper go, each of which costs a launch of the helper. Calls that talk
// to another process are slow, and rarer than the others, so that the board and sensor calls of
// the threads overlap.
constexpr int kQueryEvery = 10;
constexpr int kProbeEvery = 100;
constexpr int kFirstSensor = 100;

// Four boards whose blocks differ in every reading, so that a read answered from another board or
// another block shows. All read the same tilt: the shared smoothing then gives the same angles in
// any order.
std::string Board(int bus, int base) {
    std::string thermal, power;
    for (int i = 0; i < 16; ++i) thermal += (i ? ", " : "") + std::to_string(i % 2 ? base + i : 1);
    for (int i = 0; i < 24; ++i) power += (i ? ", " : "") + std::to_string(i % 4 == 3 ? base + i : 0);
    return Gpu(bus, 0x511, R"("0xFD": 7, "0x60": [)" + thermal + R"(], "0x80": [)" + power +
                               R"(], "0x70": [16, 0, 0, 0, 0, 0, 33])");
}

// Four processor cores, one per thread to switch on and off, and two motherboard sensors; fixed
// readings, so that a query gives the same values whichever sensors are switched off.
constexpr char kThreadsSdk[] = R"({"devices": [
    {"class": "processor", "name": "Vexon", "sensors": [
      {"class": "temperature", "name": "Core #{i}", "count": 4, "value": 45.5}]},
    {"class": "mainboard", "sensors": [
      {"class": "voltage", "name": "+12V", "value": 12.1}, {"class": "fan", "name": "FAN1", "value": 900}]}]})";
constexpr int kSensors = 6;

constexpr char kHelper[] = R"("groups": [{"low": 1, "high": 1, "readings": [1000, 2000]}], "lively": false)";

// What one sequence of calls answered: each call's result and the bytes it wrote, in order.
class Answers {
public:
    template <typename... Written>
    void Add(int result, const Written&... written) {
        Append(result);
        (Append(written), ...);
    }
    bool operator==(const Answers& other) const { return m_bytes == other.m_bytes; }

private:
    template <typename T>
    void Append(const T& value) {
        m_bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
    }
    std::string m_bytes;
};

// The stopwatch and the counters of the thread's own board, whose counters it sets itself.
void PlayOwnBoard(const ModuleExports& api, int thread, Answers& a) {
    const int id = thread + 1;
    uint32_t c[3] = {};
    int32_t state = -1;
    SetCounters(thread, 1000 + thread, 2000 + thread, 3000 + thread);
    a.Add(api.SetMileage_Rec(id, Recording));
    SetCounters(thread, 1010 + thread, 2020 + thread, 3030 + thread);
    a.Add(api.GetMileageLatestManual(id, &c[0], &c[1], &c[2]), c);
    a.Add(api.GetMileageStatus(id, &state), state);
    a.Add(api.SetMileage_Rec_Stop(id));
    a.Add(api.SetMileage_Rec(id, Stopped));
    a.Add(api.GetMileageTotalTime(id, &c[0], &c[1], &c[2]), c);
    a.Add(api.GetMileageLatestTime(id, &c[0], &c[1], &c[2]), c);
}

// The reads that do not depend on the counters; each board gets them from two threads.
void PlayReads(const ModuleExports& api, int board, Answers& a) {
    const int id = board + 1;
    ThermalMap map{};
    QLXSWPowerStatus power{};
    FunctionSupport support{};
    uint8_t flag = 0xEE;
    GSensorData raw{}, filtered{};
    a.Add(api.GetThermalMap(id, &map), map);
    a.Add(api.GetPowerStatus(id, &power), power);
    a.Add(api.Check_Function_Support(id, &support), support);
    a.Add(api.Check_MTPD_Support(id, &flag), flag);
    a.Add(api.Check_GSensor_Support(id, &flag), flag);
    a.Add(api.Get_GSensor_Data(id, &raw, &filtered), raw, filtered);
}

// Each thread switches its own sensor on or off; the others' may be either, and say so.
void PlaySensors(const ModuleExports& api, int thread, bool enable, Answers& a) {
    a.Add(api.GetSystermSensorInfo(kFirstSensor));
    a.Add(api.Get_Systerm_Sensor_Count());
    SensorRecord own{};
    own.nNumber = kFirstSensor + thread;
    own.bEnabled = enable ? 1 : 0;
    int32_t count = 1;
    a.Add(api.Set_Sensor_Status(&count, &own));
    std::vector<SensorRecord> records(kSensors);
    SensorRecord* array = records.data();
    count = -1;
    const int result = api.Get_Sensor_RealTime_Data(&count, &array);
    for (SensorRecord& r : records) {
        const bool expected = r.nNumber == own.nNumber ? r.bEnabled == own.bEnabled : r.bEnabled <= 1;
        r.bEnabled = expected ? 0xEE : 0xBD;
    }
    a.Add(result, count);
    for (const SensorRecord& r : records) a.Add(result, r);
}

void PlayQLXSW(const ModuleExports& api, int round, Answers& a) {
    if (round % kQueryEvery != 0) return;
    const bool probe = round % kProbeEvery == 0;
    uint8_t present = 0xEE;
    if (probe) a.Add(api.Check_QLXSW_Support(&present), present);
    QLXSWPowerStatus status{};
    a.Add(api.Get_QLXSW_PowerStatus(1, &status), status);
    if (probe) a.Add(api.Exit_KIVO());
}

Answers Play(const ModuleExports& api, int thread, int round) {
    Answers a;
    PlayOwnBoard(api, thread, a);
    PlayReads(api, thread, a);
    PlayReads(api, (thread + 1) % kThreads, a);
    PlaySensors(api, thread, round % 2 == 0, a);
    PlayQLXSW(api, round, a);
    return a;
}

// Runs body(thread) on each of the threads, all starting at once.
template <typename Body>
void RunTogether(Body body) {
    std::atomic<int> waiting{kThreads};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (--waiting; waiting > 0;) {
            }
            body(t);
        });
    }
    for (std::thread& thread : threads) thread.join();
}

std::map<std::string, int> Counted(const Strings& traffic, int times = 1) {
    std::map<std::string, int> counts;
    for (const std::string& t : traffic) counts[t] += times;
    return counts;
}

// The threads start the sensors, probe for the QLXSW device and ask for its readings at once: one
// SDK and one catalogue, one whole probe after the other, and one launch for the queries.
void StartTogether(const LoadedModule& module, const HelperBench& helper) {
    std::array<int, kThreads> started{}, probed{}, queried{};
    std::array<uint8_t, kThreads> present{};
    std::array<QLXSWPowerStatus, kThreads> status{};
    RunTogether([&](int t) {
        started[t] = module->GetSystermSensorInfo(kFirstSensor);
        probed[t] = module->Check_QLXSW_Support(&present[t]);
    });
    // The first queries come at once, so that each sees the helper not yet launched.
    RunTogether([&](int t) { queried[t] = module->Get_QLXSW_PowerStatus(1, &status[t]); });
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(0, started[t]) << t;
        EXPECT_EQ(1, probed[t]) << t;
        EXPECT_EQ(1, present[t]) << t;
        EXPECT_EQ(1, queried[t]) << t;
        EXPECT_EQ(3.0f, status[t].fTotal) << t;
    }
    // One SDK instance for all the starts: the counter at the end of the test.
    EXPECT_EQ(kSensors, module->Get_Systerm_Sensor_Count());
    EXPECT_EQ(Strings(kThreads + 1, "x86"), helper.Launches());
    Strings requests;
    for (int t = 0; t < kThreads; ++t) requests.insert(requests.end(), {"x86 c", "x86 x"});
    requests.resize(3 * kThreads, "x86 g");
    EXPECT_EQ(requests, helper.Requests());
}

}  // namespace

TEST(Threads, FourThreadsCallingEveryExportGetWhatOneThreadGets) {
    std::string boards;
    for (int t = 0; t < kThreads; ++t) boards += (t ? "," : "") + Board(t + 1, 20 + 40 * t);
    HelperBench helper(kHelper, {HelperBuild::X86}, boards, kThreadsSdk);
    LoadedModule module;
    // Each probe and each release tells a build to end: the helper serves as enough builds in turn.
    const int probing = kThreads * (kRounds / kProbeEvery);
    std::string builds = "x86";
    for (int i = 0; i < 3 * kThreads + 2 * probing; ++i) builds += ",x86";
    helper.Serve(builds.c_str());
    StartTogether(module, helper);
    Traffic();
    // The sensor queries' lines on standard output, out of the way of the test's own.
    StdoutCapture sensorLines;

    // What each thread's rounds give alone: without the helper, with a query, with the probe too;
    // and the I2C transactions of its rounds.
    std::array<std::array<Answers, 3>, kThreads> alone;
    std::map<std::string, int> expectedTraffic;
    for (int t = 0; t < kThreads; ++t) {
        alone[t][0] = Play(module.api(), t, 1);
        for (const auto& [transaction, count] : Counted(Traffic(), kRounds)) expectedTraffic[transaction] += count;
        alone[t][1] = Play(module.api(), t, kQueryEvery);
        alone[t][2] = Play(module.api(), t, 0);
        Traffic();
    }
    const size_t requestsAlone = helper.Requests().size();

    std::array<int, kThreads> differing{};
    RunTogether([&](int t) {
        for (int round = 0; round < kRounds; ++round) {
            const Answers& expected = alone[t][round % kProbeEvery == 0 ? 2 : round % kQueryEvery == 0 ? 1 : 0];
            if (!(Play(module.api(), t, round) == expected)) ++differing[t];
        }
    });
    sensorLines.Finish();
    ASSERT_FALSE(alone[0][0] == alone[1][0]) << "the boards must answer apart";
    EXPECT_EQ((std::array<int, kThreads>{}), differing) << "rounds that answered otherwise, by thread";

    EXPECT_EQ(expectedTraffic, Counted(Traffic()));
    // One reading query per querying round; per probing round a check and two releases.
    const Strings requests = helper.Requests();
    EXPECT_EQ((std::map<std::string, int>{
                  {"x86 c", probing}, {"x86 g", kThreads * (kRounds / kQueryEvery)}, {"x86 x", 2 * probing}}),
              Counted(Strings(requests.begin() + static_cast<std::ptrdiff_t>(requestsAlone), requests.end())));
    EXPECT_EQ(1, TorvexBench_Counter("sdk.create"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.refused"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.overlapping"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_alive"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_freed_twice"));
}

// The board exports run one at a time whichever board they address: all boards feed one tilt
// filter, and a controller check rewrites fields that the gates read. On two AMD boards, whose
// reads share no I2C record, the first board's controller check is held inside its first read
// while the second board's export is called: none of the second board's reads may come between
// the first board's.
TEST(Threads, ABoardExportWaitsWhileAnotherBoardsExportIsInARead) {
    LoadMachine(Gpu(3, 0x511, R"("0xFD": 7)", "amd") + ", " + Gpu(4, 0x511, R"("0xFD": 7)", "amd"));
    LoadedModule module;
    TorvexBench_ClearLog();
    const int64_t readsBefore = TorvexBench_Counter("adlx.i2c");
    TorvexBench_HoldReads(1000);
    int firstResult = -99;
    std::thread first([&] {
        FunctionSupport support{};
        firstResult = module->Check_Function_Support(3, &support);
    });
    for (int waited = 0; TorvexBench_Counter("adlx.i2c") == readsBefore && waited < 10000; waited += 5) Sleep(5);
    TorvexBench_HoldReads(0);
    ThermalMap map{};
    EXPECT_EQ(0, module->GetThermalMap(4, &map));
    first.join();
    EXPECT_EQ(0, firstResult);

    std::string boards;  // the GPU of each read, in order
    for (const std::string& read : Traffic()) boards += read.substr(0, read.find(':'));
    EXPECT_EQ(std::string::npos, boards.find("10")) << "reads by GPU, in order: " << boards;
    EXPECT_NE(std::string::npos, boards.find("01")) << "reads by GPU, in order: " << boards;
}
