#include "bench_scenario.h"

#include <windows.h>

std::optional<std::string> BenchScenarioName() {
    // Only a bench that is already there is asked: torvexctl never loads it itself.
    const HMODULE bench = GetModuleHandleW(L"torvexbench.dll");
    if (!bench) return std::nullopt;
    using NameFn = const char* (*)();
    const auto name =
        reinterpret_cast<NameFn>(reinterpret_cast<void*>(GetProcAddress(bench, "TorvexBench_ScenarioName")));
    if (!name) return std::nullopt;
    const char* text = name();
    return std::string(text ? text : "");
}

std::string BenchScenarioLine() {
    const std::optional<std::string> name = BenchScenarioName();
    return name ? "Bench scenario: " + *name + "\n" : "";
}

nlohmann::ordered_json BenchScenarioJson() {
    const std::optional<std::string> name = BenchScenarioName();
    return name ? nlohmann::ordered_json(*name) : nlohmann::ordered_json(nullptr);
}
