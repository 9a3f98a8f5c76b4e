// The bench's helper serving the helper pipe: one connection at a time, one request per
// connection, answered as the helper model says.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "helper_log.h"
#include "helper_model.h"

// Only one helper serves at a time, whatever its build: the one holding this claim. Nothing when
// another helper holds it.
std::optional<UniqueMutex> ClaimPipe();

class PipeServer {
public:
    PipeServer(const bench::HelperModel& model, HelperLog& log) : m_model(model), m_log(log) {}

    // Creates the pipe at once, then logs `startEvent` and sets the named event `readyEvent` (when
    // given), and serves as each of `builds` in turn, the next one taking over when the module tells
    // the current one to end. Returns once the last one was told to end, having closed the pipe and
    // given up the claim before that exchange is closed. Non-zero when the pipe cannot be created.
    int Run(const std::vector<bench::HelperBuild>& builds, UniqueMutex claim, const std::string& startEvent,
            const std::string& readyEvent);

private:
    const bench::HelperModel& m_model;
    HelperLog& m_log;
};
