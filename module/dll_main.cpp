#include <windows.h>

#include "module/app.h"

// The C runtime has constructed the module-wide objects by the time this runs, and destroys them
// in reverse order after DLL_PROCESS_DETACH.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        try {
            theApp.InitInstance();
        } catch (...) {
            // Start-up never stops the library from loading: an exception escaping DllMain would
            // take the host down with it. Only an allocation can fail here, and the registry keeps
            // the records built before it, each whole (docs/api.md says what a host then sees).
        }
    }
    return TRUE;
}
