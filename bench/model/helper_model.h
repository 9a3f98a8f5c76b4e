// What the bench's helper process answers: the one-byte requests of the module's pipe exchange
// ("c", "g", "x"), with the scenario's misbehaviours and lively readings. Free of Windows; the
// Halvane.exe stand-in (bench/helper/) is a thin pipe server around it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clock.h"
#include "helper_config.h"

namespace bench {

struct HelperReply {
    enum class Kind {
        Answer,  // write `bytes` with one write, then close the connection
        HangUp,  // close the connection without answering
        Hold,    // keep the connection open and never answer
    };
    Kind kind = Kind::HangUp;
    std::string bytes;
    std::chrono::milliseconds delay{0};  // waited before the reply
    bool leave = false;                  // the helper ends after this exchange
};

class HelperModel {
public:
    // The readings' time starts now.
    HelperModel(HelperConfig config, const Clock& clock);

    HelperReply Reply(HelperBuild build, char request) const;
    // The answer to "g" as it reads now.
    std::string ReadingsAnswer() const;
    // How long the pipe stays busy from the start: nothing when it does not, and a negative
    // duration when for good.
    std::optional<std::chrono::milliseconds> BusyFor() const;
    const HelperConfig& Config() const { return m_config; }

private:
    bool Concerns(char request) const;
    // The well-formed answer, before any misbehaviour spoils it.
    std::string Answer(HelperBuild build, char request) const;

    HelperConfig m_config;
    const Clock& m_clock;
    std::chrono::nanoseconds m_start;
};

// "G,low,high,n,r1,...,rn,..." in upper-case hexadecimal, negative values with a "-".
std::string FormatReadingList(const std::vector<ReadingGroup>& groups);

// The build a copy of the helper is, from the path it runs from: x64 when a folder of the path is
// "x64_lib", otherwise x86.
HelperBuild BuildFromPath(std::string_view path);
const char* BuildName(HelperBuild build);

}  // namespace bench
