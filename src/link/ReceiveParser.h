// Byte-by-byte receive state machine for reply frames. Pure: bytes in, outcome
// left in the exchange state and the instrument info.
#pragma once

#include <cstdint>

#include "link/LinkState.h"

namespace delvar::link {

// Feeds one received byte. The outcome (CommStatus, ReplyText, Online, and for a
// version reply VersionText and CoDep) is left in the given state.
void ReceiveByte(std::uint8_t b, LinkState& rx, ExchangeState& exchange, InstrumentInfo& info);

// Status character of a reply to its CommStatus code.
int StatusCodeFor(std::uint8_t statusChar);

}  // namespace delvar::link
