#include "sensors_render.h"

#include <cctype>
#include <cstdio>

#include "module_exports.h"
#include "number_text.h"
#include "text_layout.h"

using json = nlohmann::ordered_json;

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::string FieldText(const TorvexWChar* field, size_t length) {
    std::wstring text;
    for (size_t i = 0; i < length && field[i]; ++i) text += field[i];
    return ToUtf8(text);
}

bool SensorMatches(const SensorRecord& r, const std::string& text) {
    const std::string needle = Lower(text);
    for (const std::string& hay : {FieldText(r.szDisplayName), FieldText(r.szDeviceName), FieldText(r.szCategory)})
        if (Lower(hay).find(needle) != std::string::npos) return true;
    return false;
}

std::string RenderSensorTable(const std::vector<SensorRecord>& records) {
    std::string out;
    const SensorRecord* previous = nullptr;
    for (const SensorRecord& r : records) {
        char line[512];
        if (!previous || previous->nDeviceIndex != r.nDeviceIndex) {
            std::snprintf(line, sizeof(line), "%s (device %d)\n", FieldText(r.szDeviceName).c_str(),
                          static_cast<int>(r.nDeviceIndex));
            out += line;
        }
        if (!previous || previous->nDeviceIndex != r.nDeviceIndex || previous->nClassOrdinal != r.nClassOrdinal)
            out += "  " + FieldText(r.szCategory) + "\n";
        std::snprintf(line, sizeof(line), "    %6d  %s %10s %s %s .. %s%s\n", static_cast<int>(r.nNumber),
                      Padded(FieldText(r.szDisplayName), 34).c_str(), FloatText(r.fValue).c_str(),
                      Padded(FieldText(r.szUnit), 5).c_str(), FloatText(r.fMin).c_str(), FloatText(r.fMax).c_str(),
                      r.bEnabled ? "" : "  (disabled)");
        out += line;
        previous = &r;
    }
    return out;
}

json SensorsToJson(const std::string& modulePath, const std::vector<SensorRecord>& records) {
    json sensors = json::array();
    for (const SensorRecord& r : records) {
        sensors.push_back({{"number", r.nNumber},
                           {"display_name", FieldText(r.szDisplayName)},
                           {"name", FieldText(r.szName)},
                           {"device", FieldText(r.szDeviceName)},
                           {"device_index", r.nDeviceIndex},
                           {"category", FieldText(r.szCategory)},
                           {"key", FieldText(r.szKey)},
                           {"group", r.nGroup},
                           {"group_ordinal", r.nGroupOrdinal},
                           {"class_ordinal", r.nClassOrdinal},
                           {"sensor_index", r.nSensorIndex},
                           {"id", {{"high", r.nIdHigh}, {"class", r.nClassNumber}, {"low", r.nIdLow}}},
                           {"raw", r.nRawValue},
                           {"value", FloatJson(r.fValue)},
                           {"min", FloatJson(r.fMin)},
                           {"max", FloatJson(r.fMax)},
                           {"unit", FieldText(r.szUnit)},
                           {"enabled", r.bEnabled != 0}});
    }
    return {{"module", modulePath}, {"sensors", sensors}};
}

std::string CsvHeader(const std::vector<SensorRecord>& records) {
    std::string line = "time";
    for (const SensorRecord& r : records) line += "," + CsvField(FieldText(r.szDisplayName));
    return line + "\n";
}

std::string CsvRow(const std::string& time, const std::vector<SensorRecord>& records) {
    std::string line = CsvField(time);
    for (const SensorRecord& r : records) line += "," + CsvCell(FloatJson(r.fValue));
    return line + "\n";
}
