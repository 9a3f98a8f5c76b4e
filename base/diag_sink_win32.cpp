#include <windows.h>

#include "base/diag_sink.h"

void WriteDebugLine(const wchar_t* line) { OutputDebugStringW(line); }
