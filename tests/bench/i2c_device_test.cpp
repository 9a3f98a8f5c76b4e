#include <gtest/gtest.h>

#include <array>

#include "i2c_device.h"

using bench::I2cDevice;
using bench::RegisterFault;

namespace {

I2cDevice Counting() {
    I2cDevice device;
    for (int reg = 0; reg < bench::kRegisterCount; ++reg) device.Set(static_cast<uint8_t>(reg), static_cast<uint8_t>(reg));
    return device;
}

}  // namespace

TEST(I2cDevice, BlockReadReturnsConsecutiveRegistersAndStopsAtTheLastRegister) {
    I2cDevice device = Counting();
    std::array<uint8_t, 4> out{};
    ASSERT_TRUE(device.Read(0x80, 4, out.data()).ok);
    EXPECT_EQ((std::array<uint8_t, 4>{0x80, 0x81, 0x82, 0x83}), out);
    EXPECT_TRUE(device.Read(0xFC, 4, out.data()).ok);
    out.fill(0xCD);
    EXPECT_FALSE(device.Read(0xFD, 4, out.data()).ok) << "registers past 0xFF do not exist";
    EXPECT_FALSE(device.Read(0x10, 0, out.data()).ok);
    EXPECT_EQ(0xCD, out[0]) << "a failed read leaves the buffer alone";
}

TEST(I2cDevice, AnUnreadableRegisterFailsEveryReadThatTouchesIt) {
    I2cDevice device = Counting();
    device.SetUnreadable(0x4E, true);
    uint8_t out[8] = {};
    EXPECT_TRUE(device.Read(0x4C, 2, out).ok);
    EXPECT_FALSE(device.Read(0x4E, 1, out).ok);
    EXPECT_FALSE(device.Read(0x48, 8, out).ok);
    EXPECT_TRUE(device.Read(0x4F, 1, out).ok);
}

TEST(I2cDevice, FaultPassesSomeReadsThenFailsACountWithItsStatus) {
    I2cDevice device = Counting();
    RegisterFault fault;
    fault.passReads = 1;
    fault.failReads = 2;
    fault.status = -7;
    device.SetFault(0x80, fault);
    uint8_t out[24] = {};
    EXPECT_TRUE(device.Read(0x80, 24, out).ok);
    const bench::ReadResult second = device.Read(0x7F, 2, out);
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(-7, second.failureStatus);
    EXPECT_TRUE(device.Read(0x81, 4, out).ok) << "a read that does not touch the register does not count";
    EXPECT_FALSE(device.Read(0x80, 1, out).ok);
    EXPECT_TRUE(device.Read(0x80, 1, out).ok);
}

TEST(I2cDevice, AnAlwaysFaultFailsUntilCleared) {
    I2cDevice device = Counting();
    RegisterFault fault;
    fault.failReads = RegisterFault::kFailAlways;
    device.SetFault(0x1E, fault);
    uint8_t out = 0;
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(device.Read(0x1E, 1, &out).ok);
    EXPECT_EQ(0, device.Read(0x1E, 1, &out).failureStatus) << "status 0: the vendor's usual failure";
    device.SetFault(0x1E, RegisterFault{});
    EXPECT_TRUE(device.Read(0x1E, 1, &out).ok);
}

TEST(I2cDevice, ExplicitValuesAreProtectedFromAnimationButPresetsAreNot) {
    I2cDevice device;
    device.Preset(0x10, 1);
    device.Set(0x11, 2);
    device.Animate(0x10, 9);
    device.Animate(0x11, 9);
    EXPECT_EQ(9, device.Get(0x10));
    EXPECT_EQ(2, device.Get(0x11));
}
