#include "module/app.h"

#include "card/model.h"
#include "gpu/gpu_access.h"
#include "gpu/gpu_table.h"
#include "module/module_objects.h"

bool CTorvexModuleApp::InitInstance() {
    if (InitGpuAccess() != 0 || g_nGpuCount < 1) {
        return true;
    }
    // The registry keeps a copy of each record, and a copy probes the board afresh; the temporary
    // writes an NVIDIA GPU's bus number into its table entry and is dropped at once.
    const auto boards = g_boards.Lock();
    for (int i = 0; i < g_nGpuCount; ++i) {
        const CModel temporary(g_GpuEntries[i]);
        boards->Append(temporary);
    }
    return true;
}
