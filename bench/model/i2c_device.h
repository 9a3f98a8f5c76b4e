// One chip on a GPU's I2C bus as the bench simulates it: 256 one-byte registers, some of which
// can be made unreadable or made to fail for a number of reads.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

namespace bench {

constexpr int kRegisterCount = 256;

// Makes reads that touch one register fail. The first `passReads` reads still succeed, then
// `failReads` reads fail (kFailAlways: every read from then on).
struct RegisterFault {
    static constexpr int32_t kFailAlways = -1;
    uint32_t passReads = 0;
    int32_t failReads = 0;
    int32_t status = 0;  // 0: the vendor's usual failure code
};

// A failed read carries the status to report; 0 asks for the vendor's usual failure code.
struct ReadResult {
    bool ok = true;
    int32_t failureStatus = 0;
};

class I2cDevice {
public:
    uint8_t Get(uint8_t reg) const { return m_registers[reg]; }
    // An explicit value (scenario or control call): time-driven changes leave it alone from now on.
    void Set(uint8_t reg, uint8_t value);
    // A time-driven value: ignored for registers that were set explicitly.
    void Animate(uint8_t reg, uint8_t value);
    // A preset's value: neither explicit nor protected.
    void Preset(uint8_t reg, uint8_t value) { m_registers[reg] = value; }

    void SetUnreadable(uint8_t reg, bool unreadable) { m_unreadable.set(reg, unreadable); }
    bool IsUnreadable(uint8_t reg) const { return m_unreadable.test(reg); }
    void SetFault(uint8_t reg, const RegisterFault& fault) { m_faults[reg] = fault; }

    // Reads registers first..first+count-1 into out. The read fails, leaving out untouched, when
    // the run passes register 0xFF or touches an unreadable or failing register. Every read that
    // touches a faulted register counts against that fault.
    ReadResult Read(uint8_t first, size_t count, uint8_t* out);

private:
    std::array<uint8_t, kRegisterCount> m_registers{};
    std::bitset<kRegisterCount> m_explicit;
    std::bitset<kRegisterCount> m_unreadable;
    std::array<RegisterFault, kRegisterCount> m_faults{};
};

}  // namespace bench
