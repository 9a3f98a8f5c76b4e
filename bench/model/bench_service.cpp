#include "bench_service.h"

#include <utility>

#include "default_scenario.h"
#include "scenario.h"

namespace bench {

Machine RefusingMachine() {
    Machine machine;
    machine.name = "refusing to serve";
    machine.nvapi.present = true;
    machine.nvapi.initialize = nvapi::NVAPI_ERROR;
    machine.adl.present = true;
    machine.adl.context = false;
    machine.adlx.present = true;
    machine.adlx.initialize = adlx::ADLX_FAIL;
    machine.adlx.initializeWithAdl = adlx::ADLX_FAIL;
    return machine;
}

BenchService::BenchService(const Clock& clock, ScenarioPathLookup scenarioPath, ErrorReport reportError)
    : m_bench(clock), m_scenarioPath(std::move(scenarioPath)), m_reportError(std::move(reportError)) {}

void BenchService::EnsureLoaded() {
    if (m_loaded) return;
    const std::optional<std::string> path = m_scenarioPath();
    if (!path) {
        LoadDefault();
        return;
    }
    ScenarioResult result = ReadScenarioFile(*path);
    if (Take(std::move(result)) != 0) Refuse("TORVEX_BENCH_SCENARIO: " + m_lastError);
}

int BenchService::Take(ScenarioResult result) {
    if (!result.ok) {
        m_lastError = std::move(result.error);
        return -1;
    }
    m_bench.Load(std::move(result.machine));
    m_loaded = true;
    m_lastError.clear();
    return 0;
}

void BenchService::Refuse(const std::string& why) {
    m_reportError("torvexbench: " + why + "\ntorvexbench: refusing to serve: every vendor library loads, "
                  "but none starts, until a valid scenario is loaded\n");
    m_bench.Load(RefusingMachine());
    m_loaded = true;
}

int BenchService::LoadText(std::string_view jsonText) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return Take(ParseScenario(jsonText));
}

int BenchService::LoadFile(const std::string& path) {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return Take(ReadScenarioFile(path));
}

void BenchService::LoadDefault() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (Take(ParseScenario(kDefaultScenarioJson)) != 0) Refuse("the built-in default machine: " + m_lastError);
}

const char* BenchService::LastError() {
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_lastError.c_str();
}

}  // namespace bench
