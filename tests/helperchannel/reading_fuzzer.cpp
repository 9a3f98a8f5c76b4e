// Feeds arbitrary helper answers through the reading-list parse and the block fill: the fill must
// never read outside the list (ASan) and must leave the block in one of its documented states.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "helperchannel/power_block.h"
#include "helperchannel/reading_list.h"
#include "poisoned.h"

namespace {

void Check(const std::vector<int32_t>& list, int32_t id) {
    QLXSWPowerStatus block = Poisoned<QLXSWPowerStatus>();
    switch (FillQLXSWPowerStatus(list, id, &block)) {
        case kQLXSWFilled:
            if (block.nCount < 0 || block.nCount > 10 || (block.nOverLimit != 0 && block.nOverLimit != 1)) std::abort();
            break;
        case kQLXSWShortGroup:
            if (block.nCount < 0 || block.nCount > 10 || block.fTotal != 0.0f) std::abort();
            break;
        case kQLXSWNoGroup:
        case kQLXSWNoList:
            if (!Untouched(block)) std::abort();
            break;
        default:
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The channel hands on at most 511 bytes, up to the first zero byte.
    const char* const text = reinterpret_cast<const char*>(data);
    const std::string answer(text, strnlen(text, std::min<size_t>(size, 511)));
    std::vector<int32_t> list;
    try {
        list = ParseReadingList(answer);
    } catch (const std::invalid_argument&) {
        return 0;
    } catch (const std::out_of_range&) {
        return 0;
    }
    // The keys the list itself names are the interesting ones.
    for (int32_t id : list) Check(list, id);
    Check(list, 1);
    return 0;
}
