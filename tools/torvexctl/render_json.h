// The machine-readable view: one JSON document with every value and every export's code. A refused
// value is null beside its code, never the buffer's leftover content.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "board_snapshot.h"

nlohmann::ordered_json BoardToJson(const BoardSnapshot& board);
// {"module": path, "boards": [...]}.
nlohmann::ordered_json StatusToJson(const std::string& modulePath, const std::vector<BoardSnapshot>& boards);
