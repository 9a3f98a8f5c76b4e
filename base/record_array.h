// A growable array of records held by value, with its own growth rule.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

// A growable array of records held by value. It grows by its own rule, not std::vector's, because
// every record copy probes the board again and the number of probes at load is part of how the
// module behaves: when full, the capacity becomes max(length + 1, capacity + capacity / 2); the
// new record is copied into the new storage first, then every existing record in order, and the
// old records are destroyed first to last. Destroying the array destroys records first to last.
template <typename Record>
class RecordArray {
public:
    RecordArray() = default;
    RecordArray(const RecordArray&) = delete;
    RecordArray& operator=(const RecordArray&) = delete;
    ~RecordArray() { Release(m_pRecords, m_nLength, m_nCapacity); }

    void Append(const Record& record) {
        if (m_nLength < m_nCapacity) {
            Traits::construct(m_allocator, m_pRecords + m_nLength, record);
            ++m_nLength;
            return;
        }
        const size_t capacity = std::max(m_nLength + 1, m_nCapacity + m_nCapacity / 2);
        Record* const storage = Traits::allocate(m_allocator, capacity);
        bool appendedBuilt = false;
        size_t movedBuilt = 0;
        try {
            Traits::construct(m_allocator, storage + m_nLength, record);
            appendedBuilt = true;
            for (; movedBuilt < m_nLength; ++movedBuilt) {
                Traits::construct(m_allocator, storage + movedBuilt, m_pRecords[movedBuilt]);
            }
        } catch (...) {
            for (size_t i = 0; i < movedBuilt; ++i) Traits::destroy(m_allocator, storage + i);
            if (appendedBuilt) Traits::destroy(m_allocator, storage + m_nLength);
            Traits::deallocate(m_allocator, storage, capacity);
            throw;
        }
        Release(m_pRecords, m_nLength, m_nCapacity);
        m_pRecords = storage;
        m_nCapacity = capacity;
        ++m_nLength;
    }

    size_t size() const { return m_nLength; }
    size_t capacity() const { return m_nCapacity; }
    Record* begin() { return m_pRecords; }
    Record* end() { return m_pRecords + m_nLength; }
    Record& operator[](size_t index) { return m_pRecords[index]; }

private:
    using Traits = std::allocator_traits<std::allocator<Record>>;

    void Release(Record* records, size_t length, size_t capacity) {
        for (size_t i = 0; i < length; ++i) Traits::destroy(m_allocator, records + i);
        if (records) Traits::deallocate(m_allocator, records, capacity);
    }

    std::allocator<Record> m_allocator;
    Record* m_pRecords = nullptr;
    size_t m_nLength = 0;
    size_t m_nCapacity = 0;
};
