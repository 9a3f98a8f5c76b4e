// torvexctl's output for scripts that watch: JSON lines, and CSV with a time column and a stable
// header.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <regex>
#include <sstream>

#include "program_run.h"

using nlohmann::json;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

size_t Cells(const std::string& csvLine) {
    // The capability names are the one quoted cell; its commas do not separate.
    const std::string unquoted = std::regex_replace(csvLine, std::regex("\"[^\"]*\""), "q");
    return static_cast<size_t>(std::count(unquoted.begin(), unquoted.end(), ',')) + 1;
}

const std::regex kTime("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}");
const std::regex kTimeCell("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3},");

}  // namespace

TEST(TorvexctlOutput, WatchJsonPrintsOneObjectPerLineWithTimeFrameAndBoards) {
    ProgramRun watch = Torvexctl("three_gpus.json", {"watch", "--json", "--interval", "0", "--count", "2"});
    ASSERT_EQ(0u, watch.code) << watch.err;
    const std::vector<std::string> lines = Lines(watch.out);
    ASSERT_EQ(2u, lines.size()) << watch.out;
    for (int frame = 1; frame <= 2; ++frame) {
        const json line = json::parse(lines[frame - 1]);
        EXPECT_TRUE(std::regex_match(line["time"].get<std::string>(), kTime)) << line["time"];
        EXPECT_EQ(frame, line["frame"]);
        ASSERT_EQ(3u, line["boards"].size());
        EXPECT_EQ("0x0511", line["boards"][1]["function_support"]["firmware_version"]);
        // A value is null where the export wrote nothing; the controller check's "no" is written on -2 too.
        EXPECT_TRUE(line["boards"][2]["function_support"]["firmware_version"].is_null());
        EXPECT_EQ(false, line["boards"][2]["controller"]["supported"]);
    }
}

// One row per board and refresh under one header, whatever the values: a refused value is an
// empty cell, so rows keep the header's columns.
TEST(TorvexctlOutput, WatchCsvHasOneStableHeaderAndATimeColumn) {
    ProgramRun watch = Torvexctl("three_gpus.json", {"watch", "--csv", "--interval", "0", "--count", "2"});
    ASSERT_EQ(0u, watch.code) << watch.err;
    const std::vector<std::string> lines = Lines(watch.out);
    ASSERT_EQ(7u, lines.size()) << watch.out;
    EXPECT_EQ(0u, lines[0].find("time,requested_id,fallback,gpu.index,gpu.vendor,gpu.bus,function_support.code,"
                                "function_support.firmware_version,"))
        << lines[0];
    EXPECT_EQ(std::string::npos, lines[0].find("meaning")) << lines[0];
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_search(lines[i], kTimeCell)) << lines[i];
        EXPECT_EQ(Cells(lines[0]), Cells(lines[i])) << lines[i];
    }
    EXPECT_TRUE(Contains(lines[3], ",9,-2,,")) << "GPU 2 has no board";
}
