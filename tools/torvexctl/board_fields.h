// Every value torvexctl shows of a board as one flat list of named fields. It is the single source
// of the machine-readable views: the JSON document is the fields nested at the dots of their
// names, CSV columns and --query take them by name.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "board_choice.h"
#include "board_snapshot.h"

struct BoardField {
    std::string name;              // "thermal_map.t1"
    std::string unit;              // "°C"; empty for a value without one
    nlohmann::ordered_json value;  // null where the export wrote nothing
    bool column = true;            // one of the default CSV columns (meanings and units are not)
};

std::vector<BoardField> BoardFields(const BoardTarget& target, const BoardSnapshot& snapshot);
// The name of every field, in order.
std::vector<std::string> BoardFieldNames();
// {"a": {"b": value}} for a field "a.b".
nlohmann::ordered_json NestedJson(const std::vector<BoardField>& fields);
