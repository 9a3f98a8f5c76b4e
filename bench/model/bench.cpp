#include "bench.h"

#include <utility>

namespace bench {

Bench::Bench(const Clock& clock) : m_clock(clock) {}

Bench::~Bench() = default;

void Bench::Load(Machine machine) {
    m_machine = std::move(machine);
    m_counters.Reset();
    m_log.Clear();
    m_log.SetEnabled(true);
    m_livelyRunning = true;
    m_livelyBefore = std::chrono::nanoseconds{0};
    m_livelySince = m_clock.Now();
    m_nvInitialized = false;
    m_adlContexts.clear();
    m_adlxInitialized = false;
    m_objects.DropAll();
    m_gpuObjects.assign(m_machine.gpus.size(), nullptr);
    m_amdGpus.clear();
    m_sdk.Load(m_machine.cpuidsdk);
    for (size_t i = 0; i < m_machine.gpus.size(); ++i) {
        if (m_machine.gpus[i].vendor != Vendor::Amd) continue;
        m_gpuObjects[i] = m_objects.Create(AdlxKind::Gpu, m_vtables.gpu, static_cast<int32_t>(i), 0);
        m_amdGpus.push_back(static_cast<int>(i));
    }
}

I2cDevice* Bench::FindDevice(int gpuIndex, int devAddress) {
    if (gpuIndex < 0 || static_cast<size_t>(gpuIndex) >= m_machine.gpus.size()) return nullptr;
    if (devAddress < 0 || devAddress > 0xFF) return nullptr;
    return m_machine.gpus[gpuIndex].FindDevice(static_cast<uint8_t>(devAddress));
}

int Bench::SetRegister(int gpuIndex, int devAddress, int reg, int value) {
    I2cDevice* device = FindDevice(gpuIndex, devAddress);
    if (!device || reg < 0 || reg > 0xFF || value < 0 || value > 0xFF) return -1;
    device->Set(static_cast<uint8_t>(reg), static_cast<uint8_t>(value));
    return 0;
}

int Bench::GetRegister(int gpuIndex, int devAddress, int reg) {
    I2cDevice* device = FindDevice(gpuIndex, devAddress);
    if (!device || reg < 0 || reg > 0xFF) return -1;
    BringUpToDate(gpuIndex, static_cast<uint8_t>(devAddress), static_cast<uint8_t>(reg), 1);
    return device->Get(static_cast<uint8_t>(reg));
}

int Bench::FailRegister(int gpuIndex, int devAddress, int reg, int reads, int status) {
    I2cDevice* device = FindDevice(gpuIndex, devAddress);
    if (!device || reg < 0 || reg > 0xFF || reads < RegisterFault::kFailAlways) return -1;
    RegisterFault fault;
    fault.failReads = reads;
    fault.status = status;
    device->SetFault(static_cast<uint8_t>(reg), fault);
    return 0;
}

void Bench::SetLively(bool lively) {
    if (lively == m_livelyRunning) return;
    if (lively) {
        m_livelySince = m_clock.Now();
    } else {
        m_livelyBefore += m_clock.Now() - m_livelySince;
    }
    m_livelyRunning = lively;
}

double Bench::LivelySeconds() const {
    const auto running = m_livelyBefore + (m_clock.Now() - m_livelySince);
    return std::chrono::duration<double>(running).count();
}

void Bench::BringUpToDate(int gpuIndex, uint8_t devAddress, uint8_t reg, size_t count) {
    Gpu& gpu = m_machine.gpus[gpuIndex];
    if (!m_livelyRunning || !gpu.lively || devAddress != kControllerAddress) return;
    gpu.lively->Animate(gpu.devices.at(kControllerAddress), LivelySeconds(), reg, count);
}

ReadResult Bench::ReadDevice(int gpuIndex, uint8_t devAddress, uint8_t reg, size_t count, uint8_t* out) {
    I2cDevice* device = FindDevice(gpuIndex, devAddress);
    if (!device) return {false, 0};
    BringUpToDate(gpuIndex, devAddress, reg, count);
    return device->Read(reg, count, out);
}

int64_t Bench::Counter(std::string_view name) const {
    if (name == kAdlxRefsCounterName) return m_objects.HeldReferences();
    if (const auto sdk = m_sdk.Counter(name)) return *sdk;
    const auto counter = CounterByName(name);
    return counter ? m_counters.Get(*counter) : -1;
}

bool Bench::AttachLibrary(Library library) {
    switch (library) {
        case Library::Nvapi:
            m_counters.Add(CounterId::NvapiLoads);
            return m_machine.nvapi.present;
        case Library::Atiadlxy:
            m_counters.Add(CounterId::AtiadlxyLoads);
            return m_machine.adl.present;
        case Library::Amdadlx32:
            m_counters.Add(CounterId::Amdadlx32Loads);
            return m_machine.adlx.present;
    }
    return false;
}

void Bench::UseAdlxVtables(const AdlxVtables& vtables) {
    m_vtables = vtables;
    m_system.pVtbl = vtables.system;
    m_mapping.pVtbl = vtables.mapping;
    for (AdlxObject* gpu : m_gpuObjects)
        if (gpu) gpu->pVtbl = vtables.gpu;
}

}  // namespace bench
