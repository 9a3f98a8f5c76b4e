// A system-wide named mutex, held for as long as the lock object lives, waited for only a bounded
// time: another process that holds it must never stop the caller for good.
#pragma once

#include <windows.h>

#include "base/win32_handles.h"

class NamedMutexLock {
public:
    enum class State {
        Held,         // this thread owns the mutex (also when its last owner died holding it)
        TimedOut,     // another owner kept it past the wait
        Unavailable,  // the mutex could not be opened or created, or the wait failed
    };

    // Opens the mutex, creating it unowned when it does not exist yet, and waits for it.
    NamedMutexLock(const wchar_t* name, DWORD waitMilliseconds) {
        m_mutex.reset(CreateMutexW(nullptr, FALSE, name));
        if (!m_mutex) return;
        switch (WaitForSingleObject(m_mutex.get(), waitMilliseconds)) {
            case WAIT_OBJECT_0:
            case WAIT_ABANDONED:
                m_state = State::Held;
                break;
            case WAIT_TIMEOUT:
                m_state = State::TimedOut;
                break;
            default:
                break;
        }
    }
    ~NamedMutexLock() {
        if (m_state == State::Held) ReleaseMutex(m_mutex.get());
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

    State state() const { return m_state; }

private:
    UniqueMutex m_mutex;
    State m_state = State::Unavailable;
};
