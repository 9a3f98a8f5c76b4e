// The bench's helper natively: its scenario section, what it answers to each request, its
// misbehaviours and its lively readings on a manual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "helper_model.h"
#include "scenario.h"

using namespace bench;
using namespace std::chrono_literals;

namespace {

HelperConfig Helper(const std::string& members) {
    const ScenarioResult result = ParseScenario(R"({"helper": {)" + members + "}}");
    EXPECT_TRUE(result.ok) << result.error;
    return result.machine.helper;
}

// The section and its defaults are pinned through the module's exchanges with the helper, where the
// helper's liveliness and a launched copy's serving do not show; group bounds and readings also take
// signed and hexadecimal texts.
TEST(HelperScenario, UnsaidHelpersAreLivelyAndServeAndGroupsTakeSignedAndHexadecimalTexts) {
    EXPECT_TRUE(Helper("").lively);
    EXPECT_TRUE(Helper("").launchesServe);
    const HelperConfig given = Helper(R"("groups": [{"low": -2, "high": "0x10", "readings": [1, -5, "0xFFF8"]}])");
    ASSERT_EQ(1u, given.groups.size());
    EXPECT_EQ(-2, given.groups[0].low);
    EXPECT_EQ(16, given.groups[0].high);
    EXPECT_EQ(std::vector<int32_t>({1, -5, 0xFFF8}), given.groups[0].readings);
}

TEST(HelperScenario, AListThatCouldOutgrowAnAnswerIsRefused) {
    std::string readings = "4095";
    for (int i = 1; i < 100; ++i) readings += ", 4095";
    const std::string group = R"({"low": 1, "high": 1, "readings": [)" + readings + "]}";
    // 100 readings of "FFF" make a list of about 410 bytes, and each could grow a digit.
    EXPECT_TRUE(ParseScenario(R"({"helper": {"groups": [)" + group + "]}}").ok);
    const ScenarioResult twice = ParseScenario(R"({"helper": {"groups": [)" + group + ", " + group + "]}}");
    EXPECT_FALSE(twice.ok);
    EXPECT_NE(std::string::npos, twice.error.find("helper.groups: the list would not fit the 511 bytes")) << twice.error;
}

// The check's answer, leaving on "x" and staying after "g" show in the module's exchanges.
TEST(HelperModel, TheReadingListTakesNegativeNumbersAndAnUnknownRequestIsHungUp) {
    const ManualClock clock;
    const HelperModel model(Helper(R"("lively": false,
        "groups": [{"low": 1, "high": 4, "readings": [1000, 2000]}, {"low": -26, "high": 0, "readings": [-1, 65535]}])"),
                            clock);
    EXPECT_EQ("2,1,4,2,3E8,7D0,-1A,0,2,-1,FFFF", model.Reply(HelperBuild::X86, 'g').bytes);
    const HelperReply unknown = model.Reply(HelperBuild::X86, 'q');
    EXPECT_EQ(HelperReply::Kind::HangUp, unknown.kind);
    EXPECT_FALSE(unknown.leave);
}

TEST(HelperModel, MisbehavioursConcernOnlyTheirRequestsAndSpoilWhatLiesBeyondTheReadableAnswer) {
    const ManualClock clock;
    const auto reply = [&](const std::string& misbehave, char request) {
        return HelperModel(Helper(R"("lively": false, "groups": [{"low": 1, "high": 1, "readings": [10]}],
                                      "misbehave": )" + misbehave),
                           clock)
            .Reply(HelperBuild::X86, request);
    };
    EXPECT_EQ(0ms, reply(R"({"kind": "slow", "ms": 1500, "on": "g"})", 'c').delay);
    EXPECT_EQ("TRUE", reply(R"({"kind": "garbage", "on": "g"})", 'c').bytes);

    const HelperReply silentExit = reply(R"({"kind": "silent"})", 'x');
    EXPECT_EQ(HelperReply::Kind::Hold, silentExit.kind);
    EXPECT_FALSE(silentExit.leave);
    const HelperReply hungUp = reply(R"({"kind": "hang-up", "on": "cgx"})", 'x');
    EXPECT_EQ(HelperReply::Kind::HangUp, hungUp.kind);
    EXPECT_TRUE(hungUp.leave);
    EXPECT_EQ(HelperReply::Kind::HangUp, reply(R"({"kind": "hang-up"})", 'g').kind);

    const std::string oversized = reply(R"({"kind": "oversized"})", 'c').bytes;
    EXPECT_EQ("TRUE" + std::string(507, ' '), oversized.substr(0, 511));
    EXPECT_NE(std::string::npos, oversized.find("FALSE", 511));
    EXPECT_EQ(std::string("1,1,1,1,A\0", 10), reply(R"({"kind": "zero-byte"})", 'g').bytes.substr(0, 10));
    EXPECT_NE(std::string::npos, reply(R"({"kind": "zero-byte"})", 'c').bytes.find("FALSE"));

    const std::string garbage = reply(R"({"kind": "garbage"})", 'g').bytes;
    EXPECT_EQ(std::string::npos, garbage.find("FALSE"));
    EXPECT_EQ(nullptr, std::strchr("0123456789abcdefABCDEF \t\n+-", garbage[0]));

    EXPECT_EQ(250ms, HelperModel(Helper(R"("misbehave": {"kind": "busy", "ms": 250})"), clock).BusyFor());
}

TEST(HelperModel, LivelyReadingsDriftWithinFivePercentAndSpareMissingAndNegativeOnes) {
    ManualClock clock;
    const HelperModel model(Helper(R"("groups": [{"low": 1, "high": 1, "readings": [20000, 65528, -7, 0, 100]}])"),
                            clock);
    const HelperModel still(Helper(R"("lively": false)"), clock);
    const std::string stillAnswer = still.ReadingsAnswer();
    std::string previous;
    int changes = 0;
    for (int step = 0; step < 40; ++step) {
        const std::string answer = model.ReadingsAnswer();
        ASSERT_EQ(0u, answer.find("1,1,1,5,")) << answer;
        char* next = nullptr;
        const long first = std::strtol(answer.c_str() + 8, &next, 16);
        EXPECT_GE(first, 19000) << answer;
        EXPECT_LE(first, 21000) << answer;
        EXPECT_EQ(",FFF8,-7,0,", std::string(next, 11)) << answer;
        const long last = std::strtol(next + 11, nullptr, 16);
        EXPECT_GE(last, 95) << answer;
        EXPECT_LE(last, 105) << answer;
        changes += answer != previous;
        previous = answer;
        EXPECT_EQ(stillAnswer, still.ReadingsAnswer());
        clock.Advance(500ms);
    }
    EXPECT_GE(changes, 30);
}

TEST(HelperModel, TheBuildIsTheFolderItRunsFrom) {
    EXPECT_EQ(HelperBuild::X64, BuildFromPath("C:\\app\\LIB\\x64_lib\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X64, BuildFromPath("C:\\app\\\\LIB\\X64_LIB\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X86, BuildFromPath("C:\\app\\LIB\\x86_lib\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X86, BuildFromPath("C:\\x64_libs\\LIB\\x86_lib\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X86, BuildFromPath("C:\\app\\x64_lib"));
}

}  // namespace
