// State and the lock that guards it, as one object: the state is reachable only through Lock(),
// whose access holds the lock for as long as it lives.
//
// Every lock of the module is a std::mutex. Its constructor is constexpr, so a module-wide lock is
// ready before any constructor of the module runs and needs no place in the construction order;
// and it is not recursive, so an operation that re-entered its own group's state would stop
// instead of working on state its outer half has left half-changed.
#pragma once

#include <mutex>
#include <utility>

template <typename State>
class Guarded {
public:
    class Access {
    public:
        State* operator->() const { return &m_state; }
        State& operator*() const { return m_state; }

    private:
        friend class Guarded;
        Access(std::mutex& lock, State& state) : m_hold(lock), m_state(state) {}
        std::unique_lock<std::mutex> m_hold;
        State& m_state;
    };

    template <typename... Args>
    constexpr explicit Guarded(Args&&... args) : m_state(std::forward<Args>(args)...) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    Access Lock() { return Access(m_lock, m_state); }

private:
    std::mutex m_lock;
    State m_state;
};
