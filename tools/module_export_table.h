// The exports of TorvexModule.dll as C++ sees them: a table of typed function pointers, and what the
// export table (module/exports.json, through the generated torvex_export_table.h) says of each
// export: its group, its pointer parameters and its documented result codes with their meanings.
// Free of <windows.h>, so code that only calls through the table builds anywhere.
#pragma once

#include <cstddef>

#include "TorvexModule.h"
#include "torvex_export_table.h"

// Member `Name` points at the export Torvex_Api_Name, with the header's own signature.
struct ModuleExports {
#define TORVEX_EXPORT_MEMBER(name) decltype(&Torvex_Api_##name) name = nullptr;
    TORVEX_EXPORT_LIST(TORVEX_EXPORT_MEMBER)
#undef TORVEX_EXPORT_MEMBER
};

// One enumerator per export, in the table's order.
enum class ModuleExport {
#define TORVEX_EXPORT_ENUMERATOR(name) name,
    TORVEX_EXPORT_LIST(TORVEX_EXPORT_ENUMERATOR)
#undef TORVEX_EXPORT_ENUMERATOR
};

enum class ExportGroup {
#define TORVEX_EXPORT_GROUP_ENUMERATOR(group) group,
    TORVEX_EXPORT_GROUPS(TORVEX_EXPORT_GROUP_ENUMERATOR)
#undef TORVEX_EXPORT_GROUP_ENUMERATOR
};

struct ExportRow {
    ModuleExport id;
    const char* name;  // without the Torvex_Api_ prefix
    ExportGroup group;
    const char* arguments;  // the parameter list as the header declares it
    int pointers;           // how many parameters are pointers
    bool returnsCount;      // besides its codes it may return a count (0 or more)
};

inline constexpr ExportRow kExportRows[] = {
#define TORVEX_EXPORT_ROW(name, group, arguments, pointers, returnsCount) \
    {ModuleExport::name, #name, ExportGroup::group, arguments, pointers, returnsCount},
    TORVEX_EXPORT_ROWS(TORVEX_EXPORT_ROW)
#undef TORVEX_EXPORT_ROW
};
inline constexpr std::size_t kExportCount = sizeof(kExportRows) / sizeof(kExportRows[0]);

struct ExportResult {
    ModuleExport id;
    int code;
    const char* meaning;
};

inline constexpr ExportResult kExportResults[] = {
#define TORVEX_EXPORT_RESULT(name, code, meaning) {ModuleExport::name, code, meaning},
    TORVEX_EXPORT_RESULTS(TORVEX_EXPORT_RESULT)
#undef TORVEX_EXPORT_RESULT
};

constexpr const ExportRow& RowOf(ModuleExport id) { return kExportRows[static_cast<std::size_t>(id)]; }

// The meaning of a code the export documents, or null.
constexpr const char* ResultMeaning(ModuleExport id, int code) {
    for (const ExportResult& r : kExportResults)
        if (r.id == id && r.code == code) return r.meaning;
    return nullptr;
}

// Whether the export documents `code` as one of its results.
constexpr bool Documents(ModuleExport id, int code) {
    return ResultMeaning(id, code) != nullptr || (RowOf(id).returnsCount && code >= 0);
}

// Whether `rows` (anything with an `id`) names every export that `wanted` picks exactly once, and no
// other: a hand-written table that must follow the export table checks itself with this.
template <typename Rows, typename Wanted>
constexpr bool CoversExactly(const Rows& rows, Wanted wanted) {
    for (const ExportRow& e : kExportRows) {
        std::size_t seen = 0;
        for (const auto& row : rows) seen += row.id == e.id ? 1 : 0;
        if (seen != (wanted(e) ? 1u : 0u)) return false;
    }
    return true;
}
