#include "setup/WorkFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "setup/SqliteDb.h"

namespace delvar::setup {

namespace {
namespace fs = std::filesystem;

constexpr const char* kPrefix = "delvar-work-";

std::string ParentOrTemp(const std::string& parent) {
    return parent.empty() ? fs::temp_directory_path().string() : parent;
}

// The folder's own descriptor, locked; -1 when it cannot be opened.
int OpenLocked(const std::string& folder, bool wait) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The descriptor still names the folder at path (a cleaner has not removed it).
bool SameFolder(int fd, const std::string& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}
}  // namespace

void ClearAbandonedWorkFolders(const std::string& parent) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(ParentOrTemp(parent), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0) continue;
        struct stat info {};
        const std::string path = entry.path().string();
        if (::lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::getuid())
            continue;
        const int fd = OpenLocked(path, false);
        if (fd < 0) continue;  // in use by a running operation
        std::error_code ignored;
        if (SameFolder(fd, path)) fs::remove_all(path, ignored);
        ::close(fd);
    }
}

WorkFolder::WorkFolder(const std::string& parent) {
    const std::string base = ParentOrTemp(parent);
    ClearAbandonedWorkFolders(base);
    for (int attempt = 0; attempt < 3 && lock_ < 0; ++attempt) {
        std::string pattern = (fs::path(base) / (std::string(kPrefix) + "XXXXXX")).string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!::mkdtemp(name.data()))
            throw DbError(75, "Cannot make a work folder in " + base + ": " + std::strerror(errno));
        path_ = name.data();
        lock_ = OpenLocked(path_, true);
        // Another process may have taken the new folder for an abandoned one.
        if (lock_ >= 0 && !SameFolder(lock_, path_)) {
            ::close(lock_);
            lock_ = -1;
        }
    }
    if (lock_ < 0) throw DbError(75, "Cannot lock a work folder in " + base);
}

WorkFolder::~WorkFolder() {
    if (!keep_) {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ::close(lock_);
}

std::string WorkFolder::File(const std::string& name) const {
    return (fs::path(path_) / name).string();
}

}  // namespace delvar::setup
