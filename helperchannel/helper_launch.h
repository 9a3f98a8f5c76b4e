// Starting a build of the helper process.
#pragma once

#include <chrono>
#include <optional>
#include <string>

// How long a successful launch pauses the caller, so the helper can open its pipe.
constexpr std::chrono::milliseconds kLaunchPause{100};

// The process's current directory, one "\" and `relative`. Nothing when the current directory
// does not fit the 255 characters the module allows for it: the helper then counts as missing.
std::optional<std::string> HelperPath(const char* relative);

// Starts the program at `path` hidden, without a command line, handles or a window of its own,
// pauses kLaunchPause after a successful start and keeps no handle to it. True when the process
// was created.
bool LaunchHelper(const std::string& path);
