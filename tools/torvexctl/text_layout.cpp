#include "text_layout.h"

#include "number_text.h"

std::string Padded(const std::string& text, size_t width) {
    size_t characters = 0;
    for (char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return characters < width ? text + std::string(width - characters, ' ') : text;
}

std::string Columns(const std::vector<std::string>& cells, size_t width) {
    std::string line;
    for (const std::string& cell : cells) line += Padded(cell + " ", width);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvCell(const nlohmann::ordered_json& value) {
    if (value.is_null()) return "";
    return value.is_string() ? value.get<std::string>() : JsonText(value);
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\n";
}
