#include "scenario_json.h"

#include <cctype>

namespace bench::scenario_json {
namespace {

std::string RangeText(int64_t min, int64_t max) { return std::to_string(min) + ".." + std::to_string(max); }

}  // namespace

[[noreturn]] void Fail(const std::string& path, const std::string& message) {
    throw ScenarioError(path.empty() ? message : path + ": " + message);
}

std::string Join(const std::string& path, const std::string& key) { return path.empty() ? key : path + "." + key; }

std::string Index(const std::string& path, size_t i) { return path + "[" + std::to_string(i) + "]"; }

void ExpectObject(const Json& value, const std::string& path, std::initializer_list<const char*> keys) {
    if (!value.is_object()) Fail(path, "expected an object");
    for (const auto& item : value.items()) {
        bool known = false;
        for (const char* key : keys) known = known || item.key() == key;
        if (known) continue;
        std::string list;
        for (const char* key : keys) list += std::string(list.empty() ? "" : ", ") + key;
        Fail(Join(path, item.key()), "unknown key (known here: " + list + ")");
    }
}

bool ParseNumberText(const std::string& text, int64_t& out) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 9) return false;
    for (char c : digits)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    out = std::stoll(digits, nullptr, hex ? 16 : 10);
    return true;
}

int64_t ReadInteger(const Json& value, const std::string& path, int64_t min, int64_t max) {
    int64_t number = 0;
    if (value.is_number_integer()) {
        number = value.get<int64_t>();
    } else if (!(value.is_string() && value.get<std::string>().rfind("0x", 0) == 0 &&
                 ParseNumberText(value.get<std::string>(), number))) {
        Fail(path, "expected a number " + RangeText(min, max) + " (a JSON integer or a \"0x..\" text), got " +
                       value.dump());
    }
    if (number < min || number > max) Fail(path, "value " + std::to_string(number) + " is outside " + RangeText(min, max));
    return number;
}

bool ReadBool(const Json& value, const std::string& path) {
    if (!value.is_boolean()) Fail(path, "expected true or false, got " + value.dump());
    return value.get<bool>();
}

std::string ReadText(const Json& value, const std::string& path) {
    if (!value.is_string()) Fail(path, "expected a text, got " + value.dump());
    return value.get<std::string>();
}

const Json* Find(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

}  // namespace bench::scenario_json
