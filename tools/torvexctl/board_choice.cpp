#include "board_choice.h"

namespace {

std::string GpuText(const ListedGpu& gpu) {
    return "GPU " + std::to_string(gpu.index) + " on bus " + std::to_string(gpu.bus) + " (" + gpu.vendor + ")";
}

const ListedGpu* GpuWithBus(const GpuListing& listing, int id) {
    for (const ListedGpu& gpu : listing.gpus)
        if (gpu.bus == static_cast<uint32_t>(id)) return &gpu;
    return nullptr;
}

}  // namespace

BoardChoice ChooseBoards(const GpuListing& listing, const std::vector<int>& ids, bool allowFallback) {
    BoardChoice choice;
    if (ids.empty()) {
        for (const ListedGpu& gpu : listing.gpus) {
            if (!gpu.sameBusAs) {
                choice.targets.push_back({static_cast<int>(gpu.bus), gpu, false});
                continue;
            }
            choice.notes.push_back(GpuText(gpu) + " is not shown: GPU " + std::to_string(*gpu.sameBusAs) +
                                   " has the same bus number, and the module answers that number with its board");
        }
        return choice;
    }
    const ListedGpu& first = listing.gpus.front();
    for (int id : ids) {
        if (const ListedGpu* gpu = GpuWithBus(listing, id)) {
            choice.targets.push_back({id, *gpu, false});
        } else if (allowFallback) {
            choice.targets.push_back({id, first, true});
        } else {
            choice.refusal = "GPU id " + std::to_string(id) + " matches no board; the module would answer with its " +
                             "first board, " + GpuText(first) + ". Name a board by its bus number (see torvexctl " +
                             "list), or add --allow-fallback to show the first board for it.";
            choice.targets.clear();
            return choice;
        }
    }
    return choice;
}

std::string BoardLabel(const BoardTarget& target) {
    std::string label = GpuText(target.gpu);
    if (target.fallback)
        label +=
            ", the module's first board, shown for GPU id " + std::to_string(target.gpuId) + ", which matches no board";
    return label;
}
