// Laying out text for tables and CSV files, shared by every command.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The text filled with blanks to `width` characters (UTF-8 continuation bytes take no room);
// longer text stays as it is.
std::string Padded(const std::string& text, size_t width);
// The cells in columns `width` characters wide, each followed by at least one blank; no blanks at
// the end.
std::string Columns(const std::vector<std::string>& cells, size_t width);
// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(const std::string& text);
// A JSON value as a CSV cell: text as it is, null as an empty cell, numbers and booleans as JSON
// prints them.
std::string CsvCell(const nlohmann::ordered_json& value);
// The fields as one CSV line, with its line end.
std::string CsvLine(const std::vector<std::string>& fields);
