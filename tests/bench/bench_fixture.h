// A bench on a manual clock, loaded from scenario text, for the native model tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "bench.h"
#include "scenario.h"

class BenchFixture : public ::testing::Test {
protected:
    // Loads the scenario, failing the test when it does not parse.
    void Load(const std::string& json) {
        bench::ScenarioResult result = bench::ParseScenario(json);
        ASSERT_TRUE(result.ok) << result.error;
        bench.Load(std::move(result.machine));
    }

    bench::ManualClock clock;
    bench::Bench bench{clock};
};

// One NVIDIA GPU on bus 1 with a static controller.
inline const char* const kOneNvidiaBoard = R"({"gpus": [{"vendor": "nvidia", "bus": 1,
    "devices": {"0x56": {"preset": "controller-v2"}}}]})";
