#include "gpu_listing.h"

#include "card/model.h"
#include "console.h"
#include "gpu/gpu_access.h"
#include "gpu/gpu_discovery.h"
#include "gpu/gpu_table.h"

namespace {

// The module's board record takes 255 for an NVIDIA GPU whose bus query fails.
constexpr int32_t kUnknownNvidiaBus = 255;

uint32_t BusOf(const GpuEntry& entry) {
    if (entry.vendor != kGpuVendorNvidia) return static_cast<uint32_t>(entry.nBusNumber);
    int32_t bus = kUnknownNvidiaBus;
    QueryGpuBusNumber(entry, &bus);
    return static_cast<uint32_t>(bus);
}

}  // namespace

GpuListing ListGpus() {
    StdoutToStderr moduleLinesAside;
    GpuListing listing;
    listing.start = InitGpuAccess();
    if (listing.start != 0) return listing;
    for (int i = 0; i < g_nGpuCount; ++i) {
        ListedGpu gpu;
        gpu.index = i;
        gpu.vendor = g_GpuEntries[i].vendor == kGpuVendorNvidia ? "NVIDIA" : "AMD";
        gpu.bus = BusOf(g_GpuEntries[i]);
        for (const ListedGpu& earlier : listing.gpus) {
            if (earlier.bus == gpu.bus) {
                gpu.sameBusAs = earlier.index;
                break;
            }
        }
        listing.gpus.push_back(gpu);
    }
    return listing;
}

void ProbeBoards(GpuListing& listing) {
    StdoutToStderr moduleLinesAside;
    for (ListedGpu& gpu : listing.gpus) {
        // As at the module's start-up: the record is built, then copied, and the copy probes the
        // controller and the tilt sensor afresh.
        const CModel first(g_GpuEntries[gpu.index]);
        const CModel record(first);
        gpu.board = BoardProbe{record.Recorder() != nullptr, record.HasTiltSensor()};
    }
}

std::string StartFailure(int start) {
    switch (start) {
        case -2: return "NVAPI did not start, and ADLX gave no GPU list or an empty one";
        case -3: return "NVAPI did not start, and atiadlxy.dll could not be loaded or ADLX not started";
        default: return "the GPU vendor interface did not start (" + std::to_string(start) + ")";
    }
}
