// Which record an export addresses, and what happens when there is none.
#include <gtest/gtest.h>

#include "board_bench.h"
#include "loaded_module.h"
#include "poisoned.h"

TEST(BoardLookup, WithoutAGpuEveryBoardExportRefusesAndWritesNothing) {
    LoadNvidiaMachine({});
    LoadedModule module;

    Poisoned<FunctionSupport> support;
    Poisoned<uint8_t> flag;
    Poisoned<ThermalMap> map;
    Poisoned<QLXSWPowerStatus> power;
    Poisoned<uint32_t> a, b, c;
    Poisoned<int32_t> state;
    Poisoned<GSensorData> raw, filtered;
    for (int id : {0, 1, 255}) {
        EXPECT_EQ(-1, module->Check_Function_Support(id, support.get()));
        EXPECT_EQ(-1, module->Check_MTPD_Support(id, flag.get()));
        EXPECT_EQ(-1, module->Check_GSensor_Support(id, flag.get()));
        EXPECT_EQ(-1, module->GetThermalMap(id, map.get()));
        EXPECT_EQ(-1, module->GetPowerStatus(id, power.get()));
        EXPECT_EQ(-1, module->GetMileageTotalTime(id, a.get(), b.get(), c.get()));
        EXPECT_EQ(-1, module->GetMileageLatestTime(id, a.get(), b.get(), c.get()));
        EXPECT_EQ(-1, module->GetMileageLatestManual(id, a.get(), b.get(), c.get()));
        EXPECT_EQ(-1, module->GetMileageStatus(id, state.get()));
        EXPECT_EQ(-1, module->SetMileage_Rec(id, Recording));
        EXPECT_EQ(-1, module->SetMileage_Rec_Stop(id));
        EXPECT_EQ(-1, module->Get_GSensor_Data(id, raw.get(), filtered.get()));
    }
    EXPECT_TRUE(support.Untouched() && flag.Untouched() && map.Untouched() && power.Untouched());
    EXPECT_TRUE(a.Untouched() && b.Untouched() && c.Untouched() && state.Untouched());
    EXPECT_TRUE(raw.Untouched() && filtered.Untouched());
    EXPECT_EQ(0, TorvexBench_LogCount());
}

TEST(BoardLookup, IdentifierMatchesTheFirstRecordWithThatBusElseTheFirstRecord) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x521, 0x7)},
                       {3, CapabilityBoard(0x522, 0x7)},
                       {kFailingBusQuery, CapabilityBoard(0x523, 0x7)},
                       {kFailingBusQuery, CapabilityBoard(0x524, 0x7)}});
    LoadedModule module;

    auto versionAt = [&](int id) {
        FunctionSupport support{};
        EXPECT_EQ(0, module->Check_Function_Support(id, &support)) << "identifier " << id;
        return support.nVersion;
    };
    EXPECT_EQ(0x521u, versionAt(1));
    EXPECT_EQ(0x522u, versionAt(3));
    EXPECT_EQ(0x521u, versionAt(2));
    EXPECT_EQ(0x521u, versionAt(0));
    EXPECT_EQ(0x521u, versionAt(-1));
    // Both GPUs whose bus query failed answer to 255; only the first of them can be reached.
    EXPECT_EQ(0x523u, versionAt(255));
}

// Every copy of a record probes its board again, so the registry's growth rule fixes how often
// each controller is asked for its version while the module loads.
class BoardProbeCount : public testing::TestWithParam<int> {};

TEST_P(BoardProbeCount, FollowsTheRegistryGrowth) {
    const int gpuCount = GetParam();
    std::vector<GpuSetup> gpus;
    for (int i = 0; i < gpuCount; ++i) gpus.push_back({i + 1, CapabilityBoard(0x520 + i, 0xF)});
    LoadNvidiaMachine(gpus);
    LoadedModule module;

    const std::vector<TorvexBenchI2cRecord> log = TakeLog();
    const int expectedTotals[] = {0, 2, 5, 9, 14, 20};
    int total = 0;
    for (int i = 0; i < gpuCount; ++i) {
        // Probed for the temporary, for the registry's copy and once per move of the storage
        // that happened after it was appended (every append up to five grows the storage).
        EXPECT_EQ(gpuCount + 1 - i, CountReads(log, i, 0x1E)) << "GPU " << i;
        total += CountReads(log, i, 0x1E);
    }
    EXPECT_EQ(expectedTotals[gpuCount], total);

    for (int i = 0; i < gpuCount; ++i) {
        FunctionSupport support{};
        EXPECT_EQ(0, module->Check_Function_Support(i + 1, &support));
        EXPECT_EQ(static_cast<uint32_t>(0x520 + i), support.nVersion) << "record for bus " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(OneToFiveGpus, BoardProbeCount, testing::Range(1, 6));

TEST(BoardLookup, AmdBoardsAreServedThroughAdlxAndReleaseEveryReferenceAtUnload) {
    LoadAmdMachine({{7, CapabilityBoard(0x511, 0x07).Set(0xC0, {0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1})}});
    LoadedModule module;
    TakeLog();

    uint32_t a = 0, b = 0, c = 0;
    EXPECT_EQ(0, module->GetMileageTotalTime(7, &a, &b, &c));
    EXPECT_EQ(1u, a);
    EXPECT_EQ(3u, c);
    const std::vector<TorvexBenchI2cRecord> log = TakeLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(TorvexBenchCall_AdlxRepeatedStartRead, log[0].nCall);
    EXPECT_EQ(12, log[0].nLength);

    // The supported check asks NVAPI whatever the GPU's vendor, and NVAPI serves no GPU here.
    uint8_t supported = 0xCD;
    EXPECT_EQ(-2, module->Check_MTPD_Support(7, &supported));
    EXPECT_EQ(0, supported);

    EXPECT_GT(TorvexBench_Counter("adlx.refs"), 0);
    module.Unload();
    EXPECT_EQ(0, TorvexBench_Counter("adlx.refs"));
}
