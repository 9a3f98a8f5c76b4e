#include "sensors_command.h"

#include <climits>
#include <cstdio>
#include <fstream>
#include <optional>

#include "cli_words.h"
#include "code_meaning.h"
#include "console.h"
#include "exit_codes.h"
#include "number_text.h"
#include "sensors_render.h"

namespace {

// The whole catalogue, refreshed; the module's line for every reading goes nowhere.
std::optional<std::vector<SensorRecord>> Query(const ModuleExports& api) {
    StdoutDiscarded moduleLines;
    const int count = api.Get_Systerm_Sensor_Count();
    if (count < 1) return std::nullopt;
    std::vector<SensorRecord> records(static_cast<size_t>(count));
    int32_t written = 0;
    SensorRecord* array = records.data();
    if (api.Get_Sensor_RealTime_Data(&written, &array) != 0 || written != count) return std::nullopt;
    return records;
}

std::vector<SensorRecord> Matching(const std::vector<SensorRecord>& records, const std::string& text) {
    std::vector<SensorRecord> shown;
    for (const SensorRecord& r : records)
        if (text.empty() || SensorMatches(r, text)) shown.push_back(r);
    return shown;
}

// Switches the named sensors on or off; false when a name is unknown or the module refuses.
bool SetStatus(const ModuleExports& api, const std::vector<SensorRecord>& records, const std::vector<std::string>& names,
               bool enabled) {
    bool ok = true;
    for (const std::string& name : names) {
        std::vector<SensorRecord> given;
        for (const SensorRecord& r : records)
            if (FieldText(r.szDisplayName) == name) given.push_back(r);
        if (given.empty()) {
            PrintError("no sensor is named \"" + name + "\"");
            ok = false;
            continue;
        }
        for (SensorRecord& r : given) r.bEnabled = enabled ? 1 : 0;
        int32_t count = static_cast<int32_t>(given.size());
        const int code = api.Set_Sensor_Status(&count, given.data());
        if (code != 0) {
            PrintError("the module refused to switch \"" + name + "\" (" + CodeText(ModuleExport::Set_Sensor_Status, code) +
                       ")");
            ok = false;
        }
    }
    return ok;
}

int WriteLog(const ModuleExports& api, const SensorsOptions& options, const std::vector<SensorRecord>& first) {
    std::ofstream file(options.csvPath, std::ios::binary);
    if (!file) {
        PrintError("cannot write " + options.csvPath);
        return kExitUsage;
    }
    file << CsvHeader(first) << CsvRow(LocalTimeText(), first) << std::flush;
    for (int row = 1; row < options.count; ++row) {
        SleepSeconds(options.intervalSeconds);
        const auto records = Query(api);
        if (!records) {
            PrintError("the module stopped answering the real-time query");
            return kExitNoSensors;
        }
        file << CsvRow(LocalTimeText(), Matching(*records, options.match)) << std::flush;
    }
    std::printf("%d rows of %zu sensors written to %s\n", options.count, first.size(), options.csvPath.c_str());
    return kExitOk;
}

}  // namespace

const char kSensorsHelp[] =
    "The module builds its sensor catalogue once, from the system-monitoring SDK (cpuidsdk.dll, looked "
    "for relative to the current folder), and refreshes it at every query; each sensor keeps its "
    "number and its unique display name. --disable and --enable take display names and switch the "
    "sensors' refresh for as long as this run lasts. --csv logs --count rows, --interval seconds "
    "apart, with one column per shown sensor under its display name.";

void AddSensorsOptions(CLI::App& command, SensorsOptions& options) {
    command.add_option("--first", options.firstNumber, "Number of the first sensor (used when above 0).")
        ->capture_default_str();
    command.add_option("--match", options.match,
                       "Show only sensors whose display name, device or category holds this text (any case).");
    CLI::Option* json = command.add_flag("--json", options.json, "One JSON document with every field of every shown sensor.");
    CLI::Option* csv = command.add_option("--csv", options.csvPath, "Log the shown sensors' readings to this CSV file.");
    csv->excludes(json);
    command.add_option("--interval", options.intervalSeconds, "Seconds between the rows of the log.")
        ->capture_default_str()
        ->check(SecondsRange())
        ->needs(csv);
    command.add_option("--count", options.count, "Rows of the log.")
        ->capture_default_str()
        ->check(WholeRange(1, INT_MAX))
        ->needs(csv);
    command.add_option("--disable", options.disable, "Stop re-reading the sensor with this display name (repeatable).");
    command.add_option("--enable", options.enable, "Re-read the sensor with this display name again (repeatable).");
}

int RunSensors(const ModuleChoice& choice, const SensorsOptions& options) {
    auto module = OpenModule(choice);
    if (!module) return kExitModuleMissing;
    const ModuleExports& api = module->api();
    int started = 0;
    {
        StdoutDiscarded moduleLines;
        started = api.GetSystermSensorInfo(options.firstNumber);
    }
    if (started != 0) {
        PrintError(CodeMeaning(ModuleExport::GetSystermSensorInfo, started) + " (" + std::to_string(started) + ")");
        return kExitNoSensors;
    }
    std::optional<std::vector<SensorRecord>> records = Query(api);
    if (!records) {
        PrintError("the sensor catalogue is empty");
        return kExitNoSensors;
    }
    int exitCode = kExitOk;
    if (!options.disable.empty() || !options.enable.empty()) {
        const bool ok = SetStatus(api, *records, options.disable, false) & SetStatus(api, *records, options.enable, true);
        if (!ok) exitCode = kExitRefused;
        records = Query(api);
        if (!records) return kExitNoSensors;
    }
    const std::vector<SensorRecord> shown = Matching(*records, options.match);
    if (!options.csvPath.empty()) {
        const int logged = WriteLog(api, options, shown);
        return logged != kExitOk ? logged : exitCode;
    }
    const Utf8Console utf8;
    if (options.json) {
        std::fputs((JsonText(SensorsToJson(ToUtf8(module->path()), shown), 2) + "\n").c_str(), stdout);
    } else {
        std::fputs(RenderSensorTable(shown).c_str(), stdout);
    }
    return exitCode;
}
