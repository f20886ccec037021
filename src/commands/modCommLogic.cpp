#include "commands/modCommLogic.h"

#include <algorithm>
#include <climits>

#include "commands/ReplyItems.h"
#include "commands/WireNumbers.h"
#include "util/Text.h"

namespace delvar::commands {

namespace {
std::int32_t LongOf(const std::string& text) {
    return ToLong(util::LeadingNumber(text));
}
}  // namespace

int ReadLogic(link::Link& link, LogicTable& logic, int index) {
    setup::LogicRec* r = logic.Find(index);
    if (!r) return link::kBadData;
    std::string reply = link.SendCommand("I" + std::to_string(index) + "? 1 2 3 4 5 6");
    if (link.CommStatus() != link::kOk) return link.CommStatus();
    // "1,<name> 2,<terms> 3,<then> 4,v 5,x 6,<defined>". A name holds no comma, so it
    // runs from after "1," to the blank before the next item's number; it may be
    // all blanks (an unused statement) or hold blanks.
    const std::size_t start = reply.find(',');
    const std::string body = start == std::string::npos ? "" : reply.substr(start + 1);
    const std::size_t next = body.find(',');
    const std::size_t nameEnd = next == std::string::npos ? body.size() : body.rfind(' ', next);
    const std::string name = nameEnd == std::string::npos ? "" : body.substr(0, nameEnd);
    r->Name = setup::FixedName(util::Trim(name.substr(0, setup::kNameLength)));
    r->IF.fill(0);
    r->THEN = 0;
    r->Defined = 0;
    const std::string items = nameEnd == std::string::npos ? body : body.substr(nameEnd);
    for (const auto& [p, value] : ReplyItems(items)) {
        if (p == 2) {
            // Terms joined by ":"; a reply with more than the record holds keeps the first 16.
            std::string rest = value;
            for (std::size_t t = 0; t < r->IF.size() && !rest.empty(); ++t)
                r->IF[t] = LongOf(util::SplitFirst(rest, rest, ':'));
        } else if (p == 3) {
            r->THEN = LongOf(value);
        } else if (p == 6) {
            r->Defined = ToInteger(util::LeadingNumber(value));
        }
    }
    return link::kOk;
}

int WriteLogic(link::Link& link, LogicTable& logic, int index) {
    setup::LogicRec* r = logic.Find(index);
    if (!r) return link::kBadData;
    r->Name = setup::FixedName(util::StripChar(r->Name, ','));
    std::string command = "I" + std::to_string(index) + " 1," + r->Name;
    if (r->IF[0] > 0) {
        command += " 2," + std::to_string(r->IF[0]);
        for (std::size_t i = 1; i < r->IF.size() && r->IF[i] > 0; ++i)
            command += ":" + std::to_string(r->IF[i]);
    } else {
        command += " 2,0";
    }
    command += " 3," + std::to_string(r->THEN);
    command += (r->IF[0] == 0 && r->THEN == 0) ? " 6,0" : " 6,1";
    std::string reply = link.SendCommand(command);
    if (link.CommStatus() == link::kOk) return 0;
    if (link.CommStatus() == link::kBadData)
        return kLogicNameRefused + int(util::RoundHalfEven(util::LeadingNumber(reply)));
    return link.CommStatus();
}

bool VerifyLogic(link::Link& link, int index) {
    if (!LogicTable::Valid(index)) return false;
    std::string reply = link.SendCommand("I" + std::to_string(index) + "? 4");
    if (link.CommStatus() != link::kOk || reply.size() <= 2) return false;
    return reply.substr(2) == "1";
}

}  // namespace delvar::commands
