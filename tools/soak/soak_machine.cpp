#include "soak_machine.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "TorvexBench.h"
#include "vendor/vendor_names.h"

namespace {

constexpr int kController = 0x56;

constexpr char kBoards[] = R"("gpus": [
    {"vendor": "nvidia", "bus": 1, "lively": true, "devices": {"0x56": {"preset": "controller-v2"}}},
    {"vendor": "nvidia", "bus": 2, "devices": {"0x56": {"preset": "controller-v2", "registers": {"0x1E": "0x10"},
      "unreadable": ["0x4C-0x4F"], "faults": [{"register": "0x80", "after": 3, "reads": 2}]}}},
    {"vendor": "nvidia", "busQuery": "fail"}])";

constexpr char kSensorSdk[] = R"("cpuidsdk": {"unbound": ["SdkGetVersion"], "devices": [
    {"class": "processor", "name": "Vexon V9", "sensors": [
      {"class": "temperature", "name": "Core #{i}", "count": 4, "value": [45.5, 47.0, 52.25],
       "answers": [true, true, true, false]},
      {"class": "utilization", "name": "Processor Utilization", "value": [12.5, 100.7]},
      {"class": "clock", "name": "Core Clock", "value": 4800}]},
    {"class": "mainboard", "classCounts": {"fan": 3}, "sensors": [
      {"class": "voltage", "name": "+12V", "value": 12.1}, {"class": "fan", "name": "FAN1", "value": [900, 950]}]},
    {"class": "storage", "sensors": [{"class": "temperature", "name": null, "value": 33, "answers": [false, true]}]}]})";

// Register runs the exports read: version, capability bytes, thermal, tilt, power, counters.
constexpr int kFaultRegisters[] = {0x1E, 0x1F, 0xFC, 0xFD, 0x20, 0x60, 0x70, 0x73, 0x76, 0x80, 0xC0, 0xC8};
// Firmware versions on either side of every threshold the gates and checks use.
constexpr int kFirmware[] = {0x0148, 0x0149, 0x04FF, 0x0500, 0x050A, 0x0510, 0x0520};
constexpr int kNvapiFailures[] = {0, -1, -5, -9};

// What the helpers launched from now on answer and how. One that misbehaves holds a query for up
// to the module's bound, 1000 ms; a quiet helper comes up most often so that the run stays short.
const char* const kHelpers[] = {
    "",
    "",
    "",
    "",
    R"(, "misbehave": {"kind": "slow", "ms": 150})",
    R"(, "misbehave": {"kind": "slow", "ms": 1500, "on": "g"})",
    R"(, "misbehave": {"kind": "silent", "on": "c"})",
    R"(, "misbehave": {"kind": "hang-up", "on": "cg"})",
    R"(, "misbehave": {"kind": "oversized"})",
    R"(, "misbehave": {"kind": "zero-byte", "on": "g"})",
    R"(, "misbehave": {"kind": "garbage", "on": "cg"})",
    R"(, "misbehave": {"kind": "busy", "ms": 300})",
    R"(, "x86": {"device": false}, "x64": {"device": false})",
    R"(, "x86": {"device": false})",
    R"(, "answer": "1,1,,2")",
    R"(, "answer": "1,1,1,3,1,2")",
    R"(, "answer": "0")",
    R"(, "answer": "2,1,1,1,64,2,4,-3,C8")",
};

template <typename T, size_t N>
const T& Pick(const T (&choices)[N], std::mt19937& random) {
    return choices[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

std::string Hex(int value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%02X", value);
    return text;
}

}  // namespace

SoakMachine::SoakMachine(const std::string& benchBin, std::mt19937& random)
    : m_folder(benchBin + "\\Halvane.exe", {bench::HelperBuild::X86, bench::HelperBuild::X64}), m_random(random) {
    if (!m_folder.Ready()) {
        m_problem = "cannot lay out " + m_folder.Root() + " with " + benchBin + "\\Halvane.exe";
        return;
    }
    // The module looks for the SDK in the current directory first.
    const std::string sdk = vendor::kLibraryNames.cpuidSdk.narrow;
    if (!CopyFileA((benchBin + "\\" + sdk).c_str(), m_folder.PathOf(sdk).c_str(), FALSE)) {
        m_problem = "cannot copy " + benchBin + "\\" + sdk;
        return;
    }
    SetCurrentDirectoryA(m_folder.Root().c_str());
    // Helpers the module launches read the scenario file; they inherit its name.
    SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", m_folder.PathOf("scenario.json").c_str());
    WriteScenario("");
    if (TorvexBench_LoadScenarioFile(m_folder.PathOf("scenario.json").c_str()) != 0) {
        m_problem = TorvexBench_LastError();
        return;
    }
    // The soak watches its process for growth; the bench's log would grow to its capacity first.
    TorvexBench_SetLogEnabled(0);
}

std::string SoakMachine::InjectFault() {
    const int gpu = std::uniform_int_distribution<int>(0, 1)(m_random);
    switch (std::uniform_int_distribution<int>(0, 5)(m_random)) {
        case 0:
        case 1:
        case 2: {
            const int reg = Pick(kFaultRegisters, m_random);
            const int reads = std::uniform_int_distribution<int>(1, 12)(m_random);
            TorvexBench_FailRegister(gpu, kController, reg, reads, Pick(kNvapiFailures, m_random));
            return "GPU " + std::to_string(gpu) + ": the next " + std::to_string(reads) + " reads of " + Hex(reg) +
                   " fail";
        }
        case 3: {
            const int firmware = Pick(kFirmware, m_random);
            TorvexBench_SetRegister(gpu, kController, 0x1E, firmware & 0xFF);
            TorvexBench_SetRegister(gpu, kController, 0x1F, firmware >> 8);
            return "GPU " + std::to_string(gpu) + ": firmware " + Hex(firmware);
        }
        case 4: {
            const int capabilities = std::uniform_int_distribution<int>(0, 0xFF)(m_random);
            TorvexBench_SetRegister(gpu, kController, 0xFD, capabilities);
            return "GPU " + std::to_string(gpu) + ": capability byte " + Hex(capabilities);
        }
        default:
            return ChangeHelper();
    }
}

std::string SoakMachine::ChangeHelper() {
    const std::string members = Pick(kHelpers, m_random);
    WriteScenario(members);
    return "helpers launched from now on: " + (members.empty() ? std::string("as usual") : members.substr(2));
}

void SoakMachine::WriteScenario(const std::string& helperMembers) {
    std::ofstream(m_folder.PathOf("scenario.json"), std::ios::binary)
        << R"({"name": "soak", )" << kBoards << R"(, "helper": {"launches": "serve")" << helperMembers << "}, "
        << kSensorSdk << "}\n";
}
