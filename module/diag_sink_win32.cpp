#include <windows.h>

#include "diag_sink.h"

void WriteDebugLine(const wchar_t* line) { OutputDebugStringW(line); }
