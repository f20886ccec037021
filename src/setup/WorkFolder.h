// A private folder for the work files of one operation (a save, an upgrade, a
// transfer): made with mkdtemp under a parent folder, so no other user or process can
// guess or share its files, and removed with everything in it when the operation
// ends. While it exists its owner holds a lock on it; the folders of a process that
// was killed are no longer locked, and the next WorkFolder made under the same parent
// removes them.
#pragma once

#include <string>

namespace delvar::setup {

class WorkFolder {
  public:
    // parent empty: the system's temporary folder. Throws DbError.
    explicit WorkFolder(const std::string& parent = "");
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const;
    // Leaves the folder in place (it holds the only copy of something the user needs).
    void Keep() { keep_ = true; }

  private:
    std::string path_;
    int lock_ = -1;
    bool keep_ = false;
};

// Removes the work folders under parent whose owner is gone.
void ClearAbandonedWorkFolders(const std::string& parent);

}  // namespace delvar::setup
