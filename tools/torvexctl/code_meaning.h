// What the module's result codes mean, export by export, in the words torvexctl shows beside
// every code: "n/a (-2: the read failed and no recent reading can stand in)" in a table, and
// {"code": -2, "meaning": "..."} in JSON. The texts assume a board was found, as torvexctl shows
// board values only then.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

enum class ExportCall {
    CheckFunctionSupport,
    CheckControllerSupport,
    CheckTiltSensor,
    ThermalMap,
    PowerStatus,
    MileageTotal,
    MileageLatest,
    MileageManual,
    MileageStatus,
    SetMileage,
    TiltData,
    QlxswSupport,
    QlxswPowerStatus,
    SensorStart,
    SensorStatus,
};

std::string CodeMeaning(ExportCall call, int code);
// "-2: <meaning>".
std::string CodeText(ExportCall call, int code);
// {"code": code, "meaning": "..."}, the first keys of every JSON group that holds an export's answer.
nlohmann::ordered_json CodeJson(ExportCall call, int code);
