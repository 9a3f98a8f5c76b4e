#include "card/controller_identity.h"

#include "card/it8915_registers.h"
#include "card/register_read.h"

using namespace it8915;

FirmwareVersion ReadFirmwareVersion(const I2cBus& bus, I2cRoute route) {
    uint8_t low = 0;
    uint8_t high = 0;
    const bool lowRead = ReadRegister(bus, kDeviceAddress, kRegVersionLow, &low, route);
    const bool highRead = ReadRegister(bus, kDeviceAddress, kRegVersionHigh, &high, route);
    if (!lowRead) low = 0;
    if (!highRead) high = 0;
    return FirmwareVersion{VersionWord(high, low), lowRead && highRead};
}

uint32_t ReadCapabilityBits(const I2cBus& bus) {
    ReadRegisterOrZero(bus, kDeviceAddress, kRegBeforeCapabilities);
    return ReadRegisterOrZero(bus, kDeviceAddress, kRegCapabilities) & kCapabilityMask;
}
