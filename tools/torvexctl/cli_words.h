// Command-line words: what torvexctl says about a word it does not know (naming the word and the
// closest one it does know), and the checks that state their accepted ranges in plain numbers.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

// "; did you mean \"status\"?" for the candidate closest to `word`, or "" when none is close.
std::string Suggestion(const std::string& word, const std::vector<std::string>& candidates);

// One line for a command line that could not be parsed.
std::string DescribeParseError(const CLI::App& app, const CLI::ParseError& error);

// Seconds to wait: a finite number from 0 to 86400 (one day).
CLI::Validator SecondsRange();
// A whole number from `min` to `max`.
CLI::Validator WholeRange(int min, int max);
// One of `words`.
CLI::Validator OneOf(const std::vector<std::string>& words);
