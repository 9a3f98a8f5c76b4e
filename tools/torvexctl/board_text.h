// Words and texts of board values that the table, the JSON document and the CSV columns share, so
// that each value reads the same in all of them.
#pragma once

#include <cstdint>
#include <string>

#include "module_export_table.h"

// Units of board values. Power readings and usage-time counters come in the unit the controller's
// firmware fixes; the module passes them on.
constexpr char kCelsius[] = "\u00B0C";
constexpr char kDegrees[] = "\u00B0";
constexpr char kControllerUnits[] = "controller units";

// "0x0511".
std::string FirmwareVersionText(uint32_t version);
// "0x7".
std::string CapabilitiesText(uint32_t word);
// Names of the set bits, lowest bit first, ", " between them; unnamed bits as "bit N".
std::string CapabilityNamesText(uint32_t word);
// "recording", "paused", "stopped", or "unknown (N)".
std::string RecorderStateName(int32_t state);
// The status bits 5 to 0 of a tilt reading, bit 5 first: "100001".
std::string StatusBitsText(const GSensorData& reading);
