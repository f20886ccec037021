// Link settings: one plain value the link copies when a connect starts; the
// settings file code reads and writes it, the transports never see the file.
#pragma once

#include <array>
#include <string>

namespace delvar::link {

enum PortType : int { kPortRs232 = 0, kPortUsb = 1, kPortTcp = 2 };

struct CommSettings {
    int Type = kPortTcp;
    int RS232Port = 1;           // 1..9
    int RS232Baud = 0;           // index into kRateTable
    std::string USBDevice;       // serial number of the chosen bridge
    std::string EPort = "2101";  // decimal digits
    std::string EAddress = "192.168.1.200";
    int CheckSum = 1;  // 1 send check bytes, 0 send zeros
    int Start = 1;     // search for the instrument at start-up
    // The device path port RS232Port stands for, as chosen in the communications
    // window; "" (settings from before the choice existed): /dev/ttyS{RS232Port-1}.
    std::string RS232Device = {};
};

// Serial rates by RS232Baud index: room for ten, four used.
inline constexpr std::array<const char*, 10> kRateTable = {"19200", "38400", "57600", "115200", "",
                                                           "",      "",      "",      "",       ""};

}  // namespace delvar::link
