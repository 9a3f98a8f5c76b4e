// The export table against the texts that restate it: the public header declares each export and
// its PFN_ type with the table's parameter list, and the API reference gives each export the
// table's result codes, in its own section's "Result" tables and in the overview of all codes.
// An export or a code added or dropped on either side fails here.
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "torvex_export_table.h"

namespace {

using Codes = std::set<int>;
using CodesByExport = std::map<std::string, Codes>;
using TextByExport = std::map<std::string, std::string>;

std::string ReadSource(const std::string& path) {
    std::ifstream in(std::string(TORVEX_SOURCE_DIR) + "/" + path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs of white space as one space, none at the ends.
std::string Collapsed(const std::string& text) {
    static const std::regex blanks(R"(\s+)");
    const std::string out = std::regex_replace(text, blanks, " ");
    const size_t first = out.find_first_not_of(' ');
    return first == std::string::npos ? "" : out.substr(first, out.find_last_not_of(' ') - first + 1);
}

TextByExport TableArguments() {
    TextByExport arguments;
#define TVX_ARGUMENTS(name, group, list, pointers, returnsCount) arguments[#name] = list;
    TORVEX_EXPORT_ROWS(TVX_ARGUMENTS)
#undef TVX_ARGUMENTS
    return arguments;
}

CodesByExport TableCodes() {
    CodesByExport codes;
#define TVX_NAME(name) codes[#name];
    TORVEX_EXPORT_LIST(TVX_NAME)
#undef TVX_NAME
#define TVX_CODE(name, code, meaning) codes[#name].insert(code);
    TORVEX_EXPORT_RESULTS(TVX_CODE)
#undef TVX_CODE
    return codes;
}

// Name (without the prefix) and parameter list of every match of `pattern` in `text`; a name
// matched twice is kept under "<name> (twice)", so that a repeat shows as a difference.
TextByExport Declared(const std::string& text, const std::regex& pattern) {
    TextByExport found;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), pattern); m != std::sregex_iterator(); ++m) {
        const std::string name = (*m)[1];
        found[found.count(name) ? name + " (twice)" : name] = Collapsed((*m)[2]);
    }
    return found;
}

// The cells of a Markdown table row, trimmed.
std::vector<std::string> Cells(const std::string& row) {
    std::vector<std::string> cells;
    std::istringstream in(row.substr(1));
    for (std::string cell; std::getline(in, cell, '|');) cells.push_back(Collapsed(cell));
    return cells;
}

// The codes a cell of the overview names: whole numbers that begin the cell or follow "; " or ", ",
// as in "1 present, 0 absent" and "-1 null or no board; -2 version unreadable" (bold or not).
void AddListedCodes(const std::string& cell, Codes& codes) {
    static const std::regex code(R"((?:^|[;,] )(?:\*\*)?(-?[0-9]+)(?:\*\*)?(?= |$))");
    for (auto m = std::sregex_iterator(cell.begin(), cell.end(), code); m != std::sregex_iterator(); ++m)
        codes.insert(std::stoi((*m)[1]));
}

// What the API reference says of the result codes: per export, the codes in the "Result" column of
// the tables in its own section (a "### Torvex_Api_<name>" heading, or in a section that covers
// several, the stretch after its "int Torvex_Api_<name>(" declaration), and the codes of its row in
// the overview table (the one with "Export" and "Success" columns).
struct DocumentedCodes {
    CodesByExport inSections;
    CodesByExport inOverview;
};

DocumentedCodes ReadDocumentedCodes(const std::string& text) {
    static const std::regex section(R"(^(?:### Torvex_Api_(\w+)\s*$|int Torvex_Api_(\w+)\())");
    static const std::regex overviewName(R"(^`(\w+)`$)");
    static const std::regex leadingCode(R"(^(-?[0-9]+)\b)");
    DocumentedCodes doc;
    std::string current;
    std::vector<std::string> header;  // of the table being read, empty outside tables
    std::smatch m;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, m, section)) current = m[1].str() + m[2].str();
        else if (line.rfind('#', 0) == 0) current.clear();
        const std::vector<std::string> cells = line.rfind('|', 0) == 0 ? Cells(line) : std::vector<std::string>{};
        if (cells.empty() || header.empty()) {
            header = cells;
        } else if (header.size() >= 3 && header[0] == "Export" && header[1] == "Success") {
            if (!std::regex_search(cells[0], m, overviewName)) continue;
            Codes& codes = doc.inOverview[m[1]];
            for (size_t i = 1; i < cells.size(); ++i) AddListedCodes(cells[i], codes);
        } else if (!current.empty()) {
            for (size_t i = 0; i < header.size() && i < cells.size(); ++i)
                if (header[i] == "Result" && std::regex_search(cells[i], m, leadingCode))
                    doc.inSections[current].insert(std::stoi(m[1]));
        }
    }
    return doc;
}

}  // namespace

// Each PFN_ type is the type of its export: a compile-time check in the packaging tests.
TEST(ExportTable, HeaderDeclaresEveryExportWithTheTablesParameters) {
    EXPECT_EQ(TableArguments(), Declared(ReadSource("include/TorvexModule.h"),
                                         std::regex(R"(TORVEX_API int TORVEX_CALL Torvex_Api_(\w+)\(([^)]*)\);)")));
}

TEST(ExportTable, ApiReferenceGivesEveryExportTheTablesResultCodes) {
    const CodesByExport table = TableCodes();
    const DocumentedCodes doc = ReadDocumentedCodes(ReadSource("docs/api.md"));

    // Every export has its row in the overview, with the table's codes.
    EXPECT_EQ(table, doc.inOverview);
    // Where an export's own section has result tables, they hold the table's codes.
    ASSERT_FALSE(doc.inSections.empty());
    for (const auto& [name, codes] : doc.inSections) {
        ASSERT_EQ(1u, table.count(name)) << "the API reference has a section on " << name;
        EXPECT_EQ(table.at(name), codes) << name;
    }
}
