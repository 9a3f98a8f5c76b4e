// The ADLX interfaces: reference counting, the GPU list, the I2C interface and the ADL mapping.
#include <algorithm>
#include <cstring>

#include "bench.h"

namespace bench {
namespace {

using namespace adlx;

// The GPU's own I2C line that carries the board's chips (ADLX's OEM line).
constexpr adlx_int kBoardLine = kI2cLineOem;

}  // namespace

AdlxObject* Bench::FindOrCount(const void* iface, AdlxKind kind) {
    AdlxObject* object = m_objects.Find(iface, kind);
    if (!object) m_counters.Add(CounterId::AdlxInvalidObject);
    return object;
}

adlx_long Bench::AdlxAcquire(const void* iface) {
    AdlxObject* object = m_objects.Find(iface);
    if (!object) {
        m_counters.Add(CounterId::AdlxInvalidObject);
        return 0;
    }
    return m_objects.Acquire(*object);
}

adlx_long Bench::AdlxRelease(const void* iface) {
    AdlxObject* object = m_objects.Find(iface);
    if (!object || object->refs == 0) {
        m_counters.Add(CounterId::AdlxInvalidObject);
        return 0;
    }
    return m_objects.Release(*object);
}

IADLXGPU* Bench::AcquiredGpu(int gpuIndex) {
    AdlxObject* object = m_gpuObjects[gpuIndex];
    m_objects.Acquire(*object);
    return reinterpret_cast<IADLXGPU*>(object);
}

adlx_uint Bench::ListSize(IADLXGPUList* list) {
    const AdlxObject* object = FindOrCount(list, AdlxKind::GpuList);
    return object ? static_cast<adlx_uint>(ListedCount(*object)) : 0;
}

adlx_bool Bench::ListEmpty(IADLXGPUList* list) { return ListSize(list) == 0; }

adlx_uint Bench::ListBegin(IADLXGPUList* list) {
    FindOrCount(list, AdlxKind::GpuList);
    return 0;
}

adlx_uint Bench::ListEnd(IADLXGPUList* list) { return ListSize(list); }

ADLX_RESULT Bench::ListAt(IADLXGPUList* list, adlx_uint location, IADLXGPU** gpu) {
    const AdlxObject* object = FindOrCount(list, AdlxKind::GpuList);
    if (!object) return ADLX_INVALID_OBJECT;
    if (!gpu) return ADLX_INVALID_ARGS;
    *gpu = nullptr;
    if (location >= ListedCount(*object)) return ADLX_INVALID_ARGS;
    *gpu = AcquiredGpu(m_amdGpus[location]);
    return ADLX_OK;
}

ADLX_RESULT Bench::I2cRead(IADLXI2C* i2c, bool repeatedStart, adlx_int line, adlx_int speed, adlx_int address,
                           adlx_int offset, adlx_int dataSize, adlx_byte* data) {
    m_counters.Add(CounterId::AdlxI2c);
    const AdlxObject* object = FindOrCount(i2c, AdlxKind::I2c);
    const int gpuIndex = object ? object->gpuIndex : -1;
    ADLX_RESULT result = ADLX_OK;
    if (!object) {
        result = ADLX_INVALID_OBJECT;
    } else if (line != kBoardLine || address < 0 || address > 0xFF || offset < 0 || offset > 0xFF || dataSize < 1 ||
               !data) {
        result = ADLX_INVALID_ARGS;
    }
    if (result == ADLX_OK) {
        const ReadResult read = ReadDevice(gpuIndex, static_cast<uint8_t>(address), static_cast<uint8_t>(offset),
                                           static_cast<size_t>(dataSize), data);
        result = read.ok ? ADLX_OK : (read.failureStatus != 0 ? read.failureStatus : ADLX_FAIL);
    } else {
        m_counters.Add(CounterId::I2cRefused);
    }
    if (m_log.Enabled()) {
        TorvexBenchI2cRecord record{};
        record.nCall = repeatedStart ? TorvexBenchCall_AdlxRepeatedStartRead : TorvexBenchCall_AdlxRead;
        record.nGpuIndex = gpuIndex;
        record.nResult = result;
        record.nDevAddress = address;
        record.nRegister = offset;
        record.nLength = dataSize;
        record.adlxLine = line;
        record.adlxSpeed = speed;
        if (result == ADLX_OK)
            std::memcpy(record.data, data, std::min<size_t>(static_cast<size_t>(dataSize), sizeof record.data));
        m_log.Add(record);
    }
    return result;
}

ADLX_RESULT Bench::MappingAdapterIndexFromGpu(IADLMapping* mapping, IADLXGPU* gpu, adlx_int* adapterIndex) {
    m_counters.Add(CounterId::AdlxMapping);
    if (!IsMapping(mapping)) return ADLX_INVALID_OBJECT;
    const AdlxObject* object = FindOrCount(gpu, AdlxKind::Gpu);
    if (!object || !adapterIndex) return ADLX_INVALID_ARGS;
    *adapterIndex = m_machine.gpus[object->gpuIndex].adapterIndex;
    return ADLX_OK;
}

ADLX_RESULT Bench::MappingGpuFromAdapterIndex(IADLMapping* mapping, adlx_int adapterIndex, IADLXGPU** gpu) {
    m_counters.Add(CounterId::AdlxMapping);
    if (!IsMapping(mapping)) return ADLX_INVALID_OBJECT;
    if (!gpu) return ADLX_INVALID_ARGS;
    *gpu = nullptr;
    for (size_t i = 0; i < m_machine.gpus.size(); ++i) {
        const Gpu& candidate = m_machine.gpus[i];
        if (candidate.vendor == Vendor::Amd && candidate.adapterIndex == adapterIndex) {
            *gpu = AcquiredGpu(static_cast<int>(i));
            return ADLX_OK;
        }
    }
    return ADLX_NOT_FOUND;
}

ADLX_RESULT Bench::MappingBdfFromGpu(IADLMapping* mapping, IADLXGPU* gpu, adlx_int* bus, adlx_int* device,
                                     adlx_int* function) {
    m_counters.Add(CounterId::AdlxMapping);
    if (!IsMapping(mapping)) return ADLX_INVALID_OBJECT;
    const AdlxObject* object = FindOrCount(gpu, AdlxKind::Gpu);
    if (!object || !bus || !device || !function) return ADLX_INVALID_ARGS;
    const Gpu& found = m_machine.gpus[object->gpuIndex];
    *bus = found.bus;
    *device = found.device;
    *function = found.function;
    return ADLX_OK;
}

}  // namespace bench
