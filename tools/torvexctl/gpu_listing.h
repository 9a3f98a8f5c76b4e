// The GPUs as the module's own start-up finds them, found again in torvexctl's process by the
// module's own discovery code: the vendor, the bus number the module takes as the GPU's id, and,
// when asked, whether a board answers on the GPU's bus (the module's own board probe).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BoardProbe {
    bool controller = false;  // the board's controller identified itself
    bool tiltSensor = false;  // the tilt sensor answered
};

struct ListedGpu {
    int index = 0;       // position in the vendor's list, which is the module's board order
    std::string vendor;  // "NVIDIA" or "AMD"
    uint32_t bus = 0;    // the PCI bus number, the id the module knows this GPU's board by
    // An earlier GPU with the same bus number: the module answers that number with the earlier
    // GPU's board, so this one cannot be addressed.
    std::optional<int> sameBusAs;
    std::optional<BoardProbe> board;  // set by ProbeBoards
};

struct GpuListing {
    int start = 0;  // the vendor start-up's result: 0, -2 no AMD GPU list, -3 no AMD vendor interface
    std::vector<ListedGpu> gpus;
};

// Starts the vendor interface and lists the GPUs and their bus numbers, without any I2C traffic.
// The module's lines (standard output) go to standard error.
GpuListing ListGpus();
// Probes each listed GPU's board as the module's start-up does, with the module's board record.
void ProbeBoards(GpuListing& listing);
// "the vendor interface did not start: ..." for a failed start-up.
std::string StartFailure(int start);
