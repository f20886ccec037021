// A file that replaces another only when it is complete: written beside the target
// under a temporary name, flushed to disk, then renamed over the target in one step.
// Until Commit() the target is untouched; an abandoned replacement is removed.
#pragma once

#include <string>

namespace delvar::setup {

class ReplacementFile {
  public:
    // Creates the empty temporary file in the target's folder. Throws DbError.
    explicit ReplacementFile(const std::string& target);
    ~ReplacementFile();  // removes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    const std::string& Path() const { return temp_; }
    // Fills the temporary file with a byte copy of source. Throws DbError.
    void CopyFrom(const std::string& source);
    // Flushes the temporary file, gives it the target's permissions (or the usual
    // ones for a new file), renames it over the target and flushes the folder.
    void Commit();

  private:
    std::string target_;
    std::string temp_;
    bool committed_ = false;
};

}  // namespace delvar::setup
