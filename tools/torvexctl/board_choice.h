// Which boards a command shows, and under which label: torvexctl passes the module a GPU id and
// must know which GPU's board the module answers with, because the module answers an id that
// matches no board with its first board. Nothing here ever labels one board with another's bus.
#pragma once

#include <string>
#include <vector>

#include "gpu_listing.h"

struct BoardTarget {
    int gpuId = 0;          // what torvexctl passes to the board exports
    ListedGpu gpu;          // the GPU whose board the module answers with
    bool fallback = false;  // gpuId matches no board; the module answers with its first board
};

struct BoardChoice {
    std::vector<BoardTarget> targets;
    std::vector<std::string> notes;  // GPUs that cannot be shown, and why
    std::string refusal;             // set when an id matches no board and no fallback was allowed
};

// No ids: every GPU the module can address, by its bus number. Otherwise the boards of the named
// ids; an id that matches no board is refused unless `allowFallback`, when it is shown as the
// module's first board. The listing must hold at least one GPU.
BoardChoice ChooseBoards(const GpuListing& listing, const std::vector<int>& ids, bool allowFallback);

// "GPU 0 on bus 1 (NVIDIA)", and for a fallback ", the module's first board, shown for GPU id 300,
// which matches no board".
std::string BoardLabel(const BoardTarget& target);
