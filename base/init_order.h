// Module-wide objects live in several translation units, whose relative construction order the
// language leaves open. These priorities fix it: constructed in ascending order at load, destroyed
// in descending order at unload. So at unload the ADLX GPU list and scratch reference go first,
// then the GPU entry table (each slot releasing its ADLX GPU), then the board registry, and the
// application object last.
#pragma once

#define TVX_INIT_ORDER(n) __attribute__((init_priority(n)))

#define TVX_ORDER_APP 1001
#define TVX_ORDER_BOARD_REGISTRY 1002
#define TVX_ORDER_GPU_TABLE 1003
#define TVX_ORDER_ADLX_HOLDERS 1004
