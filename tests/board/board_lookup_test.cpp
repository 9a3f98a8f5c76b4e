// Which board record an export addresses: the records the module makes at load and the vendor
// each read goes through. (Without any board every export refuses: tests/module/null_pointer_test.)
#include "board_bench.h"

TEST(BoardLookup, IdentifierAddressesTheFirstBoardOnThatBusOrElseTheFirstBoard) {
    // GPU k of the machine: bus 1, 3, a failed query (255), another failed query, bus 1 again;
    // firmware 0x521 + k.
    const int buses[] = {1, 3, -1, -1, 1};
    std::string gpus;
    for (int k = 0; k < 5; ++k) gpus += (k ? ", " : "") + Gpu(buses[k], 0x521 + k, R"("0xFD": 15)");
    LoadMachine(gpus);
    LoadedModule module;
    // The version of the board an identifier addresses; 0 when the export refuses.
    auto versionAt = [&](int id) {
        FunctionSupport s{};
        return module->Check_Function_Support(id, &s) == 0 ? s.nVersion : 0u;
    };
    EXPECT_EQ(0x521u, versionAt(1));
    EXPECT_EQ(0x522u, versionAt(3));
    EXPECT_EQ(0x521u, versionAt(2));
    // Both GPUs whose bus query failed answer to 255; only the first of them can be reached.
    EXPECT_EQ(0x523u, versionAt(255));
}

// The readings go through ADLX; the controller check asks NVAPI, which serves no GPU here, so it
// cannot read the version, and ADLX is not asked.
TEST(BoardLookup, AmdBoardIsReadThroughAdlxButTheControllerCheckAsksNvapi) {
    LoadMachine(Gpu(7, 0x511, R"("0xFD": 7, "0xC0": [0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1])", "amd"));
    LoadedModule module;
    Traffic();

    uint32_t a = 0, b = 0, c = 0;
    EXPECT_EQ(0, module->GetMileageTotalTime(7, &a, &b, &c));
    EXPECT_EQ(1u, a);
    EXPECT_EQ(3u, c);
    EXPECT_EQ(Strings{"0:C0/12 adlx"}, Traffic());
    uint8_t supported = 0xCD;
    EXPECT_EQ(-2, module->Check_MTPD_Support(7, &supported));
    EXPECT_EQ(0, supported);
    EXPECT_EQ(Strings{}, Traffic());
}
