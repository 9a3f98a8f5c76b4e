#include "transaction_log.h"

namespace bench {

void TransactionLog::Add(const TorvexBenchI2cRecord& record) {
    if (m_records.size() < kCapacity) {
        m_records.push_back(record);
        return;
    }
    m_records[m_oldest] = record;
    m_oldest = (m_oldest + 1) % kCapacity;
}

const TorvexBenchI2cRecord* TransactionLog::At(size_t index) const {
    if (index >= m_records.size()) return nullptr;
    return &m_records[(m_oldest + index) % m_records.size()];
}

void TransactionLog::Clear() {
    m_records.clear();
    m_oldest = 0;
}

}  // namespace bench
