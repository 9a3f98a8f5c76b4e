// Where the bench takes the time for its time-driven ("lively") registers. The DLL uses the
// steady clock; tests drive a manual one so that what they see is deterministic.
#pragma once

#include <chrono>

namespace bench {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::nanoseconds Now() const = 0;
};

class SteadyClock final : public Clock {
public:
    std::chrono::nanoseconds Now() const override {
        return std::chrono::steady_clock::now().time_since_epoch();
    }
};

class ManualClock final : public Clock {
public:
    std::chrono::nanoseconds Now() const override { return m_now; }
    void Advance(std::chrono::nanoseconds by) { m_now += by; }

private:
    std::chrono::nanoseconds m_now{0};
};

}  // namespace bench
