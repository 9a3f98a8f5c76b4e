#include "board_output.h"

#include <algorithm>

#include "board_fields.h"
#include "cli_words.h"
#include "text_layout.h"

using json = nlohmann::ordered_json;

namespace {

// The fields the query names, in its order.
std::vector<BoardField> Chosen(const std::vector<BoardField>& all, const FieldQuery& query) {
    std::vector<BoardField> chosen;
    for (const std::string& name : query)
        for (const BoardField& field : all)
            if (field.name == name) chosen.push_back(field);
    return chosen;
}

// The CSV columns: the chosen fields, or without a query every field that is a default column.
std::vector<BoardField> ChosenFields(const std::vector<BoardField>& all, const FieldQuery& query) {
    if (!query.empty()) return Chosen(all, query);
    std::vector<BoardField> columns;
    for (const BoardField& field : all)
        if (field.column) columns.push_back(field);
    return columns;
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
        for (const BoardField& field : Chosen(fields, query)) chosen[field.name] = field.value;
        list.push_back(chosen);
    }
    return list;
}

std::string CsvHeader(const FieldQuery& query) {
    std::vector<std::string> names = {"time"};
    for (const BoardField& field : ChosenFields(BoardFields(BoardTarget{}, BoardSnapshot{}), query))
        names.push_back(field.unit.empty() ? field.name : field.name + " [" + field.unit + "]");
    return CsvLine(names);
}

std::string CsvRows(const std::string& time, const std::vector<BoardTarget>& targets,
                    const std::vector<BoardSnapshot>& boards, const FieldQuery& query) {
    std::string rows;
    for (size_t i = 0; i < targets.size(); ++i) {
        std::vector<std::string> cells = {time};
        for (const BoardField& field : ChosenFields(BoardFields(targets[i], boards[i]), query))
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
