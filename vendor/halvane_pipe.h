// The host application's helper process, Halvane.exe, as the module and the bench's stand-in both
// see it: where its two builds live below the host's current directory, the pipe it serves and the
// one-byte requests it answers. Shared so that the stand-in cannot drift from what the module asks.
#pragma once

#include <cstddef>

namespace halvane {

// Each path is joined to the current directory with one more "\", so the joined path carries a
// doubled separator before "LIB"; Windows resolves it as one.
constexpr char kX86RelativePath[] = "\\LIB\\x86_lib\\Halvane.exe";
constexpr char kX64RelativePath[] = "\\LIB\\x64_lib\\Halvane.exe";
// The folder that tells a build's path apart.
constexpr char kX64Folder[] = "x64_lib";

constexpr char kPipeName[] = "\\\\.\\pipe\\HalvanePipe";

// Requests: one byte each, written without a terminator.
constexpr char kRequestCheck = 'c';     // is the QLXSW device there? The answer contains "FALSE" when not
constexpr char kRequestReadings = 'g';  // the reading list: hexadecimal integers separated by ","
constexpr char kRequestExit = 'x';      // end; the answer is ignored

// The answer to "c" contains this exactly when the device is absent.
constexpr char kAbsentMarker[] = "FALSE";

// The module reads at most this many bytes of an answer, in one read.
constexpr size_t kLargestAnswer = 511;

}  // namespace halvane
