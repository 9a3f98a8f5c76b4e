// The bench's stand-in for the host application's helper process, Halvane.exe.
//
// Launched without arguments, as the module launches it, it is the build its folder names (x64
// below a folder "x64_lib", otherwise x86) and serves the helper pipe as that build. Started as
//   Halvane.exe --serve x86[,x64] [--ready <event name>]
// it serves as the listed builds in turn, each until it is told to end, and sets the named event
// once its pipe exists: what a test does to have the pipe served before the module asks, however
// long a process takes to start. What it answers comes from the scenario's "helper" section (the
// file TORVEX_BENCH_SCENARIO names, which it inherits from the module's process, or the built-in
// default machine); every copy appends what it does to the log file the section names.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "default_scenario.h"
#include "helper_model.h"
#include "pipe_server.h"
#include "scenario.h"

namespace {

using bench::HelperBuild;

struct Options {
    std::vector<HelperBuild> serve;  // empty: launched by the module
    std::string readyEvent;
};

bool ParseBuilds(const std::string& list, std::vector<HelperBuild>& builds) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(',', start), list.size());
        const std::string name = list.substr(start, end - start);
        if (name != "x86" && name != "x64") return false;
        builds.push_back(name == "x86" ? HelperBuild::X86 : HelperBuild::X64);
        start = end + 1;
    }
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return false;
        if (arg == "--serve") {
            if (!ParseBuilds(argv[++i], options.serve)) return false;
        } else if (arg == "--ready") {
            options.readyEvent = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

std::string OwnPath() {
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof(path));
    return path;
}

bench::ScenarioResult LoadScenario() {
    const char* path = std::getenv("TORVEX_BENCH_SCENARIO");
    return path && *path ? bench::ReadScenarioFile(path) : bench::ParseScenario(bench::kDefaultScenarioJson);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs("usage: Halvane.exe [--serve x86[,x64]] [--ready <event name>]\n", stderr);
        return 2;
    }
    const bench::ScenarioResult scenario = LoadScenario();
    if (!scenario.ok) {
        std::fprintf(stderr, "Halvane (bench): %s\n", scenario.error.c_str());
        return 3;
    }
    const bench::HelperConfig& config = scenario.machine.helper;
    HelperLog log(config.log);
    const HelperBuild own = bench::BuildFromPath(OwnPath());
    const bool launched = options.serve.empty();
    if (launched && !config.Build(own).installed) {
        log.Write(own, "launch not-installed");
        return 0;
    }
    if (launched && !config.launchesServe) {
        log.Write(own, "launch log-only");
        return 0;
    }
    std::optional<UniqueMutex> claim = ClaimPipe();
    if (!claim) {
        log.Write(launched ? own : options.serve.front(), launched ? "launch pipe-taken" : "serve pipe-taken");
        return launched ? 0 : 4;
    }
    if (launched) options.serve.push_back(own);
    const bench::SteadyClock clock;
    const bench::HelperModel model(config, clock);
    PipeServer server(model, log);
    return server.Run(options.serve, std::move(*claim), launched ? "launch serving" : "serve", options.readyEvent);
}
