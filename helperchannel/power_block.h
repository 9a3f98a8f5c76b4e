// The reading list the helper reports for the QLXSW device, and how the host's power status block
// is filled from it.
//
// The list: G, the number of groups, then G groups back to back, each its low key, its high key,
// its reading count n and then n readings in thousandths. A reading of 65528 (0xFFF8) or more
// stands for a missing reading.
#pragma once

#include <cstdint>
#include <vector>

#include "TorvexModule.h"

// The outcomes of the search and fill; the values are Torvex_Api_Get_QLXSW_PowerStatus's codes.
enum QLXSWBlockResult : int {
    kQLXSWFilled = 1,       // readings, sum, overload flag and count written
    kQLXSWNoGroup = -1,     // no group covers the key, the list ends inside a group's header, or a
                            // group announces a negative count; nothing written
    kQLXSWNoList = -6,      // the list is empty or announces no group; nothing written
    kQLXSWShortGroup = -7,  // the covering group announces more readings than the list holds;
                            // only the count and the sum (0) written
};

// Finds the first group whose keys low..high (signed, both included) cover `id` and writes its
// first ten readings, divided by 1000 in single precision, with their in-order single-precision
// sum, the overload flag (sum above 1000) and their count. Never reads outside the list.
QLXSWBlockResult FillQLXSWPowerStatus(const std::vector<int32_t>& list, int32_t id, QLXSWPowerStatus* status);
