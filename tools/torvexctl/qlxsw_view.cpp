#include "qlxsw_view.h"

#include "bench_scenario.h"
#include "code_meaning.h"
#include "module_diagnostics.h"
#include "module_exports.h"
#include "number_text.h"
#include "text_layout.h"

namespace {

using json = nlohmann::ordered_json;

// -7 writes the count and a zero total, nothing else.
bool CountWritten(int code) { return code == 1 || code == -7; }

const char kUnit[] = "device units";

}  // namespace

QlxswPresence ProbeQlxsw(const ModuleExports& api) {
    const DebugOutputCapture diagnostics;
    QlxswPresence presence;
    uint8_t supported = 0;
    presence.code = api.Check_QLXSW_Support(&supported);
    presence.present = supported != 0;
    for (const std::wstring& line : diagnostics.Lines()) presence.moduleLines.push_back(ToUtf8(line));
    return presence;
}

std::vector<QlxswReading> ReadQlxsw(const ModuleExports& api, const std::vector<int32_t>& ids) {
    std::vector<QlxswReading> readings;
    for (int32_t id : ids) {
        QlxswReading reading;
        reading.id = id;
        reading.code = api.Get_QLXSW_PowerStatus(id, &reading.status);
        readings.push_back(reading);
    }
    return readings;
}

std::string RenderQlxswTable(const QlxswPresence& presence, const std::vector<QlxswReading>& readings) {
    std::string text = "QLXSW device\n    " + std::string(presence.present ? "present" : "absent") + " (" +
                       CodeText(ModuleExport::Check_QLXSW_Support, presence.code) + ")\n";
    if (!presence.moduleLines.empty()) text += "  The module said during the probe\n";
    for (const std::string& line : presence.moduleLines) text += "    " + line + "\n";
    for (const QlxswReading& r : readings) {
        text += "  Readings for key " + std::to_string(r.id) + ", in " + kUnit + "\n";
        if (r.code != 1) {
            text += "    n/a (" + CodeText(ModuleExport::Get_QLXSW_PowerStatus, r.code) + ")";
            if (r.code == -7) text += ", the helper announced " + std::to_string(r.status.nCount) + " readings";
            text += "\n";
            continue;
        }
        std::vector<std::string> values;
        for (int i = 0; i < r.status.nCount; ++i) values.push_back(FloatText(r.status.fValue[i]));
        text += "    values     " + Columns(values, 10) + "\n    total      " + FloatText(r.status.fTotal) +
                "   over limit " + std::to_string(r.status.nOverLimit) + "   count " + std::to_string(r.status.nCount) +
                "\n";
    }
    return text;
}

json QlxswToJson(const std::string& modulePath, const QlxswPresence& presence, const std::vector<QlxswReading>& readings) {
    json list = json::array();
    for (const QlxswReading& r : readings) {
        json reading = {{"id", r.id}};
        reading.update(CodeJson(ModuleExport::Get_QLXSW_PowerStatus, r.code));
        reading["unit"] = kUnit;
        json values = nullptr;
        if (r.code == 1) {
            values = json::array();
            for (int i = 0; i < r.status.nCount; ++i) values.push_back(FloatJson(r.status.fValue[i]));
        }
        reading["values"] = values;
        reading["total"] = CountWritten(r.code) ? FloatJson(r.status.fTotal) : json(nullptr);
        reading["over_limit"] = r.code == 1 ? json(r.status.nOverLimit) : json(nullptr);
        reading["count"] = CountWritten(r.code) ? json(r.status.nCount) : json(nullptr);
        list.push_back(reading);
    }
    json qlxsw = CodeJson(ModuleExport::Check_QLXSW_Support, presence.code);
    qlxsw["present"] = presence.present;
    qlxsw["module_lines"] = presence.moduleLines;
    qlxsw["readings"] = list;
    return {{"module", modulePath}, {"bench_scenario", BenchScenarioJson()}, {"qlxsw", qlxsw}};
}
