// The XSTART/XSTOP bracket of a transfer step when the lock's own reply goes wrong.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

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
    int damagedLocks = 0;  // so many XSTART replies come back with a wrong check byte

    LockRig() {
        link.MutableInfo().Online = true;
        link.MutableInfo().ChannelCount = 4;
        setup::ResetSetupData(*data);
        tcp.onSend = [this](const Bytes& frame) {
            sent.push_back(CommandOf(frame));
            const bool lock = sent.back() == "XSTART";
            if (lock && damagedLocks > 0) {
                --damagedLocks;
                Bytes reply = link::BuildReplyFrame('A', "");
                reply.back() ^= 0x01;
                tcp.Deliver(reply);
                return;
            }
            const char status = lock ? lockReply : 'A';
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

// A window's transfer makes a lock whose reply came back damaged again, after
// releasing it; the CLI (no damage retries) gives up as before.
TEST(BatchLock, AWindowTransferMakesADamagedLockAgainAfterReleasingIt) {
    for (bool window : {false, true}) {
        LockRig r;
        r.lockReply = 'A';
        r.damagedLocks = 1;
        std::optional<link::RepeatDamagedReplies> repeat;
        if (window) repeat.emplace(r.link);
        const int status = r.transfer.RunUploadStep(transfer::kStepSystem);
        ASSERT_GE(r.sent.size(), 2u);
        EXPECT_EQ(std::vector<std::string>(r.sent.begin(), r.sent.begin() + 2),
                  (std::vector<std::string>{"XSTART", "XSTOP"}))
            << "the damaged lock is released first";
        if (window) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(r.sent[2], "XSTART");
            EXPECT_EQ(r.sent.back(), "XSTOP");
            EXPECT_TRUE(r.dialogs.Texts().empty()) << r.dialogs.LastText();
        } else {
            EXPECT_EQ(status, link::kReceiveCrcError);
            EXPECT_EQ(r.sent.size(), 2u);
            EXPECT_EQ(r.dialogs.LastText(), "Error: Batch Upload Lock");
        }
    }
}

}  // namespace
}  // namespace delvar::testing
