#include "cli_words.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kLongestWaitSeconds = 86400;

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string Quoted(const std::string& word) { return "\"" + word + "\""; }

std::vector<std::string> CommandNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; }))
        names.push_back(command->get_name());
    return names;
}

// The long names of the options `command` and the commands above it accept.
std::vector<std::string> OptionNames(const CLI::App* command) {
    std::vector<std::string> names;
    for (; command; command = command->get_parent())
        for (const CLI::Option* option : command->get_options())
            for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    return names;
}

const CLI::App* ChosenCommand(const CLI::App& app) {
    const std::vector<const CLI::App*> chosen = app.get_subcommands([](const CLI::App* c) { return c->parsed(); });
    return chosen.empty() ? nullptr : chosen.front();
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
    return text;
}

}  // namespace

std::string Suggestion(const std::string& word, const std::vector<std::string>& candidates) {
    const std::string* best = nullptr;
    // Close enough: at most half the word's letters differ (two for short words).
    size_t bestDistance = std::max<size_t>(2, word.size() / 2) + 1;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(word, candidate);
        if (distance < bestDistance) {
            best = &candidate;
            bestDistance = distance;
        }
    }
    return best ? "; did you mean " + Quoted(*best) + "?" : "";
}

std::string DescribeParseError(const CLI::App& app, const CLI::ParseError& error) {
    const CLI::App* command = ChosenCommand(app);
    const std::string help = command ? "torvexctl " + command->get_name() + " --help" : "torvexctl --help";
    for (const std::string& word : app.remaining(true)) {
        if (word.rfind("-", 0) == 0) {
            const std::string where = command ? " for " + command->get_name() : "";
            return "unknown option " + Quoted(word) + where + Suggestion(word, OptionNames(command ? command : &app)) +
                   " (see " + help + ")";
        }
        if (!command)
            return "unknown command " + Quoted(word) + Suggestion(word, CommandNames(app)) +
                   " (commands: " + Joined(CommandNames(app)) + ")";
        return "unexpected word " + Quoted(word) + " after " + command->get_name() + " (see " + help + ")";
    }
    if (!command) return "name a command: " + Joined(CommandNames(app)) + " (see " + help + ")";
    return error.what() + (" (see " + help + ")");
}

CLI::Validator SecondsRange() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            char* end = nullptr;
            errno = 0;
            const double seconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(seconds) || seconds < 0 ||
                seconds > kLongestWaitSeconds)
                return text + " is not a number of seconds from 0 to 86400 (one day)";
            return {};
        },
        "");
}

CLI::Validator WholeRange(int min, int max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            char* end = nullptr;
            errno = 0;
            const long long value = std::strtoll(text.c_str(), &end, 10);
            if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max)
                return text + " is not a whole number from " + std::to_string(min) + " to " + std::to_string(max);
            return {};
        },
        "");
}

CLI::Validator OneOf(const std::vector<std::string>& words) {
    return CLI::Validator(
        [words](std::string& text) -> std::string {
            if (std::find(words.begin(), words.end(), text) != words.end()) return {};
            return Quoted(text) + " is not one of " + Joined(words) + Suggestion(text, words);
        },
        "");
}
