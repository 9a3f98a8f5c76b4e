// The reference-counted ADLX interfaces the bench hands out (GPUs, GPU lists, I2C interfaces).
// Each object starts with its vtable pointer, so a pointer to it is the interface pointer the
// caller sees. Objects are looked up by address, so a pointer the bench never handed out, or one
// already released, is recognised instead of being followed; a released object's memory is kept
// for a while before reuse, so a late call through it is still caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

namespace bench {

enum class AdlxKind { Gpu, GpuList, I2c };

struct AdlxObject {
    const void* pVtbl = nullptr;  // must stay the first member
    AdlxKind kind = AdlxKind::Gpu;
    int32_t gpuIndex = -1;        // GPU and I2C objects: the scenario GPU
    bool emptyList = false;       // GPU lists: the scenario asked for an empty list
    int32_t refs = 0;             // references the caller holds
    bool live = false;
};

class AdlxObjectTable {
public:
    // A new live object holding `refs` caller references.
    AdlxObject* Create(AdlxKind kind, const void* vtbl, int32_t gpuIndex, int32_t refs);
    // The live object at that address, of that kind; null otherwise.
    AdlxObject* Find(const void* iface, AdlxKind kind);
    // The live object at that address, of any kind; null otherwise.
    AdlxObject* Find(const void* iface);
    // Both give the new count. GPUs live as long as the machine; lists and I2C interfaces die when
    // their count reaches 0.
    int32_t Acquire(AdlxObject& object);
    int32_t Release(AdlxObject& object);
    // References the caller holds right now, over all live objects.
    int64_t HeldReferences() const;
    // Every object dies (a new machine is loaded).
    void DropAll();

private:
    static constexpr size_t kQuarantine = 256;
    void Kill(size_t index);

    std::vector<std::unique_ptr<AdlxObject>> m_objects;
    std::unordered_map<const void*, size_t> m_indexByAddress;
    std::deque<size_t> m_dead;  // oldest first
};

}  // namespace bench
