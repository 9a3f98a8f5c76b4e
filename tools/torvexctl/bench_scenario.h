// Which bench machine torvexctl runs on, when it runs on the virtual bench: the bench's vendor
// stand-ins bring torvexbench.dll into the process, and its control interface names the scenario.
// On a real machine there is no such DLL and nothing is shown.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// The scenario's name; nothing when the bench is not in this process.
std::optional<std::string> BenchScenarioName();
// "Bench scenario: <name>\n", or "" without the bench.
std::string BenchScenarioLine();
// The name, or null without the bench.
nlohmann::ordered_json BenchScenarioJson();
