#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "bench_service.h"

using namespace bench;

namespace {

class Service : public ::testing::Test {
protected:
    BenchService Make(std::optional<std::string> path) {
        return BenchService(clock, [path] { return path; }, [this](const std::string& m) { reported += m; });
    }
    int64_t Count(BenchService& s, const char* name) {
        return s.With([&](Bench& b) { return b.Counter(name); });
    }
    std::string WriteFile(const std::string& text) {
        const std::string path = ::testing::TempDir() + "bench_service_test.json";
        std::ofstream(path) << text;
        return path;
    }

    ManualClock clock;
    std::string reported;
};

}  // namespace

TEST_F(Service, WithoutAScenarioPathTheDefaultMachineRuns) {
    BenchService service = Make(std::nullopt);
    EXPECT_EQ("default", service.With([](Bench& b) { return b.CurrentMachine().name; }));
    EXPECT_TRUE(reported.empty());
}

TEST_F(Service, TheNamedScenarioFileRunsAtFirstUse) {
    BenchService service = Make(WriteFile(R"({"name": "from file", "gpus": [{"vendor": "amd", "bus": 2}]})"));
    EXPECT_EQ("from file", service.With([](Bench& b) { return b.CurrentMachine().name; }));
}

TEST_F(Service, ABadScenarioFileIsReportedAndNothingStarts) {
    BenchService service = Make(WriteFile(R"({"gpus": [{"vendor": "nvidia", "bus": 1, "colour": "red"}]})"));
    EXPECT_EQ(nvapi::NVAPI_ERROR, service.With([](Bench& b) { return b.NvInitialize(); }));
    EXPECT_NE(std::string::npos, reported.find("gpus[0].colour: unknown key")) << reported;
    EXPECT_NE(std::string::npos, reported.find("refusing to serve")) << reported;
    EXPECT_NE(std::string::npos, std::string(service.LastError()).find("gpus[0].colour")) << "LastError says why";
    EXPECT_TRUE(service.With([](Bench& b) { return b.AttachLibrary(Library::Amdadlx32); })) << "libraries still load";
    adlx::IADLXSystem* system = nullptr;
    EXPECT_EQ(adlx::ADLX_FAIL, service.With([&](Bench& b) { return b.AdlxInitialize(adlx::kFullVersion, &system); }));
}

TEST_F(Service, ScenarioTextLoadedFirstReplacesTheEnvironmentsChoice) {
    BenchService service = Make(std::string("/nonexistent.json"));
    ASSERT_EQ(0, service.LoadText(R"({"name": "text"})"));
    EXPECT_EQ("text", service.With([](Bench& b) { return b.CurrentMachine().name; }));
    EXPECT_TRUE(reported.empty()) << "the environment's file was never needed";
}

TEST_F(Service, AFailedLoadKeepsTheRunningMachineAndSaysWhy) {
    BenchService service = Make(std::nullopt);
    ASSERT_EQ(0, service.LoadText(R"({"name": "first"})"));
    service.With([](Bench& b) { return b.AttachLibrary(Library::Nvapi); });
    EXPECT_EQ(-1, service.LoadText(R"({"name": 5})"));
    EXPECT_NE(std::string::npos, std::string(service.LastError()).find("name: expected a text"));
    EXPECT_EQ("first", service.With([](Bench& b) { return b.CurrentMachine().name; }));
    EXPECT_EQ(1, Count(service, "nvapi.loads")) << "nothing was reset";
    EXPECT_EQ(-1, service.LoadFile("/nonexistent.json"));
    service.LoadDefault();
    EXPECT_STREQ("", service.LastError());
    EXPECT_EQ("default", service.With([](Bench& b) { return b.CurrentMachine().name; }));
}
