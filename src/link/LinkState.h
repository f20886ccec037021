// Plain state shared by the receive parser, the exchange and the connect.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace delvar::link {

// CommStatus codes the link itself sets or tests.
enum StatusCode : int {
    kOk = 0,
    kTimeout = 1,
    kNotReady = 3,
    kBadCommand = 4,
    kBadData = 5,
    kBadMode = 6,
    kReceiveCrcError = 7,
    kBusy = 9,
    kPortOpened = 10,
    kTransmitCrcError = 11,
    kMessageTooLong = 12,
    kFourChannelsRequired = 95,
    kCoDepRequired = 96,
};

// Receive side of the link plus the connect's bookkeeping.
struct LinkState {
    bool Connecting = false;
    std::string PendingCommand;
    std::string RxText;        // non-zero bytes since the last sync, sync included
    std::int32_t RxIndex = 0;  // 0 idle, 1 expecting length, >= 2 next buffer position
    std::vector<std::uint8_t> RxBuffer;
};

// Outcome of the exchange in progress or the last one.
struct ExchangeState {
    int CommStatus = kOk;
    std::string LastCommand;  // empty between exchanges
    std::string TxText;       // text image of the last command frame
    std::string ReplyText;    // data text of the last good reply
};

// What the link has learnt of the instrument.
struct InstrumentInfo {
    bool Online = false;
    std::string VersionText;
    int ChannelCount = 0;
    bool CoDep = false;
};

}  // namespace delvar::link
