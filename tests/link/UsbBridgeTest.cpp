#include <gtest/gtest.h>

#include "link/UsbBridge.h"
#include "support/FakeUsbXpress.h"

namespace delvar::link {
namespace {

using testing::FakeUsbXpress;
using Calls = std::vector<std::string>;

struct UsbRig {
    FakeUsbXpress lib;
    UsbState state;
    UsbBridge usb{lib, state};
};

TEST(UsbWrappers, OpenSetsTimeoutsThenRateAndStopsAtTheFirstFailure) {
    UsbRig r;
    auto device = r.lib.AddDevice("A1");
    std::int32_t handle = 0;
    EXPECT_EQ(r.usb.UsbOpen(device, handle), 0);
    std::string h = "h" + std::to_string(handle);
    EXPECT_EQ(r.lib.Calls(),
              (Calls{"SI_Open(0)", "SI_SetTimeouts(100,100)", "SI_SetBaudRate(" + h + ",115200)"}));
    EXPECT_EQ(r.lib.Device(device).baudRate, 115200u);

    r.lib.ClearCalls();
    r.lib.ForceResult("SI_SetTimeouts", 6);
    EXPECT_EQ(r.usb.UsbOpen(device, handle), 6);
    EXPECT_EQ(r.state.UsbStatus, 6);
    EXPECT_EQ(r.lib.Calls().size(), 2u);  // no rate set after the failure

    r.lib.ClearCalls();
    r.lib.Device(device).openResult = UsbXpress::kDeviceNotFound;
    EXPECT_EQ(r.usb.UsbOpen(device, handle), UsbXpress::kDeviceNotFound);
    EXPECT_EQ(r.lib.Calls(), (Calls{"SI_Open(0)"}));
}

TEST(UsbWrappers, WriteFlushesFirstAndReportsAFailedFlushAs255) {
    UsbRig r;
    auto device = r.lib.AddDevice("A1");
    std::int32_t handle = 0;
    r.usb.UsbOpen(device, handle);
    r.lib.ClearCalls();
    EXPECT_EQ(r.usb.UsbWrite(handle, {0x21, 0x23, 0x40, 0x4F, 0x37}), 0);
    std::string h = "h" + std::to_string(handle);
    EXPECT_EQ(r.lib.Calls(), (Calls{"SI_FlushBuffers(" + h + ",1,1)", "SI_Write(" + h + ",5)"}));
    ASSERT_EQ(r.lib.Device(device).written.size(), 1u);
    EXPECT_EQ(r.lib.Device(device).written[0], (Bytes{0x21, 0x23, 0x40, 0x4F, 0x37}));

    r.lib.ClearCalls();
    r.lib.ForceResult("SI_FlushBuffers", 4);
    EXPECT_EQ(r.usb.UsbWrite(handle, {1, 2, 3}), kUsbFlushFailed);
    EXPECT_EQ(r.state.UsbStatus, kUsbFlushFailed);
    EXPECT_EQ(r.lib.Calls(), (Calls{"SI_FlushBuffers(" + h + ",1,1)"}));
}

TEST(UsbWrappers, ReadOnlyWhenDataIsReadyAndCopiesFromIndexZero) {
    UsbRig r;
    auto device = r.lib.AddDevice("A1");
    std::int32_t handle = 0;
    r.usb.UsbOpen(device, handle);
    r.lib.ClearCalls();
    std::vector<std::uint8_t> buffer(1025, 0);
    std::size_t copied = 99;
    EXPECT_EQ(r.usb.UsbRead(handle, buffer, copied), 0);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(r.lib.Calls().size(), 1u);  // queue checked, nothing read

    Bytes many(300, 'x');
    r.lib.Queue(device, many);
    EXPECT_EQ(r.usb.UsbRead(handle, buffer, copied), 0);
    EXPECT_EQ(copied, 252u);  // never more than asked per read
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(buffer[251], 'x');
    EXPECT_EQ(buffer[252], 0);
    EXPECT_EQ(r.usb.UsbRead(handle, buffer, copied), 0);
    EXPECT_EQ(copied, 48u);
}

TEST(UsbWrappers, ProductStringsAndCount) {
    UsbRig r;
    EXPECT_EQ(r.usb.UsbDeviceCount(), 0);
    r.lib.AddDevice("SER-1", "8292");
    r.lib.AddDevice(std::string(300, 'S'), "ea60");
    EXPECT_EQ(r.usb.UsbDeviceCount(), 2);
    EXPECT_EQ(r.usb.UsbSerialNumber(0), "SER-1");
    EXPECT_EQ(r.usb.UsbProductId(1), "ea60");
    EXPECT_EQ(r.usb.UsbSerialNumber(1).size(), 255u);
    EXPECT_EQ(r.usb.UsbSerialNumber(5), "");
    EXPECT_NE(r.state.UsbStatus, 0);
    r.lib.ForceResult("SI_GetNumDevices", UsbXpress::kDeviceNotFound);
    EXPECT_EQ(r.usb.UsbDeviceCount(), 0);
}

TEST(UsbSearch, ListsOnlyDelvarBridgesAndClosesEveryTrialHandle) {
    UsbRig r;
    r.lib.AddDevice("other", "EA60");
    r.lib.AddDevice("dv-2", "8292");
    r.lib.AddDevice("DV-3", "8292");
    auto broken = r.lib.AddDevice("DV-4", "8292");
    r.lib.Device(broken).openResult = UsbXpress::kDeviceNotFound;
    EXPECT_TRUE(r.usb.FindDelvar("DV-2"));  // serial numbers compare without case
    EXPECT_EQ(r.state.UsbDeviceList, (std::vector<std::string>{"dv-2", "DV-3"}));
    EXPECT_EQ(r.state.UsbDeviceIndex, 1u);
    EXPECT_TRUE(r.lib.OpenHandles().empty());
    EXPECT_FALSE(r.usb.FindDelvar("missing"));
    EXPECT_EQ(r.state.UsbDeviceList.size(), 2u);
}

TEST(UsbSearch, StopsAtEightAndClosesAnOpenHandleFirst) {
    UsbRig r;
    for (int i = 0; i < 10; ++i) r.lib.AddDevice("D" + std::to_string(i), "8292");
    std::int32_t handle = 0;
    r.usb.UsbOpen(0, handle);
    r.state.UsbHandle = handle;
    EXPECT_FALSE(r.usb.FindDelvar("D9"));  // the ninth and tenth are never looked at
    EXPECT_EQ(r.state.UsbDeviceList.size(), 8u);
    EXPECT_EQ(r.state.UsbHandle, 0);
    EXPECT_TRUE(r.lib.OpenHandles().empty());
}

}  // namespace
}  // namespace delvar::link
