#include "helper_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <utility>

#include "vendor/halvane_pipe.h"
#include "wave.h"

namespace bench {
namespace {

constexpr double kLivelySwing = 0.05;  // readings drift by up to +-5 %
constexpr int32_t kMissingReading = 65528;
constexpr size_t kOversizedAnswer = 600;
// Text that, were it read, would turn "c" into "absent" and make "g" unconvertible.
constexpr char kSpoiler[] = ",zzFALSE";
constexpr char kGarbage[] = "\x7F#?garbage?#\xFF";

std::string Hex(int64_t value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    uint64_t magnitude = static_cast<uint64_t>(value < 0 ? -value : value);
    do {
        text.insert(text.begin(), digits[magnitude % 16]);
        magnitude /= 16;
    } while (magnitude != 0);
    return value < 0 ? "-" + text : text;
}

// Reading `index` of the list at `seconds`: present readings above 0 drift on a slow wave of their
// own; missing and negative ones keep their value.
int32_t LivelyReading(int32_t loaded, size_t index, double seconds) {
    if (loaded <= 0 || loaded >= kMissingReading) return loaded;
    const double period = 7.0 + 1.5 * static_cast<double>(index % 6);
    const double phase = 0.9 * static_cast<double>(index);
    const double value = loaded * (1.0 + kLivelySwing * WaveSine(seconds, period, phase));
    return static_cast<int32_t>(std::clamp(std::lround(value), 0L, static_cast<long>(kMissingReading - 1)));
}

}  // namespace

std::string FormatReadingList(const std::vector<ReadingGroup>& groups) {
    std::string text = Hex(static_cast<int64_t>(groups.size()));
    for (const ReadingGroup& group : groups) {
        text += "," + Hex(group.low) + "," + Hex(group.high) + "," + Hex(static_cast<int64_t>(group.readings.size()));
        for (int32_t reading : group.readings) text += "," + Hex(reading);
    }
    return text;
}

HelperBuild BuildFromPath(std::string_view path) {
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const std::string folder = halvane::kX64Folder;
    for (size_t at = lower.find(folder); at != std::string::npos; at = lower.find(folder, at + 1)) {
        const size_t end = at + folder.size();
        const bool startsFolder = at > 0 && (lower[at - 1] == '\\' || lower[at - 1] == '/');
        const bool endsFolder = end < lower.size() && (lower[end] == '\\' || lower[end] == '/');
        if (startsFolder && endsFolder) return HelperBuild::X64;
    }
    return HelperBuild::X86;
}

const char* BuildName(HelperBuild build) { return build == HelperBuild::X86 ? "x86" : "x64"; }

HelperModel::HelperModel(HelperConfig config, const Clock& clock)
    : m_config(std::move(config)), m_clock(clock), m_start(clock.Now()) {}

std::string HelperModel::ReadingsAnswer() const {
    if (m_config.readingsAnswer) return *m_config.readingsAnswer;
    if (!m_config.lively) return FormatReadingList(m_config.groups);
    const double seconds = std::chrono::duration<double>(m_clock.Now() - m_start).count();
    std::vector<ReadingGroup> now = m_config.groups;
    size_t index = 0;
    for (ReadingGroup& group : now)
        for (int32_t& reading : group.readings) reading = LivelyReading(reading, index++, seconds);
    return FormatReadingList(now);
}

std::optional<std::chrono::milliseconds> HelperModel::BusyFor() const {
    if (m_config.misbehaviour != Misbehaviour::Busy) return std::nullopt;
    return std::chrono::milliseconds(m_config.misbehaveMs);
}

bool HelperModel::Concerns(char request) const {
    return m_config.misbehaviour != Misbehaviour::None && m_config.misbehaviour != Misbehaviour::Busy &&
           m_config.misbehaveOn.find(request) != std::string::npos;
}

std::string HelperModel::Answer(HelperBuild build, char request) const {
    return request == halvane::kRequestCheck ? m_config.Build(build).check : ReadingsAnswer();
}

HelperReply HelperModel::Reply(HelperBuild build, char request) const {
    HelperReply reply;
    const bool asks = request == halvane::kRequestCheck || request == halvane::kRequestReadings;
    if (asks) {
        reply.kind = HelperReply::Kind::Answer;
        reply.bytes = Answer(build, request);
    }
    // "x" is not answered: the helper closes the connection and ends.
    reply.leave = request == halvane::kRequestExit;
    if (!Concerns(request)) return reply;
    switch (m_config.misbehaviour) {
        case Misbehaviour::Slow:
            reply.delay = std::chrono::milliseconds(m_config.misbehaveMs);
            break;
        case Misbehaviour::Silent:
            reply.kind = HelperReply::Kind::Hold;
            reply.leave = false;
            break;
        case Misbehaviour::HangUp:
            reply.kind = HelperReply::Kind::HangUp;
            break;
        case Misbehaviour::Oversized:
            if (!asks) break;
            reply.bytes.resize(std::max(reply.bytes.size(), halvane::kLargestAnswer), ' ');
            reply.bytes += kSpoiler;
            reply.bytes.resize(kOversizedAnswer, ' ');
            break;
        case Misbehaviour::ZeroByte:
            if (!asks) break;
            reply.bytes += '\0';
            reply.bytes += kSpoiler;
            break;
        case Misbehaviour::Garbage:
            if (asks) reply.bytes = kGarbage;
            break;
        case Misbehaviour::None:
        case Misbehaviour::Busy:
            break;
    }
    return reply;
}

}  // namespace bench
