// Listing the GPUs of the chosen vendor into g_GpuEntries and finding each GPU's PCI bus number.
#pragma once

#include <cstdint>

#include "gpu/gpu_entry.h"
#include "vendor/vendor_abi.h"

// One NVIDIA entry per physical GPU NVAPI lists (handle and vendor kind; the bus number is left to
// the board record). Gives NvAPI_EnumPhysicalGPUs's status.
nvapi::NvAPI_Status ListNvidiaGpus();

// Empties the table and fills one AMD entry per GPU in the system's GPU list, kept in g_pGpuList.
// False when the list cannot be obtained or is empty.
bool ListAmdGpus(adlx::IADLXSystem* system);

// Bus numbers of the AMD entries, from the ADL mapping (each entry then holds the GPU the mapping
// gives for its adapter) or, without a mapping, from the registry bus list.
void AssignAmdBusNumbersFromMapping(adlx::IADLMapping* mapping);
void AssignAmdBusNumbersFromBusList();

// An NVIDIA entry's PCI bus number into *busNumber, giving NVAPI's status; -1 for any other
// entry, *busNumber untouched.
int QueryGpuBusNumber(const GpuEntry& entry, int32_t* busNumber);
