// A link over in-memory ports with a fake clock and a scripted event pump.
#pragma once

#include "link/Link.h"
#include "support/FakeUsbXpress.h"
#include "support/LinkFakes.h"

namespace delvar::testing {

struct LinkRig {
    FakeClock clock;
    ScriptedPump pump{clock};
    FakeSerialPort serial;
    FakeTcpSocket tcp;
    FakeUsbXpress usb;
    link::Link link{{serial, tcp, usb, pump, clock}};
};

}  // namespace delvar::testing
