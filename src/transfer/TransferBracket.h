// The XSTART/XSTOP bracket around a transfer. An XSTART whose reply was lost or
// damaged may still have reached the instrument, which would then stay in transfer
// mode and refuse every run command, so it is released with XSTOP. In a window's
// transfer (while the link repeats damaged replies) a lock or a release whose reply
// came back damaged is made again: a damaged lock is released first, so the
// instrument never gets two XSTARTs in a row; a release may go twice without harm.
#pragma once

#include "link/Link.h"

namespace delvar::transfer {

// XSTART; 0, or the status of the failed lock (then released when it may have been taken).
int LockForTransfer(link::Link& link);
// XSTOP; 0 or the failing status.
int ReleaseTransfer(link::Link& link);

}  // namespace delvar::transfer
