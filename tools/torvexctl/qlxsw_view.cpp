#include "qlxsw_view.h"

#include <cstdio>

#include "board_text.h"
#include "module_diagnostics.h"

namespace {

using json = nlohmann::ordered_json;

// The module names the build in its probe line: "QLXSW probe: device present, helper build x86".
std::string HelperBuildFrom(const DebugOutputCapture& diagnostics) {
    const std::wstring marker = L"QLXSW probe: ";
    const std::wstring build = L", helper build ";
    for (const std::wstring& line : diagnostics.Lines()) {
        if (line.rfind(marker, 0) != 0) continue;
        const size_t at = line.find(build);
        if (at != std::wstring::npos) return std::string(line.begin() + at + build.size(), line.end());
    }
    return "unknown";
}

// -7 writes the count and a zero total, nothing else.
bool CountWritten(int code) { return code == 1 || code == -7; }

std::string Fixed3(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f", value);
    return text;
}

}  // namespace

QlxswPresence ProbeQlxsw(const ModuleExports& api) {
    const DebugOutputCapture diagnostics;
    QlxswPresence presence;
    uint8_t supported = 0;
    presence.code = api.Check_QLXSW_Support(&supported);
    presence.present = supported != 0;
    presence.helperBuild = HelperBuildFrom(diagnostics);
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
                       std::to_string(presence.code) + "), helper build " + presence.helperBuild + "\n";
    for (const QlxswReading& r : readings) {
        text += "  Readings for key " + std::to_string(r.id) + "\n";
        if (r.code != 1) {
            text += "    n/a (" + std::to_string(r.code) + ")";
            if (r.code == -7) text += ", the helper announced " + std::to_string(r.status.nCount) + " readings it did not send";
            text += "\n";
            continue;
        }
        text += "    values     ";
        for (int i = 0; i < r.status.nCount; ++i) text += (i ? "  " : "") + Fixed3(r.status.fValue[i]);
        text += "\n    total      " + Fixed3(r.status.fTotal) + "   over limit " + std::to_string(r.status.nOverLimit) +
                "   count " + std::to_string(r.status.nCount) + "\n";
    }
    return text;
}

json QlxswToJson(const std::string& modulePath, const QlxswPresence& presence, const std::vector<QlxswReading>& readings) {
    json list = json::array();
    for (const QlxswReading& r : readings) {
        json reading = {{"id", r.id}, {"code", r.code}};
        if (r.code == 1) {
            json values = json::array();
            for (int i = 0; i < r.status.nCount; ++i) values.push_back(ShortestDouble(r.status.fValue[i]));
            reading["values"] = values;
            reading["over_limit"] = r.status.nOverLimit;
        }
        if (CountWritten(r.code)) {
            reading["total"] = ShortestDouble(r.status.fTotal);
            reading["count"] = r.status.nCount;
        }
        list.push_back(reading);
    }
    return {{"module", modulePath},
            {"qlxsw",
             {{"code", presence.code},
              {"present", presence.present},
              {"helper_build", presence.helperBuild},
              {"readings", list}}}};
}
