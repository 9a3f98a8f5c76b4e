#include <chrono>

#include "bench_fixture.h"

using namespace std::chrono_literals;

namespace {

const char* const kLivelyBoard = R"({"gpus": [{"vendor": "nvidia", "bus": 1, "lively": true,
    "devices": {"0x56": {"preset": "controller-v2", "registers": {"0x62": ["0x01", "0xF4"]}}}}]})";

class LivelyBench : public BenchFixture {
protected:
    int Word(int reg) { return bench.GetRegister(0, 0x56, reg) << 8 | bench.GetRegister(0, 0x56, reg + 1); }
    int Signed(int reg) { return static_cast<int16_t>(Word(reg)); }
    uint32_t Counter(int reg) { return static_cast<uint32_t>(Word(reg)) << 16 | static_cast<uint32_t>(Word(reg + 2)); }
};

}  // namespace

TEST_F(LivelyBench, CountersAdvanceWithRunningTimeAndStopWhileFrozen) {
    Load(kLivelyBoard);
    EXPECT_EQ(123456u, Counter(0xC0));
    clock.Advance(100s);
    EXPECT_EQ(123556u, Counter(0xC0));
    EXPECT_EQ(45678u + 50u, Counter(0xC4));
    EXPECT_EQ(1234u + 25u, Counter(0xC8));
    bench.SetLively(false);
    clock.Advance(1000s);
    EXPECT_EQ(123556u, Counter(0xC0));
    bench.SetLively(true);
    clock.Advance(10s);
    EXPECT_EQ(123566u, Counter(0xC0)) << "frozen time does not count";
}

TEST_F(LivelyBench, ReadingsDriftWithinPlausibleBoundsAroundTheLoadedValues) {
    Load(kLivelyBoard);
    bool temperatureMoved = false;
    bool powerMoved = false;
    bool tiltMoved = false;
    const int firstTemperature = Word(0x60);
    const int firstPower = Word(0x82);
    const int firstTilt = Signed(0x70);
    for (int step = 0; step < 200; ++step) {
        clock.Advance(700ms);
        const int temperature = Word(0x60);
        EXPECT_NEAR(452, temperature, 25);
        temperatureMoved |= temperature != firstTemperature;
        for (int group = 0; group < 6; ++group) EXPECT_LE(Word(0x82 + 4 * group), 50000);
        const int power = Word(0x82);
        EXPECT_NEAR(5210, power, 800);
        powerMoved |= power != firstPower;
        EXPECT_NEAR(180, Signed(0x70), 6);
        EXPECT_NEAR(-120, Signed(0x72), 6);
        EXPECT_NEAR(4090, Signed(0x74), 6);
        tiltMoved |= Signed(0x70) != firstTilt;
    }
    EXPECT_TRUE(temperatureMoved);
    EXPECT_TRUE(powerMoved);
    EXPECT_TRUE(tiltMoved);
    EXPECT_EQ(500, Word(0x62)) << "a register the scenario sets stays as set";
}

TEST_F(LivelyBench, ARegisterSetAtRunTimeStopsMoving) {
    Load(kLivelyBoard);
    ASSERT_EQ(0, bench.SetRegister(0, 0x56, 0xC3, 0x07));
    clock.Advance(300s);
    EXPECT_EQ(0x07, bench.GetRegister(0, 0x56, 0xC3));
    EXPECT_EQ((123456u + 300u) & ~0xFFu, Counter(0xC0) & ~0xFFu) << "its neighbours keep moving";
}

TEST_F(LivelyBench, TheSameTimeGivesTheSameValues) {
    Load(kLivelyBoard);
    clock.Advance(12345ms);
    const int temperature = Word(0x6A);
    const int tilt = Signed(0x72);
    Load(kLivelyBoard);
    clock.Advance(12345ms);
    EXPECT_EQ(temperature, Word(0x6A));
    EXPECT_EQ(tilt, Signed(0x72));
}

TEST_F(LivelyBench, ABoardWithoutLivelyStaysStill) {
    Load(kOneNvidiaBoard);
    clock.Advance(3600s);
    EXPECT_EQ(123456u, Counter(0xC0));
    EXPECT_EQ(452, Word(0x60));
}
