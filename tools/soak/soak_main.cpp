// Calls the module's nineteen exports over and over with random arguments while the bench injects
// faults, checks that every answer is one the export documents, and prints the process's committed
// memory, heap in use and handles at the start, every 100,000 calls and at the end, so that growth
// shows.
//
//   build/win32/wine-run build/win32/bin/soak.exe [--calls N] [--seed S] [--report-every N] [--show-faults]
//
// Exit code 0 when every answer was documented, 1 when one was not, 2 when the machine could not
// be set up. The module's own lines on standard output (the sensor readings) are discarded unless
// --module-output is given.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "export_calls.h"
#include "helper_host.h"
#include "module_exports.h"
#include "process_figures.h"
#include "soak_machine.h"

namespace {

// A fault every this many calls.
constexpr uint64_t kFaultEvery = 2000;
// Undocumented answers reported one by one; beyond this only counted.
constexpr int kReportedAnswers = 20;

// The soak's own report goes to the standard output it was started with; the module's lines go to
// the null device unless asked for.
FILE* ReportStream(bool keepModuleOutput) {
    if (keepModuleOutput) return stdout;
    std::fflush(stdout);
    FILE* report = _fdopen(_dup(1), "w");
    const int null = _open("NUL", _O_WRONLY);
    _dup2(null, 1);
    _close(null);
    return report ? report : stderr;
}

// The calls in 10,000 of each export, spread over [0, total).
std::vector<int> CumulativeWeights(const std::vector<ExportCall>& calls) {
    std::vector<int> bounds;
    int total = 0;
    for (const ExportCall& call : calls) bounds.push_back(total += call.weight);
    return bounds;
}

class Report {
public:
    explicit Report(FILE* out) : m_out(out), m_start(std::chrono::steady_clock::now()) {
        std::fprintf(m_out, "%10s %9s %12s %10s %8s %13s\n", "calls", "seconds", "private KB", "heap KB", "handles",
                     "undocumented");
    }
    void Line(uint64_t calls, uint64_t undocumented) {
        const ProcessFigures f = MeasureProcess();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        std::fprintf(m_out, "%10llu %9.1f %12llu %10llu %8lu %13llu\n", static_cast<unsigned long long>(calls), seconds,
                     static_cast<unsigned long long>(f.privateBytes / 1024), static_cast<unsigned long long>(f.heapBytes / 1024),
                     static_cast<unsigned long>(f.handles), static_cast<unsigned long long>(undocumented));
        std::fflush(m_out);
    }

private:
    FILE* m_out;
    std::chrono::steady_clock::time_point m_start;
};

}  // namespace

int main(int argc, char** argv) {
    uint64_t calls = 1'000'000;
    uint32_t seed = 1;
    uint64_t reportEvery = 100'000;
    bool moduleOutput = false;
    bool showFaults = false;
    CLI::App app{"soak: calls TorvexModule.dll's exports over and over on the bench, with faults, and watches for growth."};
    app.add_option("--calls", calls, "Export calls to make")->check(CLI::PositiveNumber);
    app.add_option("--seed", seed, "Seed of the random arguments and faults");
    app.add_option("--report-every", reportEvery, "Calls between two lines of figures")->check(CLI::PositiveNumber);
    app.add_flag("--module-output", moduleOutput, "Keep the module's lines on standard output");
    app.add_flag("--show-faults", showFaults, "Print each fault the bench injects");
    CLI11_PARSE(app, argc, argv);

    FILE* const out = ReportStream(moduleOutput);
    // Helpers the module launches end with the soak, however it ends.
    bench::EndChildrenWithThisProcess();

    std::mt19937 faults(seed);
    SoakMachine machine(ToUtf8(BesideRunningProgram(L"..\\bench-bin")), faults);
    if (!machine.Problem().empty()) {
        std::fprintf(stderr, "soak: %s\n", machine.Problem().c_str());
        return 2;
    }
    ModuleLoadError error;
    std::optional<LoadedExports> module = LoadedExports::Load(DefaultModulePath(), error);
    if (!module) {
        std::fprintf(stderr, "soak: %s\n", error.Describe().c_str());
        return 2;
    }
    std::fprintf(out, "soak: %llu calls, seed %u, host folder %s\n", static_cast<unsigned long long>(calls), seed,
                 machine.Folder().c_str());

    const std::vector<ExportCall>& table = ExportCalls();
    const std::vector<int> bounds = CumulativeWeights(table);
    Draw draw(seed);
    SoakState state;
    std::map<std::string, std::set<int>> codesSeen;
    uint64_t undocumented = 0;
    Report report(out);
    report.Line(0, 0);
    for (uint64_t n = 1; n <= calls; ++n) {
        const int pick = draw.Between(0, bounds.back() - 1);
        const ExportCall& call = table[std::upper_bound(bounds.begin(), bounds.end(), pick) - bounds.begin()];
        const Answer answer = call.call(module->api(), draw, state);
        codesSeen[RowOf(call.id).name].insert(answer.code);
        if (!answer.documented && ++undocumented <= kReportedAnswers) {
            std::fprintf(out, "call %llu: %s(%s) answered %d, which it does not document\n",
                         static_cast<unsigned long long>(n), RowOf(call.id).name, answer.arguments.c_str(),
                         answer.code);
        }
        if (n % kFaultEvery == 0) {
            const std::string fault = machine.InjectFault();
            if (showFaults) std::fprintf(out, "call %llu: %s\n", static_cast<unsigned long long>(n), fault.c_str());
        }
        if (n % reportEvery == 0 || n == calls) report.Line(n, undocumented);
    }
    module->api().Exit_KIVO();

    std::fprintf(out, "codes seen per export:\n");
    for (const ExportCall& call : table) {
        std::string codes;
        for (int code : codesSeen[RowOf(call.id).name]) codes += " " + std::to_string(code);
        std::fprintf(out, "  %-26s%s\n", RowOf(call.id).name, codes.c_str());
    }
    std::fprintf(out, "%llu answers outside what their export documents\n", static_cast<unsigned long long>(undocumented));
    return undocumented == 0 ? 0 : 1;
}
