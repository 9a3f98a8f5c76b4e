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

// The block must be in the state its result documents.
void Check(const std::vector<int32_t>& list, int32_t id) {
    QLXSWPowerStatus block = Poisoned<QLXSWPowerStatus>();
    const QLXSWBlockResult result = FillQLXSWPowerStatus(list, id, &block);
    const bool counted = block.nCount >= 0 && block.nCount <= 10;
    const bool untouched = (result == kQLXSWNoGroup || result == kQLXSWNoList) && Untouched(block);
    const bool filled = result == kQLXSWFilled && counted && (block.nOverLimit == 0 || block.nOverLimit == 1);
    const bool shortGroup = result == kQLXSWShortGroup && counted && block.fTotal == 0.0f;
    if (!untouched && !filled && !shortGroup) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The channel hands on at most 511 bytes, up to the first zero byte.
    const char* const text = reinterpret_cast<const char*>(data);
    const std::string answer(text, strnlen(text, std::min<size_t>(size, 511)));
    std::vector<int32_t> list;
    try {
        list = ParseReadingList(answer);
    } catch (const std::logic_error&) {
        return 0;  // std::invalid_argument or std::out_of_range: an answer that does not convert
    }
    // The keys the list itself names are the interesting ones.
    for (int32_t id : list) Check(list, id);
    Check(list, 1);
    return 0;
}
