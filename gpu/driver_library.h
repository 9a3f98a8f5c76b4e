// Where the module loads a GPU vendor's driver library from.
#pragma once

#include <windows.h>

// Loads a driver library by file name (no path). Gives the module handle or null; the thread's
// last-error code is 0 on success and says why otherwise.
HMODULE LoadDriverLibrary(const wchar_t* name);
