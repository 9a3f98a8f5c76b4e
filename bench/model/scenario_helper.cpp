#include "scenario_helper.h"

#include "helper_model.h"
#include "vendor/halvane_pipe.h"

namespace bench {
namespace {

HelperBuildConfig ReadBuild(const Json& value, const std::string& path) {
    ExpectObject(value, path, {"installed", "device", "check"});
    HelperBuildConfig build;
    if (const Json* v = Find(value, "installed")) build.installed = ReadBool(*v, Join(path, "installed"));
    const Json* device = Find(value, "device");
    const Json* check = Find(value, "check");
    if (device && check) Fail(path, "give either \"device\" or \"check\", not both");
    if (device) build.check = ReadBool(*device, Join(path, "device")) ? "TRUE" : halvane::kAbsentMarker;
    if (check) build.check = ReadText(*check, Join(path, "check"));
    return build;
}

ReadingGroup ReadGroup(const Json& value, const std::string& path) {
    ExpectObject(value, path, {"low", "high", "readings"});
    ReadingGroup group;
    const Json* low = Find(value, "low");
    const Json* high = Find(value, "high");
    const Json* readings = Find(value, "readings");
    if (!low || !high || !readings) Fail(path, "a group needs \"low\", \"high\" and \"readings\"");
    group.low = ReadInt32(*low, Join(path, "low"));
    group.high = ReadInt32(*high, Join(path, "high"));
    if (group.low > group.high) Fail(path, "\"low\" is above \"high\"");
    const std::string where = Join(path, "readings");
    if (!readings->is_array()) Fail(where, "expected a list of readings");
    for (size_t i = 0; i < readings->size(); ++i) group.readings.push_back(ReadInt32((*readings)[i], Index(where, i)));
    return group;
}

void ReadMisbehaviour(const Json& value, const std::string& path, HelperConfig& helper) {
    ExpectObject(value, path, {"kind", "ms", "on", "description"});
    const Json* kind = Find(value, "kind");
    if (!kind) Fail(path, "a misbehaviour needs \"kind\"");
    helper.misbehaviour = ReadChoice<Misbehaviour>(*kind, Join(path, "kind"),
                                                   {{"slow", Misbehaviour::Slow},
                                                    {"silent", Misbehaviour::Silent},
                                                    {"hang-up", Misbehaviour::HangUp},
                                                    {"oversized", Misbehaviour::Oversized},
                                                    {"zero-byte", Misbehaviour::ZeroByte},
                                                    {"garbage", Misbehaviour::Garbage},
                                                    {"busy", Misbehaviour::Busy}});
    const Json* ms = Find(value, "ms");
    if (helper.misbehaviour == Misbehaviour::Slow) {
        if (!ms) Fail(path, "\"slow\" needs \"ms\"");
        helper.misbehaveMs = static_cast<int32_t>(ReadInteger(*ms, Join(path, "ms"), 0, 600'000));
    } else if (helper.misbehaviour == Misbehaviour::Busy) {
        helper.misbehaveMs = ms ? static_cast<int32_t>(ReadInteger(*ms, Join(path, "ms"), -1, 600'000)) : -1;
    } else if (ms) {
        Fail(Join(path, "ms"), "only \"slow\" and \"busy\" take a time");
    }
    if (const Json* on = Find(value, "on")) {
        helper.misbehaveOn = ReadText(*on, Join(path, "on"));
        if (helper.misbehaveOn.empty() || helper.misbehaveOn.find_first_not_of("cgx") != std::string::npos)
            Fail(Join(path, "on"), "expected some of the requests \"c\", \"g\", \"x\", such as \"cg\"");
    }
    if (const Json* text = Find(value, "description")) ReadText(*text, Join(path, "description"));
}

}  // namespace

HelperConfig ReadHelper(const Json& value, const std::string& path) {
    ExpectObject(value, path, {"description", "log", "launches", "x86", "x64", "groups", "lively", "answer", "misbehave"});
    HelperConfig helper;
    if (const Json* v = Find(value, "log")) helper.log = ReadText(*v, Join(path, "log"));
    if (const Json* v = Find(value, "launches"))
        helper.launchesServe = ReadChoice<bool>(*v, Join(path, "launches"), {{"serve", true}, {"log-only", false}});
    if (const Json* v = Find(value, "x86")) helper.x86 = ReadBuild(*v, Join(path, "x86"));
    if (const Json* v = Find(value, "x64")) helper.x64 = ReadBuild(*v, Join(path, "x64"));
    const Json* groups = Find(value, "groups");
    const Json* answer = Find(value, "answer");
    if (groups && answer) Fail(path, "give either \"groups\" or \"answer\", not both");
    if (groups) {
        const std::string where = Join(path, "groups");
        if (!groups->is_array()) Fail(where, "expected a list of groups");
        helper.groups.clear();
        for (size_t i = 0; i < groups->size(); ++i) helper.groups.push_back(ReadGroup((*groups)[i], Index(where, i)));
        // A lively reading may need one more digit than its loaded value.
        size_t readings = 0;
        for (const ReadingGroup& group : helper.groups) readings += group.readings.size();
        if (FormatReadingList(helper.groups).size() + readings > halvane::kLargestAnswer)
            Fail(where, "the list would not fit the " + std::to_string(halvane::kLargestAnswer) + " bytes of an answer");
    }
    if (answer) helper.readingsAnswer = ReadText(*answer, Join(path, "answer"));
    if (const Json* v = Find(value, "lively")) helper.lively = ReadBool(*v, Join(path, "lively"));
    if (const Json* v = Find(value, "misbehave")) ReadMisbehaviour(*v, Join(path, "misbehave"), helper);
    if (const Json* text = Find(value, "description")) ReadText(*text, Join(path, "description"));
    return helper;
}

}  // namespace bench
