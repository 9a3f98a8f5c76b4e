#include "board_output.h"

#include <algorithm>

#include "board_fields.h"
#include "cli_words.h"
#include "text_layout.h"

using json = nlohmann::ordered_json;

namespace {

// The fields a view shows: the chosen ones in the order given, or all of `all` that pass `byDefault`.
template <typename Keep>
std::vector<BoardField> Shown(const std::vector<BoardField>& all, const FieldQuery& query, Keep byDefault) {
    std::vector<BoardField> shown;
    if (query.empty()) {
        for (const BoardField& field : all)
            if (byDefault(field)) shown.push_back(field);
        return shown;
    }
    for (const std::string& name : query)
        for (const BoardField& field : all)
            if (field.name == name) shown.push_back(field);
    return shown;
}

std::vector<BoardField> Columns(const std::vector<BoardField>& all, const FieldQuery& query) {
    return Shown(all, query, [](const BoardField& field) { return field.column; });
}

}  // namespace

json BoardsJson(const std::vector<BoardTarget>& targets, const std::vector<BoardSnapshot>& boards,
                const FieldQuery& query) {
    json list = json::array();
    for (size_t i = 0; i < targets.size(); ++i) {
        const std::vector<BoardField> fields = BoardFields(targets[i], boards[i]);
        if (query.empty()) {
            list.push_back(NestedJson(fields));
            continue;
        }
        json chosen = json::object();
        for (const BoardField& field : Shown(fields, query, [](const BoardField&) { return true; }))
            chosen[field.name] = field.value;
        list.push_back(chosen);
    }
    return list;
}

std::string CsvHeader(const FieldQuery& query) {
    std::vector<std::string> names = {"time"};
    for (const BoardField& field : Columns(BoardFields(BoardTarget{}, BoardSnapshot{}), query))
        names.push_back(field.unit.empty() ? field.name : field.name + " [" + field.unit + "]");
    return CsvLine(names);
}

std::string CsvRows(const std::string& time, const std::vector<BoardTarget>& targets,
                    const std::vector<BoardSnapshot>& boards, const FieldQuery& query) {
    std::string rows;
    for (size_t i = 0; i < targets.size(); ++i) {
        std::vector<std::string> cells = {time};
        for (const BoardField& field : Columns(BoardFields(targets[i], boards[i]), query))
            cells.push_back(CsvCell(field.value));
        rows += CsvLine(cells);
    }
    return rows;
}

std::string QueryFieldsHelp() {
    std::string text = "Fields for --query (comma-separated; CSV always starts with the time):";
    for (const std::string& name : BoardFieldNames()) text += " " + name;
    return text;
}

std::string CheckQuery(const FieldQuery& query) {
    const std::vector<std::string> names = BoardFieldNames();
    for (const std::string& name : query) {
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        return "unknown field \"" + name + "\"" + Suggestion(name, names);
    }
    return {};
}
