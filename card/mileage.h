// The usage-time recorder: the controller's counters as they are ("total"), their advance since
// load ("latest"), and a stopwatch the host starts, pauses, resumes and stops ("manual"). The
// stopwatch adds up the counters' advance over the stretches during which it was recording.
#pragma once

#include <cstdint>
#include <memory>

#include "TorvexModule.h"
#include "card/it8915_v2.h"

class CMileage {
public:
    CMileage() = default;
    CMileage(const CMileage&) = delete;
    CMileage& operator=(const CMileage&) = delete;
    virtual ~CMileage() = default;

    // Hands over the controller driver; the recorder owns it from then on.
    void AttachController(std::unique_ptr<CIT8915_V2> controller);

    // The controller driver's counters and counters since baseline; -1 without a driver.
    int GetTotalTime(uint32_t* first, uint32_t* second, uint32_t* third);
    int GetLatestTime(uint32_t* first, uint32_t* second, uint32_t* third);

    // Moves the stopwatch to the requested MileageState. -1 for a value that is no state and for
    // a pause while stopped; 0 otherwise, also when a counter read failed (the last values stand).
    int SetRec(int32_t requested);
    // The stopwatch reading: -1 only when the counters cannot be read while recording.
    int GetManualTime(uint32_t* first, uint32_t* second, uint32_t* third);
    // Adds the counters' advance since the current stretch began to the accumulated time, without
    // moving the start of the stretch or changing the state. A later pause or reading counts that
    // stretch again.
    void AccumulateSinceStart();

    MileageState State() const { return m_nState; }

private:
    // Reads the counters into the destination; a failed read leaves it as it was.
    int ReadCounters(uint32_t (&destination)[3]);

    uint32_t m_nStartMileage[3] = {0, 0, 0};
    uint32_t m_nLastMileage[3] = {0, 0, 0};
    uint32_t m_nAccMileage[3] = {0, 0, 0};
    std::unique_ptr<CIT8915_V2> m_pIT8915;
    MileageState m_nState = Stopped;
};
