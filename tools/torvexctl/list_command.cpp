#include "list_command.h"

#include <cstdio>

#include "bench_scenario.h"
#include "commands.h"
#include "exit_codes.h"
#include "gpu_listing.h"
#include "number_text.h"
#include "text_layout.h"

using json = nlohmann::ordered_json;

namespace {

const char kListFooter[] =
    "torvexctl runs the module's own GPU discovery and board probe in its own process, as the module "
    "does while it loads: it starts NVAPI (or else ADL and ADLX), lists the GPUs in the vendor's "
    "order, takes each GPU's PCI bus number, and probes the board behind each GPU. The bus number "
    "is the id the module knows that GPU's board by (status --gpu). A GPU whose bus number an earlier "
    "GPU has as well cannot be addressed: the module answers that number with the earlier GPU's board.";

std::string BoardText(const ListedGpu& gpu) {
    if (gpu.sameBusAs) return "not addressable: GPU " + std::to_string(*gpu.sameBusAs) + " has the same bus number";
    if (!gpu.board->controller) return "no controller identified itself";
    return std::string("controller answers, tilt sensor ") + (gpu.board->tiltSensor ? "present" : "absent");
}

std::string ListText(const GpuListing& listing) {
    std::string text = BenchScenarioLine() + "GPUs found by the module's discovery, run in torvexctl's process:\n";
    text += "  " + Columns({"GPU", "vendor", "bus", "board"}, 8) + "\n";
    for (const ListedGpu& gpu : listing.gpus)
        text +=
            "  " + Columns({std::to_string(gpu.index), gpu.vendor, std::to_string(gpu.bus), BoardText(gpu)}, 8) + "\n";
    return text;
}

json ListJson(const GpuListing& listing) {
    json gpus = json::array();
    for (const ListedGpu& gpu : listing.gpus) {
        gpus.push_back({{"index", gpu.index},
                        {"vendor", gpu.vendor},
                        {"bus", gpu.bus},
                        {"same_bus_as", gpu.sameBusAs ? json(*gpu.sameBusAs) : json(nullptr)},
                        {"controller", gpu.board->controller},
                        {"tilt_sensor", gpu.board->tiltSensor}});
    }
    return {{"bench_scenario", BenchScenarioJson()},
            {"vendor_start",
             {{"code", listing.start}, {"meaning", listing.start == 0 ? "ok" : StartFailure(listing.start)}}},
            {"gpus", gpus}};
}

}  // namespace

CLI::App* AddListCommand(CLI::App& app, ListOptions& options, const std::string& exitCodes) {
    CLI::App* command =
        app.add_subcommand("list", "List the GPUs as the module's discovery sees them: vendor, bus, board.");
    command->footer(kListFooter + ("\n\n" + exitCodes));
    command->add_flag("--json", options.json, "One JSON document, for scripts.");
    return command;
}

int RunList(const ListOptions& options) {
    GpuListing listing = ListGpus();
    ProbeBoards(listing);
    std::fputs(options.json ? (JsonText(ListJson(listing), 2) + "\n").c_str() : ListText(listing).c_str(), stdout);
    if (listing.gpus.empty()) {
        PrintError(listing.start != 0 ? StartFailure(listing.start) : "the vendor interface lists no GPU");
        return kExitNoBoard;
    }
    return kExitOk;
}
