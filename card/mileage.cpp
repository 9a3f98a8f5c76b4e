#include "card/mileage.h"

#include <utility>

#include "base/diag.h"

namespace {

void PrintCounters(const wchar_t* format, const uint32_t (&counters)[3]) {
    DebugPrint(format, static_cast<int>(counters[0]), static_cast<int>(counters[1]), static_cast<int>(counters[2]));
}

bool IsMileageState(int32_t value) { return value == Recording || value == Paused || value == Stopped; }

}  // namespace

void CMileage::AttachController(std::unique_ptr<CIT8915_V2> controller) { m_pIT8915 = std::move(controller); }

int CMileage::GetTotalTime(uint32_t* first, uint32_t* second, uint32_t* third) {
    return m_pIT8915 ? m_pIT8915->GetMileageTotalTime(first, second, third) : -1;
}

int CMileage::GetLatestTime(uint32_t* first, uint32_t* second, uint32_t* third) {
    return m_pIT8915 ? m_pIT8915->GetMileageLatestTime(first, second, third) : -1;
}

int CMileage::ReadCounters(uint32_t (&destination)[3]) {
    return GetTotalTime(&destination[0], &destination[1], &destination[2]);
}

int CMileage::SetRec(int32_t requested) {
    if (!IsMileageState(requested)) {
        return -1;
    }
    const auto target = static_cast<MileageState>(requested);
    if (target == m_nState) {
        return 0;
    }
    switch (target) {
    case Recording:
        if (m_nState == Stopped) {
            ReadCounters(m_nStartMileage);
            PrintCounters(L"Stoped --> Recording : %d  | %d  |%d\r\n", m_nStartMileage);
            m_nState = Recording;
        } else {
            m_nState = Recording;
            ReadCounters(m_nStartMileage);
            PrintCounters(L"Stoped T1 Reset : %d  | %d  |%d \r\n", m_nStartMileage);
        }
        return 0;
    case Paused:
        if (m_nState == Stopped) {
            return -1;
        }
        ReadCounters(m_nLastMileage);
        for (int i = 0; i < 3; ++i) {
            m_nAccMileage[i] += m_nLastMileage[i] - m_nStartMileage[i];
            m_nStartMileage[i] = m_nLastMileage[i];
        }
        PrintCounters(L"Recording --->Paused : %d  | %d  |%d\r\n", m_nAccMileage);
        PrintCounters(L"Stoped T1 Reset : %d  | %d  |%d \r\n", m_nStartMileage);
        m_nState = Paused;
        return 0;
    case Stopped:
        for (int i = 0; i < 3; ++i) {
            m_nStartMileage[i] = m_nLastMileage[i] = m_nAccMileage[i] = 0;
        }
        m_nState = Stopped;
        return 0;
    }
    return -1;
}

int CMileage::GetManualTime(uint32_t* first, uint32_t* second, uint32_t* third) {
    uint32_t reading[3] = {0, 0, 0};
    if (m_nState == Recording) {
        uint32_t now[3];
        if (ReadCounters(now) != 0) {
            return -1;
        }
        uint32_t stretch[3];
        for (int i = 0; i < 3; ++i) {
            stretch[i] = now[i] - m_nStartMileage[i];
            reading[i] = m_nAccMileage[i] + stretch[i];
        }
        PrintCounters(L"Manual Temp : %d  | %d  |%d\r\n", stretch);
        PrintCounters(L"Manual Paused : %d  | %d  |%d\r\n", m_nAccMileage);
    } else if (m_nState == Paused) {
        for (int i = 0; i < 3; ++i) {
            reading[i] = m_nAccMileage[i];
        }
    }
    *first = reading[0];
    *second = reading[1];
    *third = reading[2];
    return 0;
}

void CMileage::AccumulateSinceStart() {
    ReadCounters(m_nLastMileage);
    for (int i = 0; i < 3; ++i) {
        m_nAccMileage[i] += m_nLastMileage[i] - m_nStartMileage[i];
    }
}
