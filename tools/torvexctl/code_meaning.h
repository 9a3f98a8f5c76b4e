// What the module's result codes mean, export by export, in the words torvexctl shows beside
// every code: "n/a (-2: the read failed and no recent reading can stand in)" in a table, and
// {"code": -2, "meaning": "..."} in JSON. The texts come from the export table; they assume a board
// was found, as torvexctl shows board values only then.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "module_export_table.h"

std::string CodeMeaning(ModuleExport call, int code);
// "-2: <meaning>".
std::string CodeText(ModuleExport call, int code);
// {"code": code, "meaning": "..."}, the first keys of every JSON group that holds an export's answer.
nlohmann::ordered_json CodeJson(ModuleExport call, int code);
