// torvexctl list: the GPUs as the module's own discovery sees them, run in torvexctl's process.
#pragma once

#include <CLI/CLI.hpp>

#include <string>

struct ListOptions {
    bool json = false;
};

// Registers the command on `app`; `exitCodes` ends its help.
CLI::App* AddListCommand(CLI::App& app, ListOptions& options, const std::string& exitCodes);
int RunList(const ListOptions& options);
