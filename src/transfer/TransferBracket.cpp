#include "transfer/TransferBracket.h"

#include "commands/modCommProcess.h"
#include "link/LinkState.h"

namespace delvar::transfer {

namespace {
bool Damaged(int status) {
    return status == link::kReceiveCrcError || status == link::kTransmitCrcError;
}
}  // namespace

int LockForTransfer(link::Link& link) {
    for (int again = link.DamageRetries();; --again) {
        if (commands::BeginTransfer(link) == 0) return 0;
        // A refusal ("Bad Mode" while a process runs) took no lock and is left alone.
        const int status = link.CommStatus();
        if (status != link::kTimeout && !Damaged(status)) return status;
        commands::EndTransfer(link);
        link.SetCommStatus(status);
        if (!Damaged(status) || again <= 0) return status;
    }
}

int ReleaseTransfer(link::Link& link) {
    for (int again = link.DamageRetries();; --again) {
        if (commands::EndTransfer(link) == 0) return 0;
        const int status = link.CommStatus();
        if (!Damaged(status) || again <= 0) return status;
    }
}

}  // namespace delvar::transfer
