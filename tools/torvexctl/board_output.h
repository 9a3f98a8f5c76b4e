// The machine-readable forms of board snapshots: one JSON document, or CSV with a time column,
// with every field or only the fields chosen with --query.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "board_choice.h"
#include "board_snapshot.h"

// Field names of a --query; empty: every field, nested as in the full document.
using FieldQuery = std::vector<std::string>;

// Each board as one JSON object: every field nested at the dots of its name, or, for a query, the
// chosen fields under their full names.
nlohmann::ordered_json BoardsJson(const std::vector<BoardTarget>& targets, const std::vector<BoardSnapshot>& boards,
                                  const FieldQuery& query);
// "time,<field> [<unit>],...": the chosen fields, or every field that is a default column.
std::string CsvHeader(const FieldQuery& query);
// One line per board, `time` first.
std::string CsvRows(const std::string& time, const std::vector<BoardTarget>& targets,
                    const std::vector<BoardSnapshot>& boards, const FieldQuery& query);
// The text --help shows for --query: every field name.
std::string QueryFieldsHelp();
// Nothing when every name is a field, else a line that names the first unknown one and the closest field.
std::string CheckQuery(const FieldQuery& query);
