// The XSTART/XSTOP bracket of a transfer step when the lock's own reply goes wrong.
#include <gtest/gtest.h>

#include <memory>

#include "link/Frame.h"
#include "support/LinkRig.h"
#include "support/ScriptedDialogs.h"
#include "transfer/BatchTransfer.h"

namespace delvar::testing {
namespace {

// The instrument takes every command; its reply to XSTART comes back as `lockReply`
// (0: lost on the line). Every other reply is a plain "A".
struct LockRig : LinkRig {
    ScriptedDialogs dialogs;
    setup::NoProgress progress;
    std::unique_ptr<setup::SetupData> data = std::make_unique<setup::SetupData>();
    transfer::TransferState state;
    transfer::BatchTransfer transfer{link, dialogs, progress, *data, state};
    std::vector<std::string> sent;
    char lockReply = 0;

    LockRig() {
        link.MutableInfo().Online = true;
        link.MutableInfo().ChannelCount = 4;
        setup::ResetSetupData(*data);
        tcp.onSend = [this](const Bytes& frame) {
            sent.push_back(CommandOf(frame));
            const char status = sent.back() == "XSTART" ? lockReply : 'A';
            if (status != 0) tcp.Deliver(link::BuildReplyFrame(status, ""));
        };
    }
};

TEST(BatchLock, AnUnansweredLockIsReleasedAndARefusedOneIsNot) {
    const struct {
        char lockReply;
        int status;
        bool released;
    } cases[] = {{0, link::kTimeout, true}, {'E', link::kBadMode, false}};
    for (const auto& c : cases) {
        for (bool upload : {true, false}) {
            LockRig r;
            r.lockReply = c.lockReply;
            const int status = upload ? r.transfer.RunUploadStep(transfer::kStepSystem)
                                      : r.transfer.RunDownloadStep(transfer::kStepSystem);
            EXPECT_EQ(status, c.status) << c.lockReply << upload;
            // Nothing of the step itself is sent without the lock.
            const std::vector<std::string> expected =
                c.released ? std::vector<std::string>{"XSTART", "XSTOP"}
                           : std::vector<std::string>{"XSTART"};
            EXPECT_EQ(r.sent, expected) << c.lockReply << upload;
            EXPECT_EQ(r.link.CommStatus(), c.status) << "the lock's status stands";
            EXPECT_EQ(r.dialogs.LastText(),
                      upload ? "Error: Batch Upload Lock" : "Error: Batch Download Lock");
        }
    }
}

}  // namespace
}  // namespace delvar::testing
