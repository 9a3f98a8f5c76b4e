// Calls a function through its address with 32-bit arguments pushed as a cdecl caller pushes
// them, and reports how many argument bytes the callee removed from the stack: 0 for cdecl, 4 per
// argument word for stdcall. A wrong convention on either side shows up here as a number instead
// of as a corrupted stack somewhere later.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

struct ProbedCall {
    uint32_t result;        // EAX
    uint32_t bytesPopped;   // by the callee
};

ProbedCall CallAndCountPops(const void* function, std::initializer_list<uint32_t> args);

// A pointer or a 32-bit value as one argument word.
template <typename T>
uint32_t Word(T value) {
    if constexpr (sizeof(T) == 4 && !std::is_integral_v<T>) return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(value));
    else return static_cast<uint32_t>(value);
}
