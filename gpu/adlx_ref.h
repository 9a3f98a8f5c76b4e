// Owning reference on a reference-counted ADLX interface: copying acquires, replacing and
// destroying release. Works for every interface whose table starts with Acquire and Release.
#pragma once

#include <utility>

#include "vendor/vendor_abi.h"

template <typename Interface>
class AdlxRef {
public:
    AdlxRef() = default;
    AdlxRef(const AdlxRef& other) : m_p(other.m_p) { Acquire(m_p); }
    AdlxRef(AdlxRef&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    AdlxRef& operator=(const AdlxRef& other) {
        Assign(other.m_p);
        return *this;
    }
    AdlxRef& operator=(AdlxRef&& other) noexcept {
        if (this != &other) {
            Reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    ~AdlxRef() { Reset(); }

    Interface* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // Takes its own reference on p, then lets go of the one held before.
    void Assign(Interface* p) {
        Acquire(p);
        Interface* old = std::exchange(m_p, p);
        Release(old);
    }
    void Reset() { Release(std::exchange(m_p, nullptr)); }
    // Releases what is held and gives the slot to an API that returns a new reference.
    Interface** ReleaseAndGetAddressOf() {
        Reset();
        return &m_p;
    }

private:
    static void Acquire(Interface* p) {
        if (p) p->pVtbl->Acquire(p);
    }
    static void Release(Interface* p) {
        if (p) p->pVtbl->Release(p);
    }

    Interface* m_p = nullptr;
};
