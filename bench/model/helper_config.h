// The host application's helper process as the bench plays it (Halvane.exe, see bench/helper/):
// for each of its two builds whether it is installed and what it answers when asked whether the
// QLXSW device is there, the reading groups it reports, and how it misbehaves when told to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bench {

enum class HelperBuild { X86, X64 };

struct HelperBuildConfig {
    bool installed = true;       // false: a copy the module launches leaves at once, serving nothing
    std::string check = "TRUE";  // the answer to "c"; the device counts as absent when it holds "FALSE"
};

// One group of the reading list: the keys it covers and its readings in thousandths (65528, 0xFFF8,
// and more stand for a missing reading).
struct ReadingGroup {
    int32_t low = 1;
    int32_t high = 1;
    std::vector<int32_t> readings;
};

enum class Misbehaviour {
    None,
    Slow,       // answers after a delay
    Silent,     // takes the request and never answers, keeping the connection open
    HangUp,     // closes the connection without answering
    Oversized,  // answers 600 bytes: the answer, blanks to byte 511, then text that would spoil it
    ZeroByte,   // answers the answer, a zero byte, then text that would spoil it
    Garbage,    // answers bytes that are neither a list nor a "FALSE"
    Busy,       // keeps its pipe busy from the start, so that no client can open it
};

struct HelperConfig {
    std::string log;            // file every helper process appends its log lines to; empty: none
    bool launchesServe = true;  // false: a copy the module launches logs its launch and leaves, and
                                // a helper started with --serve serves instead
    HelperBuildConfig x86;
    HelperBuildConfig x64;
    std::vector<ReadingGroup> groups = {{1, 1, {12050, 8420, 7980, 450}}, {2, 4, {3300, 1250}}};
    bool lively = true;                         // the readings drift with time
    std::optional<std::string> readingsAnswer;  // the answer to "g" as given, instead of the groups
    Misbehaviour misbehaviour = Misbehaviour::None;
    std::string misbehaveOn = "cgx";  // the requests a misbehaviour concerns (Busy concerns the pipe)
    int32_t misbehaveMs = 0;          // Slow: the delay; Busy: how long, -1 for good

    const HelperBuildConfig& Build(HelperBuild build) const { return build == HelperBuild::X86 ? x86 : x64; }
};

}  // namespace bench
