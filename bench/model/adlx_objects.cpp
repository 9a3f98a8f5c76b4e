#include "adlx_objects.h"

namespace bench {

AdlxObject* AdlxObjectTable::Create(AdlxKind kind, const void* vtbl, int32_t gpuIndex, int32_t refs) {
    size_t index;
    if (m_dead.size() > kQuarantine) {
        index = m_dead.front();
        m_dead.pop_front();
    } else {
        index = m_objects.size();
        m_objects.push_back(std::make_unique<AdlxObject>());
        m_indexByAddress.emplace(m_objects.back().get(), index);
    }
    AdlxObject& object = *m_objects[index];
    object = AdlxObject{};
    object.pVtbl = vtbl;
    object.kind = kind;
    object.gpuIndex = gpuIndex;
    object.refs = refs;
    object.live = true;
    return &object;
}

AdlxObject* AdlxObjectTable::Find(const void* iface) {
    const auto found = m_indexByAddress.find(iface);
    if (found == m_indexByAddress.end()) return nullptr;
    AdlxObject* object = m_objects[found->second].get();
    return object->live ? object : nullptr;
}

AdlxObject* AdlxObjectTable::Find(const void* iface, AdlxKind kind) {
    AdlxObject* object = Find(iface);
    return object && object->kind == kind ? object : nullptr;
}

int32_t AdlxObjectTable::Acquire(AdlxObject& object) { return ++object.refs; }

int32_t AdlxObjectTable::Release(AdlxObject& object) {
    if (object.refs > 0) --object.refs;
    if (object.refs == 0 && object.kind != AdlxKind::Gpu) Kill(m_indexByAddress.at(&object));
    return object.refs;
}

int64_t AdlxObjectTable::HeldReferences() const {
    int64_t held = 0;
    for (const auto& object : m_objects)
        if (object->live) held += object->refs;
    return held;
}

void AdlxObjectTable::DropAll() {
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i]->live) Kill(i);
}

void AdlxObjectTable::Kill(size_t index) {
    m_objects[index]->live = false;
    m_dead.push_back(index);
}

}  // namespace bench
