// The bench's helper natively: its scenario section and what it answers. Its misbehaviours and its
// exchanges show through the module (tests/helperchannel).
#include <gtest/gtest.h>

#include <string>

#include "helper_model.h"
#include "scenario.h"

using namespace bench;

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

TEST(HelperModel, TheBuildIsTheFolderItRunsFrom) {
    EXPECT_EQ(HelperBuild::X64, BuildFromPath("C:\\app\\\\LIB\\X64_LIB\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X86, BuildFromPath("C:\\x64_libs\\LIB\\x86_lib\\Halvane.exe"));
    EXPECT_EQ(HelperBuild::X86, BuildFromPath("C:\\app\\x64_lib"));
}

}  // namespace
