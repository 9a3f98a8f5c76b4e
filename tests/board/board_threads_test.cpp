// Board exports called by several host threads at once: every call must come back with what it
// gives when called alone, and the bench must see only whole, well-formed transactions.
#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

#include "board_bench.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRounds = 900;

// Two boards whose blocks differ in every reading, so that a read answered from the other board
// or from the other block shows.
std::string Board(int bus, int base) {
    std::string thermal, power, counters;
    for (int i = 0; i < 16; ++i) thermal += (i ? ", " : "") + std::to_string(i % 2 ? base + i : 1);
    for (int i = 0; i < 24; ++i) power += (i ? ", " : "") + std::to_string(i % 4 == 3 ? base + i : 0);
    for (int i = 0; i < 12; ++i) counters += (i ? ", " : "") + std::to_string(i % 4 == 3 ? base + i : 0);
    return Gpu(bus, 0x511, R"("0xFD": 7, "0x60": [)" + thermal + R"(], "0x80": [)" + power + R"(], "0xC0": [)" +
                               counters + R"(], "0x70": [16, 0, 0, 0, 0, 0, 33])");
}

// What one round of calls gives on one board.
struct Round {
    std::array<int, 10> codes{};
    ThermalMap map{};
    QLXSWPowerStatus power{};
    uint32_t total[3] = {}, latest[3] = {}, manual[3] = {};
    FunctionSupport support{};
    uint8_t controller = 0, tilt = 0;
    int32_t state = 0;
    GSensorData raw{}, filtered{};

    bool operator==(const Round& o) const {
        return codes == o.codes && Same(map, o.map) && Same(power, o.power) && Same(total, o.total) &&
               Same(latest, o.latest) && Same(manual, o.manual) && Same(support, o.support) &&
               controller == o.controller && tilt == o.tilt && state == o.state && Same(raw, o.raw) &&
               Same(filtered, o.filtered);
    }
    template <typename T>
    static bool Same(const T& a, const T& b) {
        return std::memcmp(&a, &b, sizeof(T)) == 0;
    }
};

Round CallEveryExport(const ModuleExports& api, int id) {
    Round r;
    r.codes = {api.GetThermalMap(id, &r.map),
               api.GetPowerStatus(id, &r.power),
               api.GetMileageTotalTime(id, &r.total[0], &r.total[1], &r.total[2]),
               api.GetMileageLatestTime(id, &r.latest[0], &r.latest[1], &r.latest[2]),
               api.GetMileageLatestManual(id, &r.manual[0], &r.manual[1], &r.manual[2]),
               api.Check_Function_Support(id, &r.support),
               api.Check_MTPD_Support(id, &r.controller),
               api.Check_GSensor_Support(id, &r.tilt),
               api.GetMileageStatus(id, &r.state),
               api.Get_GSensor_Data(id, &r.raw, &r.filtered)};
    return r;
}

}  // namespace

TEST(BoardThreads, FourThreadsOnTwoBoardsGetWhatOneThreadGetsAndOnlyWholeTransactions) {
    LoadMachine(Board(1, 40) + "," + Board(2, 80));
    LoadedModule module;
    // Both boards read the same tilt, so the shared smoothing gives the same angles in any order.
    const Round alone[2] = {CallEveryExport(module.api(), 1), CallEveryExport(module.api(), 2)};
    ASSERT_EQ((std::array<int, 10>{0, 0, 0, 0, 0, 0, 0, 1, 0, 0}), alone[0].codes);
    ASSERT_FALSE(alone[0] == alone[1]);
    Traffic();

    std::atomic<int> differing[2] = {{0}, {0}};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, board = t % 2] {
            for (int round = 0; round < kRounds; ++round) {
                if (!(CallEveryExport(module.api(), board + 1) == alone[board])) ++differing[board];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(0, differing[0].load());
    EXPECT_EQ(0, differing[1].load());

    // Each round reads the thermal, power and counter blocks (the counters twice), the version
    // twice and the capability bytes once, and the seven tilt registers.
    std::map<std::string, int> transactions;
    for (const std::string& t : Traffic()) ++transactions[t];
    std::map<std::string, int> expected;
    const int perBoard = kThreads / 2 * kRounds;
    for (const char* gpu : {"0:", "1:"}) {
        for (const char* read : {"60/16", "80/24", "FC", "FD", "70", "71", "72", "73", "74", "75", "76"}) {
            expected[gpu + std::string(read)] = perBoard;
        }
        for (const char* read : {"C0/12", "1E", "1F"}) expected[gpu + std::string(read)] = 2 * perBoard;
    }
    EXPECT_EQ(expected, transactions);
}
