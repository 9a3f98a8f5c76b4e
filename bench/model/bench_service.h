// The one bench of a process, as torvexbench.dll serves it: the machine is loaded at first use
// (the scenario file named by TORVEX_BENCH_SCENARIO, else the built-in default machine), and
// every call is serialised. A scenario file that cannot be used is reported and the bench then
// refuses to serve: the libraries load, but no vendor interface starts, so the mistake shows.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "bench.h"
#include "scenario.h"

namespace bench {

class BenchService {
public:
    using ScenarioPathLookup = std::function<std::optional<std::string>()>;
    using ErrorReport = std::function<void(const std::string&)>;

    BenchService(const Clock& clock, ScenarioPathLookup scenarioPath, ErrorReport reportError);

    // Runs f(Bench&) under the lock, after loading the machine if this is the first use.
    template <typename F>
    auto With(F&& f) {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        EnsureLoaded();
        return f(m_bench);
    }

    // 0, or -1 with the previous machine kept and LastError saying why.
    int LoadText(std::string_view jsonText);
    int LoadFile(const std::string& path);
    void LoadDefault();
    // Why the last load failed; empty after a successful one. Valid until the next load.
    const char* LastError();

private:
    void EnsureLoaded();
    int Take(ScenarioResult result);
    void Refuse(const std::string& why);

    // Recursive: the bench calls the caller's ADL callbacks, which may call back into the bench.
    std::recursive_mutex m_mutex;
    Bench m_bench;
    ScenarioPathLookup m_scenarioPath;
    ErrorReport m_reportError;
    bool m_loaded = false;
    std::string m_lastError;
};

// The machine of a bench that refuses to serve: every library loads, nothing starts.
Machine RefusingMachine();

}  // namespace bench
