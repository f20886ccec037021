#include "app/FileReplace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace delvar::app {

namespace {

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a path names after following its symbolic links (a link to nothing yet
// names the file it would point to); the path itself when that cannot be told.
std::string Target(const std::string& path) {
    constexpr int kMaxLinks = 40;  // as the system allows; more is a loop
    fs::path p(path);
    std::error_code ec;
    for (int i = 0; i < kMaxLinks && fs::is_symlink(p, ec); ++i) {
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) return path;
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    return p.string();
}

WriteOutcome WriteInPlace(const std::string& target, const std::string& text) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return WriteOutcome::kFailed;
    // Cut to the new length only after the new text is in.
    bool ok = WriteAll(fd, text) && ::ftruncate(fd, static_cast<off_t>(text.size())) == 0;
    ok = ::close(fd) == 0 && ok;
    return ok ? WriteOutcome::kInPlace : WriteOutcome::kFailed;
}

}  // namespace

int MakeTempFile(std::string& pattern) {
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

WriteOutcome WriteWholeFile(const std::string& path, const std::string& text,
                            const TempFileMaker& makeTemp) {
    const std::string target = Target(path);
    struct stat was {};
    const bool existed = ::stat(target.c_str(), &was) == 0;

    std::string temp = target + ".XXXXXX";
    const int fd = makeTemp(temp);
    if (fd < 0) return WriteInPlace(target, text);  // e.g. the folder cannot be written
    if (existed) {
        (void)::fchown(fd, was.st_uid, was.st_gid);  // only root may; the mode matters more
        (void)::fchmod(fd, was.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        (void)::fchmod(fd, 0666 & ~mask);  // as a file made by open() would be
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return WriteOutcome::kReplaced;
    ::unlink(temp.c_str());
    // A full disk fails in place as well, and would cut the file; a rename refused
    // (a file that is a mount point) can still be written into.
    return ok ? WriteInPlace(target, text) : WriteOutcome::kFailed;
}

}  // namespace delvar::app
