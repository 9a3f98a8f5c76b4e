// Every export called by four host threads at once, against boards, the helper and the
// sensor SDK: every call must come back with what it gives when called alone, the bench must see
// only whole, well-formed I2C transactions and helper requests, and the SDK only balanced use.
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board_bench.h"
#include "debug_capture.h"
#include "helper_bench.h"
#include "stdout_capture.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 400;
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

// What one sequence of calls answered: each call's name, and its result with the bytes it wrote.
class Answers {
public:
    template <typename... Written>
    void Add(const char* call, int result, const Written&... written) {
        std::vector<uint8_t> bytes;
        Append(bytes, result);
        (Append(bytes, written), ...);
        m_calls.emplace_back(call, std::move(bytes));
    }
    // The exports called: each call's name up to its first "(" or space.
    std::set<std::string> Exports() const {
        std::set<std::string> names;
        for (const auto& [name, bytes] : m_calls) names.emplace(name, std::strcspn(name, "( "));
        return names;
    }
    // The first call that answered otherwise, or null when every one answered alike.
    const char* FirstDifference(const Answers& other) const {
        if (m_calls.size() != other.m_calls.size()) return "(a different number of calls)";
        for (size_t i = 0; i < m_calls.size(); ++i)
            if (m_calls[i].second != other.m_calls[i].second) return m_calls[i].first;
        return nullptr;
    }

private:
    template <typename T>
    static void Append(std::vector<uint8_t>& bytes, const T& value) {
        const auto* first = reinterpret_cast<const uint8_t*>(&value);
        bytes.insert(bytes.end(), first, first + sizeof(value));
    }
    std::vector<std::pair<const char*, std::vector<uint8_t>>> m_calls;
};

// The stopwatch and the counters of the thread's own board, whose counters it sets itself.
void PlayOwnBoard(const ModuleExports& api, int thread, Answers& a) {
    const int id = thread + 1;
    uint32_t c[3] = {};
    int32_t state = -1;
    SetCounters(thread, 1000 + thread, 2000 + thread, 3000 + thread);
    a.Add("SetMileage_Rec(Recording)", api.SetMileage_Rec(id, Recording));
    SetCounters(thread, 1010 + thread, 2020 + thread, 3030 + thread);
    a.Add("GetMileageLatestManual", api.GetMileageLatestManual(id, &c[0], &c[1], &c[2]), c);
    a.Add("GetMileageStatus", api.GetMileageStatus(id, &state), state);
    a.Add("SetMileage_Rec_Stop", api.SetMileage_Rec_Stop(id));
    a.Add("SetMileage_Rec(Paused)", api.SetMileage_Rec(id, Paused));
    a.Add("GetMileageStatus", api.GetMileageStatus(id, &state), state);
    a.Add("GetMileageLatestManual", api.GetMileageLatestManual(id, &c[0], &c[1], &c[2]), c);
    a.Add("SetMileage_Rec(Stopped)", api.SetMileage_Rec(id, Stopped));
    a.Add("GetMileageTotalTime", api.GetMileageTotalTime(id, &c[0], &c[1], &c[2]), c);
    a.Add("GetMileageLatestTime", api.GetMileageLatestTime(id, &c[0], &c[1], &c[2]), c);
}

// The reads that do not depend on the counters; each board gets them from two threads.
void PlayReads(const ModuleExports& api, int board, Answers& a) {
    const int id = board + 1;
    ThermalMap map{};
    QLXSWPowerStatus power{};
    FunctionSupport support{};
    uint8_t flag = 0xEE;
    GSensorData raw{}, filtered{};
    a.Add("GetThermalMap", api.GetThermalMap(id, &map), map);
    a.Add("GetPowerStatus", api.GetPowerStatus(id, &power), power);
    a.Add("Check_Function_Support", api.Check_Function_Support(id, &support), support);
    a.Add("Check_MTPD_Support", api.Check_MTPD_Support(id, &flag), flag);
    a.Add("Check_GSensor_Support", api.Check_GSensor_Support(id, &flag), flag);
    a.Add("Get_GSensor_Data", api.Get_GSensor_Data(id, &raw, &filtered), raw, filtered);
}

// Each thread switches its own sensor on or off; the others' may be either, and say so.
void PlaySensors(const ModuleExports& api, int thread, bool enable, Answers& a) {
    a.Add("GetSystermSensorInfo", api.GetSystermSensorInfo(kFirstSensor));
    a.Add("Get_Systerm_Sensor_Count", api.Get_Systerm_Sensor_Count());
    SensorRecord own{};
    own.nNumber = kFirstSensor + thread;
    own.bEnabled = enable ? 1 : 0;
    int32_t count = 1;
    a.Add("Set_Sensor_Status", api.Set_Sensor_Status(&count, &own));
    std::vector<SensorRecord> records(kSensors);
    SensorRecord* array = records.data();
    count = -1;
    const int result = api.Get_Sensor_RealTime_Data(&count, &array);
    for (SensorRecord& r : records) {
        const bool expected = r.nNumber == own.nNumber ? r.bEnabled == own.bEnabled : r.bEnabled <= 1;
        r.bEnabled = expected ? 0xEE : 0xBD;
    }
    a.Add("Get_Sensor_RealTime_Data", result, count);
    for (const SensorRecord& r : records) a.Add("Get_Sensor_RealTime_Data record", result, r);
}

void PlayQLXSW(const ModuleExports& api, int round, Answers& a) {
    if (round % kQueryEvery != 0) return;
    const bool probe = round % kProbeEvery == 0;
    uint8_t present = 0xEE;
    if (probe) a.Add("Check_QLXSW_Support", api.Check_QLXSW_Support(&present), present);
    QLXSWPowerStatus status{};
    a.Add("Get_QLXSW_PowerStatus", api.Get_QLXSW_PowerStatus(1, &status), status);
    if (probe) a.Add("Exit_KIVO", api.Exit_KIVO());
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
    const size_t launchedBefore = helper.Launches().size();
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
    const Strings launched = helper.Launches();
    EXPECT_EQ(Strings(kThreads + 1, "x86"), Strings(launched.begin() + launchedBefore, launched.end()));
    Strings probes, expectedProbes;
    for (const std::string& request : helper.Requests())
        if (request != "x86 g") probes.push_back(request);
    for (int t = 0; t < kThreads; ++t) expectedProbes.insert(expectedProbes.end(), {"x86 c", "x86 x"});
    EXPECT_EQ(expectedProbes, probes);
    EXPECT_EQ(3u * kThreads, helper.Requests().size());
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
    int transactions = 0;
    for (const auto& [transaction, count] : expectedTraffic) transactions += count;
    ASSERT_LE(transactions, 65536) << "the bench's transaction log keeps the last 65536";
    const size_t requestsAlone = helper.Requests().size();

    std::array<int, kThreads> differing{};
    std::array<const char*, kThreads> firstDifference{};
    RunTogether([&](int t) {
        for (int round = 0; round < kRounds; ++round) {
            const Answers& expected = alone[t][round % kProbeEvery == 0 ? 2 : round % kQueryEvery == 0 ? 1 : 0];
            if (const char* call = Play(module.api(), t, round).FirstDifference(expected)) {
                if (differing[t]++ == 0) firstDifference[t] = call;
            }
        }
    });
    sensorLines.Finish();
    ASSERT_NE(nullptr, alone[0][0].FirstDifference(alone[1][0])) << "the boards must answer apart";
    std::set<std::string> everyExport;
    for (const ExportRow& e : kExportRows) everyExport.insert(e.name);
    EXPECT_EQ(everyExport, alone[0][2].Exports()) << "a probing round calls every export";
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(0, differing[t]) << "thread " << t << ", first at " << firstDifference[t];
    }

    EXPECT_EQ(expectedTraffic, Counted(Traffic()));
    // One reading query per querying round; per probing round a check and two releases.
    std::map<std::string, int> requests;
    const Strings all = helper.Requests();
    for (size_t i = requestsAlone; i < all.size(); ++i) ++requests[all[i]];
    EXPECT_EQ((std::map<std::string, int>{
                  {"x86 c", probing}, {"x86 g", kThreads * (kRounds / kQueryEvery)}, {"x86 x", 2 * probing}}),
              requests);
    EXPECT_EQ(1, TorvexBench_Counter("sdk.create"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.refused"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.overlapping"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_alive"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_freed_twice"));
}
