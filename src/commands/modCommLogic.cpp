#include "commands/modCommLogic.h"

#include <algorithm>
#include <climits>

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
    std::string rest = reply;
    util::SplitFirst(rest, rest, ',');                               // "1"
    r->Name = setup::FixedName(rest.substr(0, setup::kNameLength));  // may hold blanks
    r->IF.fill(0);
    util::SplitFirst(rest, rest, ',');  // the name and the "2"
    // Terms joined by ":"; a reply with more than the record holds keeps the first 16.
    std::size_t terms = 0;
    while (rest.find(':') != std::string::npos) {
        std::string term = util::SplitFirst(rest, rest, ':');
        if (terms < r->IF.size()) r->IF[terms] = LongOf(term);
        ++terms;
    }
    std::string last = util::SplitFirst(rest, rest, ' ');
    if (terms < r->IF.size()) r->IF[terms] = LongOf(last);
    util::SplitFirst(rest, rest, ',');  // "3"
    r->THEN = LongOf(util::SplitFirst(rest, rest, ' '));
    for (int skip = 0; skip < 2; ++skip) {  // parameters 4 and 5
        util::SplitFirst(rest, rest, ',');
        util::SplitFirst(rest, rest, ' ');
    }
    util::SplitFirst(rest, rest, ',');  // "6"
    r->Defined = static_cast<std::int16_t>(LongOf(util::SplitFirst(rest, rest, ',')));
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
