// The three QLXSW exports: whether the helper reports the device, its readings for a key, and
// letting the helper go. None of them looks up a board.
#include <exception>
#include <vector>

#include "TorvexModule.h"
#include "helperchannel/power_block.h"
#include "module/export_dispatch.h"
#include "module/group_rules.h"
#include "module/module_objects.h"

namespace {

// Torvex_Api_Get_QLXSW_PowerStatus's own codes; the search decides the others (power_block.h).
constexpr int kRefusedPointer = -1;
constexpr int kKeyBelowOne = -3;
constexpr int kDeviceNotFound = -4;
constexpr int kAnswerNotConverted = -5;

}  // namespace

extern "C" {

int Torvex_Api_Check_QLXSW_Support(uint8_t* pbSupported) {
    return Dispatch(g_helper, [&](HelperChannel& helper) {
        const int present = helper.ProbeQLXSW();
        // Without the byte the probe has still run, but the device is not taken as found.
        if (!pbSupported) return -1;
        if (present == 0) {
            *pbSupported = 0;
            return -1;
        }
        *pbSupported = 1;
        NoteQLXSWPresent();
        return 1;
    });
}

int Torvex_Api_Get_QLXSW_PowerStatus(int32_t nId, QLXSWPowerStatus* pStatus) {
    if (nId < 1) return kKeyBelowOne;
    if (!QLXSWPresent()) return kDeviceNotFound;
    return Dispatch(g_helper, [&](HelperChannel& helper) {
        std::vector<int32_t> list;
        try {
            list = helper.QueryQLXSWReadings();
        } catch (const std::exception&) {
            return kAnswerNotConverted;
        }
        if (pStatus) return static_cast<int>(FillQLXSWPowerStatus(list, nId, pStatus));
        // Without a block the search still decides; only a result that writes is refused.
        QLXSWPowerStatus scratch{};
        const QLXSWBlockResult result = FillQLXSWPowerStatus(list, nId, &scratch);
        return result == kQLXSWFilled || result == kQLXSWShortGroup ? kRefusedPointer : static_cast<int>(result);
    });
}

int Torvex_Api_Exit_KIVO(void) {
    return Dispatch(g_helper, [](HelperChannel& helper) {
        helper.Release();
        return 0;
    });
}

}  // extern "C"
