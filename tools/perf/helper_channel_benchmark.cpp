// What the helper channel costs a host thread, measured against the bench's helper:
//   - a reading query while the helper runs (one exchange) against the bare pipe round trip the
//     same exchange takes without the module;
//   - a first query, which launches the helper (process start, the 100 ms pause, the exchange),
//     and how long the helper takes from its start to a served pipe;
//   - the longest each misbehaviour of the helper holds the query, the probe and the release.
//
//   build/win32/wine-run build/win32/bin/helper_channel_benchmark.exe [exchanges]
//
// It lays out a folder as the host application's (LIB\x86_lib\Halvane.exe), makes it the current
// directory and starts the helper itself before each measurement, so that a slow process start
// never decides what is measured.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "helper_host.h"
#include "module_exports.h"
#include "vendor/halvane_pipe.h"

namespace {

using bench::HelperBuild;
using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

template <typename Call>
double Milliseconds(Call&& call) {
    const Clock::time_point start = Clock::now();
    call();
    return MillisecondsSince(start);
}

// The exchange as the module's pipe protocol states it, without the module: open, write the
// request, one read, close.
void BareExchange(char request) {
    const UniqueFileHandle pipe(CreateFileA(halvane::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    char answer[halvane::kLargestAnswer + 1] = {};
    DWORD moved = 0;
    WriteFile(pipe.get(), &request, 1, &moved, nullptr);
    ReadFile(pipe.get(), answer, static_cast<DWORD>(halvane::kLargestAnswer), &moved, nullptr);
}

class Bench {
public:
    explicit Bench(const std::string& standIn) : m_folder(standIn, {HelperBuild::X86}) {
        SetCurrentDirectoryA(m_folder.Root().c_str());
        SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", m_folder.PathOf("scenario.json").c_str());
        SetHelper("");
    }
    ~Bench() { EndServing(); }

    bool Ready() const { return m_folder.Ready(); }

    // The scenario's helper section with these members, for helpers started from now on. With
    // `launchedServe`, the copies the module launches serve; otherwise only helpers started here do.
    void SetHelper(const std::string& members, bool launchedServe = false) {
        std::ofstream(m_folder.PathOf("scenario.json"), std::ios::binary)
            << R"({"helper": {"launches": ")" << (launchedServe ? "serve" : "log-only") << "\", " << members
            << (members.empty() ? "" : ", ")
            << R"("groups": [{"low": 1, "high": 1, "readings": [1000, 2000, 3000]}], "lively": false}})";
    }

    // A helper serving as the listed builds; the milliseconds from its start to its served pipe.
    double Serve(const char* builds) {
        const Clock::time_point start = Clock::now();
        m_serving.push_back(bench::StartServingHelper(m_folder.HelperOf(HelperBuild::X86), builds,
                                                      std::chrono::milliseconds(30000)));
        if (!m_serving.back()) {
            std::fprintf(stderr, "the helper did not serve within 30 s\n");
            std::exit(2);
        }
        return MillisecondsSince(start);
    }

    void EndServing() {
        for (const UniqueHandle& helper : m_serving) {
            TerminateProcess(helper.get(), 0);
            WaitForSingleObject(helper.get(), 5000);
        }
        m_serving.clear();
    }

private:
    bench::HelperFolder m_folder;
    std::vector<UniqueHandle> m_serving;
};

struct Spread {
    double least = 1e30, most = 0;
    std::vector<double> all;
    void Add(double ms) {
        least = std::min(least, ms);
        most = std::max(most, ms);
        all.push_back(ms);
    }
    double Median() {
        std::sort(all.begin(), all.end());
        return all.empty() ? 0 : all[all.size() / 2];
    }
};

void MeasureRunningQuery(Bench& bench, const ModuleExports& api, int exchanges) {
    QLXSWPowerStatus status{};
    // The probe's "x" hands over to the second role; the first query launches (and its copy
    // leaves), so the rounds below are exchanges only.
    bench.Serve("x86,x86");
    uint8_t supported = 0;
    if (api.Check_QLXSW_Support(&supported) != 1 || api.Get_QLXSW_PowerStatus(1, &status) != 1) {
        std::fprintf(stderr, "the helper does not answer\n");
        std::exit(2);
    }
    // The two sides alternate exchange by exchange, each going first every other time, so that what
    // the machine does meanwhile falls on both alike; the medians are compared.
    Spread bare, module;
    for (int i = 0; i < exchanges; ++i) {
        const auto bareOne = [&] { bare.Add(Milliseconds([] { BareExchange(halvane::kRequestReadings); })); };
        const auto moduleOne = [&] { module.Add(Milliseconds([&] { api.Get_QLXSW_PowerStatus(1, &status); })); };
        if (i % 2) {
            bareOne();
            moduleOne();
        } else {
            moduleOne();
            bareOne();
        }
    }
    const double bareMedian = bare.Median(), moduleMedian = module.Median();
    std::printf("reading query, helper running   bare round trip %7.1f us   export %7.1f us   ratio %.3f"
                "   (medians of %d each)\n",
                bareMedian * 1000, moduleMedian * 1000, moduleMedian / bareMedian, exchanges);
    api.Exit_KIVO();
    bench.EndServing();
}

void MeasureFirstQuery(Bench& bench, const ModuleExports& api) {
    Spread first, start;
    QLXSWPowerStatus status{};
    for (int i = 0; i < 7; ++i) {
        start.Add(bench.Serve("x86"));
        first.Add(Milliseconds([&] { api.Get_QLXSW_PowerStatus(1, &status); }));
        api.Exit_KIVO();
        bench.EndServing();
    }
    std::printf("first query (launch + exchange)  least %7.1f ms   median %7.1f ms   most %7.1f ms\n", first.least,
                first.Median(), first.most);
    std::printf("helper start to served pipe      least %7.1f ms   median %7.1f ms   most %7.1f ms\n", start.least,
                start.Median(), start.most);

    // The same with nothing started beforehand: the copy the module launches must have its pipe
    // within the module's 100 ms pause, or the exchange finds none and the list is "ERROR" (-1).
    bench.SetHelper("", true);
    Spread alone;
    int answered = 0;
    for (int i = 0; i < 7; ++i) {
        int result = 0;
        alone.Add(Milliseconds([&] { result = api.Get_QLXSW_PowerStatus(1, &status); }));
        answered += result == 1;
        api.Exit_KIVO();
        Sleep(1000);  // a copy that came up late has had its "x" or is gone
        api.Exit_KIVO();
    }
    std::printf("first query, module's own launch least %7.1f ms   median %7.1f ms   most %7.1f ms   answered %d of 7\n",
                alone.least, alone.Median(), alone.most, answered);
    bench.SetHelper("");
}

// The longest each export holds its caller while the helper misbehaves on every request. The query
// is measured with the helper running (exchange only); the probe includes its launch.
void MeasureMisbehaviours(Bench& bench, const ModuleExports& api) {
    const std::pair<const char*, const char*> misbehaviours[] = {
        {"slow 5 s", R"("misbehave": {"kind": "slow", "ms": 5000})"},
        {"silent", R"("misbehave": {"kind": "silent"})"},
        {"hang-up", R"("misbehave": {"kind": "hang-up"})"},
        {"busy", R"("misbehave": {"kind": "busy"})"},
        {"oversized", R"("misbehave": {"kind": "oversized"})"},
        {"zero-byte", R"("misbehave": {"kind": "zero-byte"})"},
        {"garbage", R"("misbehave": {"kind": "garbage"})"},
    };
    std::printf("\nlongest hold of 3 (ms); one exchange is bounded at 1000 ms\n");
    std::printf("%-12s %10s %10s %10s\n", "misbehaviour", "query", "release", "probe");
    for (const auto& [name, misbehaviour] : misbehaviours) {
        Spread query, release, probe;
        QLXSWPowerStatus status{};
        uint8_t supported = 0;
        for (int i = 0; i < 3; ++i) {
            bench.SetHelper("");
            bench.Serve("x86");
            api.Get_QLXSW_PowerStatus(1, &status);  // launches; the helper counts as running from now on
            bench.EndServing();
            bench.SetHelper(misbehaviour);
            bench.Serve("x86");
            query.Add(Milliseconds([&] { api.Get_QLXSW_PowerStatus(1, &status); }));
            release.Add(Milliseconds([&] { api.Exit_KIVO(); }));
            bench.EndServing();
            bench.Serve("x86,x64");
            probe.Add(Milliseconds([&] { api.Check_QLXSW_Support(&supported); }));
            bench.EndServing();
        }
        std::printf("%-12s %10.1f %10.1f %10.1f\n", name, query.most, release.most, probe.most);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int exchanges = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3000;
    Bench bench(ToUtf8(BesideRunningProgram(L"..\\bench-bin\\Halvane.exe")));
    if (!bench.Ready()) {
        std::fprintf(stderr, "cannot lay out the helper folder\n");
        return 2;
    }
    ModuleLoadError error;
    std::optional<LoadedExports> module = LoadedExports::Load(DefaultModulePath(), error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.Describe().c_str());
        return 2;
    }
    MeasureRunningQuery(bench, module->api(), exchanges);
    MeasureFirstQuery(bench, module->api());
    MeasureMisbehaviours(bench, module->api());
    return 0;
}
