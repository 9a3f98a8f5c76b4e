// The SDK's strings as the bench hands them out: automation strings whose every free the bench
// watches, so that tests can tell a string that leaked from one freed twice.
#pragma once

#include <string>

#include "vendor/cpuidsdk_abi.h"

// A new automation string holding the bytes, entered in the bench's ledger; null when out of memory.
cpuidsdk::SdkString HandOutSdkString(const std::string& bytes);
