// Running torvexctl as a user runs it: a separate process under Wine, with its output collected.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// torvexctl's exit code when the module refuses what it was asked to do.
constexpr DWORD kRefusedExit = 4;

struct ProgramRun {
    DWORD code;
    std::string out, err;  // "\r\n" turned into "\n"
};

// Runs the program to its end in the current folder. Standard error is read after standard
// output, so its few lines have to fit into the pipe's buffer meanwhile.
ProgramRun RunProgram(const std::wstring& exe, const std::vector<std::string>& args);

// bin/torvexctl.exe on the machine of the named scenario file beside the tests ("": the bench's
// default machine). A sensors or qlxsw run takes the helper pipe's turn: there torvexctl's module
// may talk to whatever helper serves the pipe (a sensor SDK that does not start makes it tell the
// helper to end).
ProgramRun Torvexctl(const char* scenario, const std::vector<std::string>& args);

// A file's whole text, "\r\n" turned into "\n"; empty when it cannot be read.
std::string ReadTextFile(const std::wstring& path);

// Whether the text contains the part, or the parts one after the other; a failure shows the
// whole text.
::testing::AssertionResult Contains(const std::string& text, const std::string& part);
::testing::AssertionResult ContainsInOrder(const std::string& text, const std::vector<std::string>& parts);

// The text with every run of blanks and line ends made one blank, so that a table compares
// without its column widths.
std::string Flat(const std::string& text);
