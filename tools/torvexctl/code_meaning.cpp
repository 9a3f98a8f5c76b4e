#include "code_meaning.h"

std::string CodeMeaning(ModuleExport call, int code) {
    const char* meaning = ResultMeaning(call, code);
    return meaning ? meaning : "not a result this export documents";
}

std::string CodeText(ModuleExport call, int code) { return std::to_string(code) + ": " + CodeMeaning(call, code); }

nlohmann::ordered_json CodeJson(ModuleExport call, int code) {
    return {{"code", code}, {"meaning", CodeMeaning(call, code)}};
}
