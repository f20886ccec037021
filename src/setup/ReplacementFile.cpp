#include "setup/ReplacementFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "setup/SqliteDb.h"

namespace delvar::setup {

namespace {
namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    const int code = errno;
    throw DbError(code == ENOENT ? kErrFileNotFound : 75,
                  what + " " + path + ": " + std::strerror(code));
}

// Flushes a file or folder to disk; false when that failed.
bool Sync(const std::string& path, bool folder) {
    const int fd = ::open(path.c_str(), folder ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

std::string FolderOf(const std::string& path) {
    fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
}  // namespace

ReplacementFile::ReplacementFile(const std::string& target) : target_(target) {
    std::string pattern =
        (fs::path(FolderOf(target)) / ("." + fs::path(target).filename().string() + ".XXXXXX"))
            .string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) Fail("Cannot create a file beside", target);
    ::close(fd);
    temp_ = name.data();
}

ReplacementFile::~ReplacementFile() {
    if (committed_) return;
    std::remove(temp_.c_str());
    std::remove((temp_ + "-journal").c_str());
}

void ReplacementFile::CopyFrom(const std::string& source) {
    const int in = ::open(source.c_str(), O_RDONLY);
    if (in < 0) Fail("Cannot read", source);
    const int out = ::open(temp_.c_str(), O_WRONLY | O_TRUNC);
    if (out < 0) {
        ::close(in);
        Fail("Cannot write", temp_);
    }
    char buffer[1 << 16];
    ssize_t got = 0;
    bool ok = true;
    while (ok && (got = ::read(in, buffer, sizeof buffer)) != 0) {
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        for (ssize_t done = 0; ok && done < got;) {
            const ssize_t put = ::write(out, buffer + done, std::size_t(got - done));
            if (put < 0 && errno != EINTR) ok = false;
            if (put > 0) done += put;
        }
    }
    const int saved = errno;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    errno = saved;
    if (!ok) Fail("Cannot copy", source);
}

void ReplacementFile::Commit() {
    struct stat old {};
    const mode_t mode = ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
    if (::chmod(temp_.c_str(), mode) != 0) Fail("Cannot set permissions of", temp_);
    if (!Sync(temp_, false)) Fail("Cannot flush", temp_);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("Cannot replace", target_);
    committed_ = true;
    // The rename is done; a folder that cannot be flushed does not undo it.
    Sync(FolderOf(target_), true);
}

}  // namespace delvar::setup
