// torvexctl's board commands as a user runs them: a separate process under Wine, against bench
// machines described by the scenario files beside this test.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <regex>

#include "program_run.h"

using nlohmann::json;

namespace {

// The board of three_gpus.json on bus 3 is GPU 0 (firmware 0x0520), the one on bus 7 GPU 1
// (0x0511); GPU 2 on bus 9 has no board.
const char kThreeGpus[] = "three_gpus.json";
const char kBusQueryFails[] = "../../bench/scenarios/nvidia-bus-query-fails.json";

struct ShownRun {
    const char* scenario;
    std::vector<std::string> args;
    std::vector<std::string> parts;  // of the standard output, blanks made one, in this order
};

const ShownRun kShownRuns[] = {
    // The static board: firmware 0x0511 with capability byte 0x07, fixed temperatures, channels,
    // counters and tilt registers; nothing moves. Floats are the module's own (6500 x 0.001f is
    // 6.5000005), each with its unit.
    {"static_board.json", {"status"},
     {"Bench scenario: torvexctl-static-board Board: GPU 0 on bus 1 (NVIDIA) Controller firmware version 0x0511 "
      "capabilities 0x7 usage-time totals, power status, thermal map controller check supported tilt sensor "
      "present Thermal map, in \xC2\xB0"
      "C sensor T1 T2 T3 T4 temperatures 41.0 35.5 30.5 55.5 Power connectors, "
      "in controller units channel ch1 ch2 ch3 ch4 ch5 ch6 readings 5.0 6.5000005 0.25 12.000001 0.0 1.2340001 "
      "total 24.984 over limit 0 Usage time, in controller units counter first second third total 3600 120 7 "
      "latest (since load) 0 0 0 manual (stopwatch) 0 0 0 recorder state stopped Tilt axis X Y Z raw (counts) "
      "4096 0 0 angle (\xC2\xB0) 90.00001 0.0 90.00001 filtered (\xC2\xB0) 90.00001 0.0 90.00001 status bits "
      "5..0 100001 "}},
    // Firmware 0x0400 that identifies itself, no capability bits, no tilt sensor: the controller
    // answers the stopwatch, while the capability-gated values and the tilt data are refused, each
    // with what its code means.
    {"old_firmware_board.json", {"status"},
     {"firmware version n/a (-1: firmware older than 0x500) capabilities n/a (-1: firmware older than 0x500) "
      "controller check not supported (-1: firmware older than 0x500) tilt sensor absent Thermal map, in "
      "\xC2\xB0"
      "C sensor T1 T2 T3 T4 temperatures n/a (-1: not offered (firmware 0x148 or older, or capability "
      "bit 2 clear), or the read failed) Power connectors, in controller units channel ch1 ch2 ch3 ch4 ch5 ch6 "
      "readings n/a (-1: not offered (firmware 0x148 or older, or capability bit 1 clear)) Usage time, in "
      "controller units counter first second third total n/a (-1: not offered (firmware 0x148 or older, or "
      "capability bit 0 clear), or the read failed) latest (since load) 0 0 0 manual (stopwatch) 0 0 0 recorder "
      "state stopped Tilt axis X Y Z readings n/a (-1: no tilt sensor answered at load) "}},
    // Each GPU's vendor, bus and whether a board answers; without --gpu every board under its own bus.
    {kThreeGpus, {"list"},
     {"GPUs found by the module's discovery, run in torvexctl's process: GPU vendor bus board 0 NVIDIA 3 "
      "controller answers, tilt sensor present 1 NVIDIA 7 controller answers, tilt sensor present 2 NVIDIA 9 no "
      "controller identified itself "}},
    {kThreeGpus, {"list", "--json"},
     {"{ \"index\": 2, \"vendor\": \"NVIDIA\", \"bus\": 9, \"same_bus_as\": null, \"controller\": false, "
      "\"tilt_sensor\": false }"}},
    {kThreeGpus, {"status"},
     {"Board: GPU 0 on bus 3 (NVIDIA) Controller firmware version 0x0520 ",
      "Board: GPU 1 on bus 7 (NVIDIA) Controller firmware version 0x0511 ",
      "Board: GPU 2 on bus 9 (NVIDIA) Controller firmware version n/a (-2: "}},
    // --allow-fallback shows the first board under its own bus, for the id asked.
    {kThreeGpus, {"status", "--gpu", "300", "--allow-fallback"},
     {"Board: GPU 0 on bus 3 (NVIDIA), the module's first board, shown for GPU id 300, which matches no board "
      "Controller firmware version 0x0520 "}},
    {kThreeGpus,
     {"status", "--gpu", "300", "--allow-fallback", "--query",
      "requested_id,fallback,gpu.bus,function_support.firmware_version"},
     {",300,true,3,0x0520 "}},
    // A query chooses fields in the order given.
    {kThreeGpus, {"status", "--query", "power.total,gpu.bus", "--gpu", "7"},
     {"time,power.total [controller units],gpu.bus ", ",22.065002,7 "}},
    // Two GPUs whose bus query fails both take bus 255: the module reaches only the first by it.
    {kBusQueryFails, {"list"}, {"1 NVIDIA 255 not addressable: GPU 0 has the same bus number"}},
};

}  // namespace

TEST(Torvexctl, EachRunShowsWhatItIsAsked) {
    for (const ShownRun& shown : kShownRuns) {
        const ProgramRun run = Torvexctl(shown.scenario, shown.args);
        SCOPED_TRACE(::testing::PrintToString(shown.args) + " on " + shown.scenario);
        EXPECT_EQ(0u, run.code) << run.err;
        EXPECT_TRUE(ContainsInOrder(Flat(run.out), shown.parts));
    }
}

// The static board's document: groups with their code, what the code means, and units. (The
// values of the other groups: the status table of EachRunShowsWhatItIsAsked; their names: the
// queries there and the watch JSON of TorvexctlOutput.)
TEST(Torvexctl, StatusJsonGivesEachGroupItsCodeMeaningAndUnit) {
    ProgramRun js = Torvexctl("static_board.json", {"status", "--json"});
    ASSERT_EQ(0u, js.code) << js.err;
    const json doc = json::parse(js.out);
    EXPECT_EQ("torvexctl-static-board", doc["bench_scenario"]);
    const json expected = json::parse(R"j({"requested_id": 1, "fallback": false,
      "power": {"code": 0,
                  "meaning": "ok (a fresh reading, or the last good one standing in for one or two failed reads)",
                  "unit": "controller units", "ch1": 5.0, "ch2": 6.5000005, "ch3": 0.25, "ch4": 12.000001, "ch5": 0.0,
                  "ch6": 1.2340001, "total": 24.984, "over_limit": 0},
      "tilt": {"code": 0, "meaning": "ok", "raw": {"unit": "counts", "x": 4096, "y": 0, "z": 0},
                 "angle": {"unit": "\u00b0", "x": 90.00001, "y": 0.0, "z": 90.00001},
                 "filtered": {"unit": "\u00b0", "x": 90.00001, "y": 0.0, "z": 90.00001}, "status_bits": "100001"}})j");
    for (const auto& [group, value] : expected.items()) EXPECT_EQ(value, doc["boards"][0][group]) << group;
    // The floats print as the table prints them.
    EXPECT_TRUE(Contains(js.out, "\"ch2\": 6.5000005,"));
}

TEST(Torvexctl, AGpuSharingAnEarlierGpusBusIsNamedAndNeverShownUnderIt) {
    ProgramRun status =
        Torvexctl(kBusQueryFails, {"status", "--query", "gpu.index,gpu.bus,function_support.firmware_version"});
    ASSERT_EQ(0u, status.code) << status.err;
    EXPECT_EQ(std::regex_replace(status.out, std::regex("\n[^,]*,"), "\nT,"),
              "time,gpu.index,gpu.bus,function_support.firmware_version\nT,0,255,0x0520\n");
    EXPECT_TRUE(Contains(status.err, "GPU 1 on bus 255 (NVIDIA) is not shown: GPU 0 has the same bus"));
}

// start and resume request recording, pause paused, stop stopped; a refused action sets exit code
// 4, says what the code means, and the remaining actions still run.
TEST(Torvexctl, MileageActionsRunInOrderInOneProcess) {
    ProgramRun run =
        Torvexctl("static_board.json", {"mileage", "start", "pause", "resume", "stop", "pause", "--gap", "0"});
    EXPECT_EQ(kRefusedExit, run.code) << run.err;
    EXPECT_TRUE(Contains(
        Flat(std::regex_replace(run.out, std::regex("[0-9.]+ s "), "")),
      "Stopwatch of GPU 0 on bus 1 (NVIDIA); its reading is the counters first, second and third, in controller "
      "units before state stopped reading 0 0 0 start ok state recording reading 0 0 0 pause ok state paused "
      "reading 0 0 0 resume ok state recording reading 0 0 0 read state recording reading 0 0 0 stop ok state "
      "stopped reading 0 0 0 pause refused (-1: no controller identified itself at load, or a pause while "
      "stopped) state stopped reading 0 0 0 "));
    EXPECT_TRUE(Contains(run.err, "refused"));
}
