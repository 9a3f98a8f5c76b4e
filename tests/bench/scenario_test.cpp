#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "default_scenario.h"
#include "scenario.h"

using namespace bench;

namespace {

Machine Parse(const std::string& json) {
    ScenarioResult result = ParseScenario(json);
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine;
}

uint8_t Reg(Machine& m, size_t gpu, uint8_t dev, uint8_t reg) { return m.gpus.at(gpu).devices.at(dev).Get(reg); }

}  // namespace

TEST(Scenario, EveryKeyIsRead) {
    Machine m = Parse(R"({
      "name": "all keys", "description": "text",
      "nvapi": {"present": true, "initialize": -3, "enumerate": "0x0", "hooks": "before"},
      "adl": {"present": true, "context": false},
      "adlx": {"present": true, "initialize": 3, "initializeWithAdl": 2, "gpuList": "empty", "mapping": false},
      "gpus": [
        {"vendor": "nvidia", "busQuery": "fail", "description": "x",
         "devices": {"86": {"registers": {"0x1E": "0x20", "0x80": [1, "0x02", 3]},
                            "unreadable": ["0x4C-0x4E", 80, "0x60"],
                            "faults": [{"register": "0x80", "after": 1, "reads": 3, "status": -5},
                                       {"register": 16}]}}},
        {"vendor": "amd", "adapterIndex": 7, "bus": "0x0A", "device": 2, "function": 1, "lively": true,
         "devices": {"0x56": {"preset": "controller-v2", "registers": {"0x1F": 4}}}}
      ]})");
    EXPECT_EQ("all keys", m.name);
    EXPECT_TRUE(m.nvapi.present);
    EXPECT_EQ(-3, m.nvapi.initialize);
    EXPECT_EQ(0, m.nvapi.enumerate);
    EXPECT_EQ(NvHooks::Before, m.nvapi.hooks);
    EXPECT_FALSE(m.adl.context);
    EXPECT_EQ(3, m.adlx.initialize);
    EXPECT_EQ(2, m.adlx.initializeWithAdl);
    EXPECT_EQ(GpuListMode::Empty, m.adlx.gpuList);
    EXPECT_FALSE(m.adlx.mapping);
    ASSERT_EQ(2u, m.gpus.size());
    EXPECT_TRUE(m.gpus[0].busQueryFails);
    EXPECT_EQ(0x20, Reg(m, 0, 0x56, 0x1E));
    EXPECT_EQ(2, Reg(m, 0, 0x56, 0x81));
    I2cDevice& d0 = m.gpus[0].devices.at(0x56);
    EXPECT_TRUE(d0.IsUnreadable(0x4D));
    EXPECT_FALSE(d0.IsUnreadable(0x4F));
    EXPECT_TRUE(d0.IsUnreadable(80));
    uint8_t out[3];
    EXPECT_TRUE(d0.Read(0x80, 3, out).ok);
    EXPECT_EQ(-5, d0.Read(0x80, 3, out).failureStatus);
    EXPECT_FALSE(d0.Read(0x10, 1, out).ok) << "a fault without \"reads\" fails always";
    const Gpu& amd = m.gpus[1];
    EXPECT_EQ(Vendor::Amd, amd.vendor);
    EXPECT_EQ(7, amd.adapterIndex);
    EXPECT_EQ(10, amd.bus);
    EXPECT_EQ(2, amd.device);
    EXPECT_EQ(1, amd.function);
    EXPECT_TRUE(amd.lively.has_value());
    EXPECT_EQ(4, Reg(m, 1, 0x56, 0x1F)) << "explicit registers override the preset";
    EXPECT_EQ(0x20, Reg(m, 1, 0x56, 0x1E));
}

TEST(Scenario, LibrariesFollowTheGpusUnlessToldOtherwise) {
    Machine amd = Parse(R"({"gpus": [{"vendor": "amd", "bus": 3}, {"vendor": "amd", "bus": 4}]})");
    EXPECT_FALSE(amd.nvapi.present);
    EXPECT_EQ(-6, amd.nvapi.enumerate) << "no NVIDIA GPU: the listing fails as the driver's does";
    EXPECT_TRUE(amd.adl.present);
    EXPECT_TRUE(amd.adlx.present);
    EXPECT_EQ(0, amd.gpus[0].adapterIndex);
    EXPECT_EQ(1, amd.gpus[1].adapterIndex);

    Machine nvidia = Parse(R"({"gpus": [{"vendor": "nvidia", "bus": 1}]})");
    EXPECT_TRUE(nvidia.nvapi.present);
    EXPECT_EQ(0, nvidia.nvapi.enumerate);
    EXPECT_FALSE(nvidia.adl.present);
    EXPECT_FALSE(nvidia.adlx.present);

    Machine none = Parse(R"({"nvapi": {"present": true}})");
    EXPECT_TRUE(none.nvapi.present);
    EXPECT_TRUE(none.gpus.empty());
}

TEST(Scenario, MistakesAreReportedWithWhereTheyAre) {
    const struct {
        const char* json;
        const char* expected;
    } cases[] = {
        {R"({"gpu": []})", "gpu: unknown key"},
        {R"({"nvapi": {"present": 1}})", "nvapi.present: expected true or false"},
        {R"({"nvapi": {"hooks": "after"}})", "nvapi.hooks: expected one of \"none\""},
        {R"({"adlx": {"gpuList": "full"}})", "adlx.gpuList: expected one of"},
        {R"({"gpus": [{"bus": 1}]})", "gpus[0]: a GPU needs \"vendor\""},
        {R"({"gpus": [{"vendor": "intel", "bus": 1}]})", "gpus[0].vendor: expected one of \"nvidia\", \"amd\""},
        {R"({"gpus": [{"vendor": "nvidia"}]})", "gpus[0]: an NVIDIA GPU needs either \"bus\" or \"busQuery\""},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "busQuery": "fail"}]})", "needs either"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "device": 0}]})", "gpus[0].device: only AMD GPUs"},
        {R"({"gpus": [{"vendor": "amd"}]})", "gpus[0]: an AMD GPU needs \"bus\""},
        {R"({"gpus": [{"vendor": "amd", "bus": 256}]})", "gpus[0].bus: value 256 is outside 0..255"},
        {R"({"gpus": [{"vendor": "amd", "bus": 1.5}]})", "gpus[0].bus: expected a number"},
        {R"({"gpus": [{"vendor": "amd", "bus": "12"}]})", "gpus[0].bus: expected a number"},
        {R"({"gpus": [{"vendor": "amd", "bus": 1}, {"vendor": "amd", "bus": 2, "adapterIndex": 0}]})",
         "gpus[1].adapterIndex: adapter index 0 is already used by gpus[0]"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "lively": true}]})", "gpus[0].lively: needs the board controller"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {}, "86": {}}}]})",
         "gpus[0].devices.86: device 0x56 is given twice"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x156": {}}}]})", "gpus[0].devices.0x156: expected a byte"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"preset": "v9"}}}]})",
         "gpus[0].devices.0x56.preset: unknown preset \"v9\" (known: \"controller-v2\")"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"register": {}}}}]})",
         "gpus[0].devices.0x56.register: unknown key"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x1E": 300}}}}]})",
         "gpus[0].devices.0x56.registers.0x1E: value 300 is outside 0..255"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x80": [1, 2], "0x81": 3}}}}]})",
         "registers.0x81: register 0x81 is given twice"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0xFF": [1, 2]}}}}]})",
         "registers.0xFF: the bytes run past register 0xFF"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"registers": {"0x80": [1, "x"]}}}}]})",
         "registers.0x80[1]: expected a number"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"unreadable": ["0x4F-0x4C"]}}}]})",
         "unreadable[0]: expected a range"},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"faults": [{"reads": 1}]}}}]})",
         "faults[0]: a fault needs \"register\""},
        {R"({"gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {"faults": [{"register": 1, "reads": 0}]}}}]})",
         "faults[0].reads: value 0 is outside 1.."},
        {R"({"gpus": [)", "not valid JSON"},
        {R"([1, 2])", "expected an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const ScenarioResult result = ParseScenario(c.json);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(std::string::npos, result.error.find(c.expected)) << result.error;
    }
}

TEST(Scenario, AnUnreadableFileIsNamedInTheError) {
    const ScenarioResult result = ReadScenarioFile("/nonexistent/machine.json");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(std::string::npos, result.error.find("/nonexistent/machine.json")) << result.error;
}

TEST(Scenario, EveryShippedScenarioFileParses) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TORVEX_BENCH_SCENARIO_DIR)) {
        if (entry.path().extension() != ".json") continue;
        SCOPED_TRACE(entry.path().string());
        const ScenarioResult result = ReadScenarioFile(entry.path().string());
        EXPECT_TRUE(result.ok) << result.error;
        EXPECT_EQ(entry.path().stem().string(), result.machine.name) << "each file names itself";
        ++files;
    }
    EXPECT_GE(files, 15);
}

TEST(Scenario, TheDefaultMachineIsOneNvidiaGpuWithACompleteLivelyBoard) {
    Machine m = Parse(kDefaultScenarioJson);
    ASSERT_EQ(1u, m.gpus.size());
    EXPECT_EQ(Vendor::Nvidia, m.gpus[0].vendor);
    EXPECT_EQ(1, m.gpus[0].bus);
    EXPECT_TRUE(m.gpus[0].lively.has_value());
    EXPECT_EQ(0x05, Reg(m, 0, 0x56, 0x1F));
    EXPECT_EQ(0x20, Reg(m, 0, 0x56, 0x1E));
    EXPECT_EQ(0x0F, Reg(m, 0, 0x56, 0xFD));
    EXPECT_EQ(0x15, Reg(m, 0, 0x56, 0x20));
    EXPECT_EQ(0x89, Reg(m, 0, 0x56, 0x21));
    uint8_t block[24];
    I2cDevice& controller = m.gpus[0].devices.at(0x56);
    ASSERT_TRUE(controller.Read(0x4C, 4, block).ok);
    ASSERT_TRUE(controller.Read(0x60, 16, block).ok);
    for (int w = 0; w < 8; ++w) {
        if (w == 6) continue;  // the controller leaves this word unused
        const int tenths = block[2 * w] << 8 | block[2 * w + 1];
        EXPECT_GE(tenths, 400);
        EXPECT_LE(tenths, 700);
    }
    ASSERT_TRUE(controller.Read(0x80, 24, block).ok);
    for (int g = 0; g < 6; ++g) EXPECT_LE(block[4 * g + 2] << 8 | block[4 * g + 3], 12000);
    ASSERT_TRUE(controller.Read(0x70, 6, block).ok);
    const auto z = static_cast<int16_t>(block[4] << 8 | block[5]);
    EXPECT_NEAR(4096, z, 64) << "about 1 g on Z";
}
