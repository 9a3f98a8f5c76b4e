// The views of the system sensor catalogue: a table grouped by device and category, one JSON
// document, and CSV lines for a log with one column per sensor.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "TorvexModule.h"

// UTF-8 text of a record field.
std::string FieldText(const TorvexWChar* field, size_t length);
template <size_t N>
std::string FieldText(const TorvexWChar (&field)[N]) {
    return FieldText(field, N);
}

// Whether the text occurs, ignoring ASCII case, in the display name, the device name or the category.
bool SensorMatches(const SensorRecord& record, const std::string& text);

std::string RenderSensorTable(const std::vector<SensorRecord>& records);
// {"module": path, "sensors": [...]}: every field of every record.
nlohmann::ordered_json SensorsToJson(const std::string& modulePath, const std::vector<SensorRecord>& records);
// "time,<display name>,..." and "<local time>,<value>,...": the columns follow the records.
std::string CsvHeader(const std::vector<SensorRecord>& records);
std::string CsvRow(const std::string& time, const std::vector<SensorRecord>& records);
