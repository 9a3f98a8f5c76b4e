// The machine the soak runs on: three boards (one lively and complete, one with older firmware, no
// tilt sensor and a flaky power block, one whose bus query fails and that has no chips), the helper
// launched by the module and serving, and a sensor SDK whose sensors now and then do not answer.
// All of it lies in a folder laid out as the host application's, which is the current directory.
// Faults come from the bench: register reads that fail, firmware and capability bytes that change,
// and helpers that misbehave.
#pragma once

#include <random>
#include <string>

#include "helper_host.h"

class SoakMachine {
public:
    // Lays the folder out with the helper and the SDK stand-ins found in `benchBin`, makes it the
    // current directory, and loads the machine into this process's bench.
    SoakMachine(const std::string& benchBin, std::mt19937& random);
    SoakMachine(const SoakMachine&) = delete;
    SoakMachine& operator=(const SoakMachine&) = delete;

    // Empty when the machine is ready, else what went wrong.
    const std::string& Problem() const { return m_problem; }
    const std::string& Folder() const { return m_folder.Root(); }

    // One fault at random: the next reads of a register fail, a board's firmware version or
    // capability byte changes, or the helpers launched from now on answer or misbehave in another
    // way (or not). What it did, in a few words.
    std::string InjectFault();

private:
    std::string ChangeHelper();
    void WriteScenario(const std::string& helperMembers);

    bench::HelperFolder m_folder;
    std::mt19937& m_random;
    std::string m_problem;
};
