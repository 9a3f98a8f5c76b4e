// The SDK's texts at the Windows edge: its strings (automation strings holding 8-bit text, freed
// exactly once by whoever takes them) and the conversions between the ANSI code page and UTF-16.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

#include "vendor/cpuidsdk_abi.h"

// Copies the string's text into `out` (up to its first NUL, never past the string's own length,
// at most capacity - 1 bytes), terminates it and frees the string. A null string gives "".
size_t TakeSdkText(cpuidsdk::SdkString text, char* out, size_t capacity);

// NUL-terminated ANSI text as UTF-16, converted with the given MultiByteToWideChar flags.
std::u16string AnsiToUtf16(const char* text, DWORD flags);

// UTF-16 text as ANSI text in a 512-byte buffer (empty when it does not convert).
void Utf16ToAnsi(const wchar_t* text, char (&out)[512]);
