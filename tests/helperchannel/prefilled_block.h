// A power status block whose every byte is 0xA5, so that whatever a fill or an export leaves alone
// shows; shared by the native and the Wine tests.
#pragma once

#include <cstring>

#include "TorvexModule.h"

inline QLXSWPowerStatus Prefilled() {
    QLXSWPowerStatus block;
    std::memset(&block, 0xA5, sizeof(block));
    return block;
}

inline bool Untouched(const QLXSWPowerStatus& block) {
    const QLXSWPowerStatus fresh = Prefilled();
    return std::memcmp(&block, &fresh, sizeof(block)) == 0;
}
