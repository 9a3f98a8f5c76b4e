// Where the module loads a GPU vendor's driver library from: the Windows edge of the driver
// search (gpu/driver_search.h), over this process's Windows and its system facts.
#pragma once

#include <windows.h>

#include "gpu/driver_search.h"

// Loads a driver library by file name (no path). Gives the module handle or null; the thread's
// last-error code is 0 on success and says why otherwise.
HMODULE LoadDriverLibrary(const wchar_t* name);

// The search as this process runs it, for those who report the road (torvexctl doctor) rather
// than load.
DriverLibraryLoader ThisProcessDriverLoader();
SystemFacts& ThisProcessSystemFacts();
