// Words and numbers shared by the table and the JSON view: names of capability bits and recorder
// states, how a board is labelled, and exact-but-short float values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Names of the set bits of a capability word, lowest bit first; unnamed bits as "bit N".
std::vector<std::string> CapabilityNames(uint32_t word);
// "recording", "paused", "stopped", or "unknown (N)".
std::string RecorderStateName(int32_t state);
// "first board" for kFirstBoard, otherwise "GPU on bus N".
std::string BoardLabel(int gpuId);
// The double whose shortest decimal form is the float's own shortest form (41.5f stays 41.5
// instead of turning into 41.5000000xxx when widened).
double ShortestDouble(float value);
