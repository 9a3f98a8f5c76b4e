// Compiling this file is the check: every export has a PFN_ type in the public header, and that
// type is exactly the export's own.
#include <type_traits>

#include "TorvexModule.h"
#include "module_export_table.h"

#define TORVEX_CHECK_PFN(name)                                                            \
    static_assert(std::is_same<PFN_Torvex_Api_##name, decltype(&Torvex_Api_##name)>::value, \
                  "PFN_Torvex_Api_" #name " is not the type of Torvex_Api_" #name);
TORVEX_EXPORT_LIST(TORVEX_CHECK_PFN)
#undef TORVEX_CHECK_PFN

// The combined number orders versions only while minor and patch stay below 100.
static_assert(TORVEX_MODULE_VERSION_MINOR < 100 && TORVEX_MODULE_VERSION_PATCH < 100, "version part out of range");
