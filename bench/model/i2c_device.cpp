#include "i2c_device.h"

#include <cstring>

namespace bench {

void I2cDevice::Set(uint8_t reg, uint8_t value) {
    m_registers[reg] = value;
    m_explicit.set(reg);
}

void I2cDevice::Animate(uint8_t reg, uint8_t value) {
    if (!m_explicit.test(reg)) m_registers[reg] = value;
}

namespace {

// Moves the fault on by one read; true when this read fails.
bool TickFault(RegisterFault& fault) {
    if (fault.failReads == 0) return false;
    if (fault.passReads > 0) {
        --fault.passReads;
        return false;
    }
    if (fault.failReads > 0) --fault.failReads;
    return true;
}

}  // namespace

ReadResult I2cDevice::Read(uint8_t first, size_t count, uint8_t* out) {
    if (count == 0 || first + count > kRegisterCount) return {false, 0};
    ReadResult result;
    for (size_t reg = first; reg < first + count; ++reg) {
        const bool faultFails = TickFault(m_faults[reg]);
        if (result.ok && faultFails) result = {false, m_faults[reg].status};
        if (result.ok && m_unreadable.test(reg)) result = {false, 0};
    }
    if (result.ok) std::memcpy(out, &m_registers[first], count);
    return result;
}

}  // namespace bench
