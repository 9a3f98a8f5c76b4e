// The pieces every section of a scenario file is read with: strict checks that name where a
// mistake is (for example gpus[0].devices.0x56.registers.0x1E).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>
#include <utility>

namespace bench {

using Json = nlohmann::ordered_json;

struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws ScenarioError with "<path>: <message>".
[[noreturn]] void Fail(const std::string& path, const std::string& message);
// "a.b" and "a[3]".
std::string Join(const std::string& path, const std::string& key);
std::string Index(const std::string& path, size_t i);
// Fails unless the value is an object whose keys are all among `keys`.
void ExpectObject(const Json& value, const std::string& path, std::initializer_list<const char*> keys);
// "0x1F" (hex) or "31" (decimal): the forms a number may take in a text.
bool ParseNumberText(const std::string& text, int64_t& out);
// A JSON integer, or a "0x.." text, within min..max.
int64_t ReadInteger(const Json& value, const std::string& path, int64_t min, int64_t max);
// Any 32-bit signed integer in one of those forms.
int32_t ReadInt32(const Json& value, const std::string& path);
bool ReadBool(const Json& value, const std::string& path);
std::string ReadText(const Json& value, const std::string& path);
// The member `key` of an object, or null.
const Json* Find(const Json& object, const char* key);

// One of the named texts, as the value it stands for.
template <typename T>
T ReadChoice(const Json& value, const std::string& path, std::initializer_list<std::pair<const char*, T>> choices) {
    std::string list;
    for (const auto& choice : choices) {
        if (value.is_string() && value.get<std::string>() == choice.first) return choice.second;
        list += std::string(list.empty() ? "\"" : ", \"") + choice.first + "\"";
    }
    Fail(path, "expected one of " + list + ", got " + value.dump());
}

}  // namespace bench
