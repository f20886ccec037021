// Writing the whole contents of a small file (the settings file) so that a failed
// write never leaves half a file behind, and the file stays what it was: a symbolic
// link stays a link, the file keeps its mode and owner.
#pragma once

#include <functional>
#include <string>

namespace delvar::app {

enum class WriteOutcome {
    kReplaced,  // written to a temporary file beside the target and renamed over it
    kInPlace,   // no temporary file could be made there: written into the file itself
    kFailed,    // nothing written
};

// Makes and opens a new file from pattern (ending in "XXXXXX", replaced by the name
// made): its descriptor, or -1 with errno set. The program uses mkstemp.
using TempFileMaker = std::function<int(std::string& pattern)>;

int MakeTempFile(std::string& pattern);

// Writes text as the new contents of path, through symbolic links to their target.
WriteOutcome WriteWholeFile(const std::string& path, const std::string& text,
                            const TempFileMaker& makeTemp = MakeTempFile);

}  // namespace delvar::app
