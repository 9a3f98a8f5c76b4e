// What torvexctl shows of the QLXSW device: whether the helper reports it, the lines the module wrote
// to the debugger during the probe (as it wrote them: torvexctl reads nothing into them), and its
// readings for chosen keys, each beside the code its export returned.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "module_export_table.h"

struct QlxswPresence {
    int code = 0;           // Torvex_Api_Check_QLXSW_Support: 1 present, -1 absent
    bool present = false;   // the byte it wrote
    std::vector<std::string> moduleLines;
};

struct QlxswReading {
    int32_t id = 0;
    int code = 0;  // Torvex_Api_Get_QLXSW_PowerStatus
    QLXSWPowerStatus status{};
};

// Runs the module's probe, which starts and questions the helper builds.
QlxswPresence ProbeQlxsw(const ModuleExports& api);
std::vector<QlxswReading> ReadQlxsw(const ModuleExports& api, const std::vector<int32_t>& ids);

std::string RenderQlxswTable(const QlxswPresence& presence, const std::vector<QlxswReading>& readings);
// {"module": path, "qlxsw": {..., "module_lines": [...], "readings": [...]}}; a reading the module refused is its code alone (with the count
// and the zero total that code -7 writes).
nlohmann::ordered_json QlxswToJson(const std::string& modulePath, const QlxswPresence& presence,
                                   const std::vector<QlxswReading>& readings);
