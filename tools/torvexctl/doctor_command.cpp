#include "doctor_command.h"

#include <cstdio>

#include "bench_scenario.h"
#include "console.h"
#include "doctor_render.h"
#include "exit_codes.h"
#include "gpu/driver_library.h"
#include "module_exports.h"
#include "number_text.h"
#include "vendor/vendor_names.h"

namespace {

VendorLibraryOrigin LoaderSearched(const wchar_t* name, const char* search) {
    return {name, std::nullopt, search, LoadedModulePath(name)};
}

}  // namespace

int RunDoctor(const ModuleChoice& choice, const DoctorOptions& options) {
    DoctorReport report;
    // The module starts up first, so that the vendor libraries it loads are in this process.
    ModuleLoadError error;
    std::optional<LoadedExports> module;
    {
        StdoutToStderr moduleLinesAside;
        module = LoadedExports::Load(choice.path.empty() ? DefaultModulePath() : FromUtf8(choice.path), error);
    }
    report.modulePath = module ? module->path() : error.file;
    if (!module) report.moduleError = error.Describe();
    report.benchScenario = BenchScenarioName();

    SystemFacts& facts = ThisProcessSystemFacts();
    report.buildNumber = facts.BuildNumber();
    report.wow64 = facts.Wow64();
    report.windows7OrLater = facts.Windows7OrLater();
    const vendor::LibraryNames& names = vendor::kLibraryNames;
    report.libraries.push_back({names.nvapi.wide, ThisProcessDriverLoader().Plan(names.nvapi.wide), "",
                                LoadedModulePath(names.nvapi.wide)});
    report.libraries.push_back(LoaderSearched(names.adl.wide, "by name, in the loader's standard search order"));
    report.libraries.push_back(LoaderSearched(
        names.adlx.wide, "by name, in the application folder, the user folders, then the system directory"));

    const std::string text = options.json ? JsonText(DoctorToJson(report), 2) + "\n" : RenderDoctorText(report);
    std::fputs(text.c_str(), stdout);
    if (!module) {
        std::fprintf(stderr, "torvexctl: %s\n", report.moduleError.c_str());
        return kExitModuleMissing;
    }
    return kExitOk;
}
