// The last transactions the bench served, with every field the caller passed. Keeps at most a
// fixed number of records, dropping the oldest.
#pragma once

#include <cstddef>
#include <vector>

#include "TorvexBench.h"

namespace bench {

class TransactionLog {
public:
    static constexpr size_t kCapacity = 65536;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    void Add(const TorvexBenchI2cRecord& record);
    size_t Count() const { return m_records.size(); }
    // index 0 is the oldest record kept.
    const TorvexBenchI2cRecord* At(size_t index) const;
    void Clear();

private:
    bool m_enabled = true;
    std::vector<TorvexBenchI2cRecord> m_records;
    size_t m_oldest = 0;  // position of the oldest record once the log is full
};

}  // namespace bench
