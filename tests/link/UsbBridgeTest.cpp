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
    std::int32_t handle = 0;
    std::string h;  // the handle as the call log shows it
    void Open() {
        lib.AddDevice("A1");
        usb.UsbOpen(0, handle);
        h = "h" + std::to_string(handle);
        lib.ClearCalls();
    }
};

TEST(UsbWrappers, OpenSetsTimeoutsThenRateAndStopsAtTheFirstFailure) {
    UsbRig r;
    r.Open();
    EXPECT_EQ(r.lib.Device(0).baudRate, 115200u);
    r.lib.ForceResult("SI_SetTimeouts", 6);
    std::int32_t handle = 0;
    EXPECT_EQ(r.usb.UsbOpen(0, handle), 6);
    EXPECT_EQ(r.state.UsbStatus, 6);
    EXPECT_EQ(r.lib.Calls(), (Calls{"SI_Open(0)", "SI_SetTimeouts(100,100)"}));
}

TEST(UsbWrappers, AFailedFlushIsReportedAs255AndNothingIsWritten) {
    UsbRig r;
    r.Open();
    r.lib.ForceResult("SI_FlushBuffers", 4);
    EXPECT_EQ(r.usb.UsbWrite(r.handle, {1, 2, 3}), kUsbFlushFailed);
    EXPECT_EQ(r.state.UsbStatus, kUsbFlushFailed);
    EXPECT_EQ(r.lib.Calls(), (Calls{"SI_FlushBuffers(" + r.h + ",1,1)"}));
}

TEST(UsbWrappers, ReadOnlyWhenDataIsReadyAndNeverMoreThan252) {
    UsbRig r;
    r.Open();
    std::vector<std::uint8_t> buffer(1025, 0);
    std::size_t copied = 99;
    EXPECT_EQ(r.usb.UsbRead(r.handle, buffer, copied), 0);
    EXPECT_EQ(copied, 0u);
    EXPECT_EQ(r.lib.Calls().size(), 1u);  // queue checked, nothing read
    r.lib.Queue(0, Bytes(300, 'x'));
    EXPECT_EQ(r.usb.UsbRead(r.handle, buffer, copied), 0);
    EXPECT_EQ(copied, 252u);
    EXPECT_EQ(buffer[251], 'x');
    EXPECT_EQ(buffer[252], 0);
    EXPECT_EQ(r.usb.UsbRead(r.handle, buffer, copied), 0);
    EXPECT_EQ(copied, 48u);
}

TEST(UsbSearch, ListsOnlyDelvarBridgesAndClosesEveryTrialHandle) {
    UsbRig r;
    r.lib.AddDevice("other", "EA60");
    r.lib.AddDevice("dv-2", "8292");
    r.lib.AddDevice(std::string(300, 'S'), "8292");  // a serial cut to 255 characters
    r.lib.Device(r.lib.AddDevice("DV-4", "8292")).openResult = UsbXpress::kDeviceNotFound;
    EXPECT_TRUE(r.usb.FindDelvar("DV-2"));  // serial numbers compare without case
    EXPECT_EQ(r.state.UsbDeviceList, (Calls{"dv-2", std::string(255, 'S')}));
    EXPECT_EQ(r.state.UsbDeviceIndex, 1u);
    EXPECT_TRUE(r.lib.OpenHandles().empty());
    EXPECT_FALSE(r.usb.FindDelvar("missing"));
}

TEST(UsbSearch, StopsAtEightAndClosesAnOpenHandleFirst) {
    UsbRig r;
    for (int i = 0; i < 10; ++i) r.lib.AddDevice("D" + std::to_string(i), "8292");
    r.usb.UsbOpen(0, r.state.UsbHandle);
    EXPECT_FALSE(r.usb.FindDelvar("D9"));  // the ninth and tenth are never looked at
    EXPECT_EQ(r.state.UsbDeviceList.size(), 8u);
    EXPECT_EQ(r.state.UsbHandle, 0);
    EXPECT_TRUE(r.lib.OpenHandles().empty());
}

}  // namespace
}  // namespace delvar::link
