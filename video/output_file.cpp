#include "output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <string_view>

namespace murtesk::video {

namespace {

constexpr std::size_t kSuffixDigits = 12;

bool IsTemporaryOf(std::string_view name, std::string_view target) {
    if (name.size() != target.size() + 2 + kSuffixDigits || !name.starts_with(target)) return false;
    name.remove_prefix(target.size());
    if (!name.starts_with(".~")) return false;
    name.remove_prefix(2);
    return std::all_of(name.begin(), name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Whether the descriptor and the name in the folder are still the same file.
bool SameFile(int folder, const char* name, int fd) {
    struct stat byName {};
    struct stat byFd {};
    return ::fstatat(folder, name, &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
           byName.st_dev == byFd.st_dev && byName.st_ino == byFd.st_ino;
}

// Removes the regular files named as the temporary files of `target` whose lock is free (see output_file.h).
void RemoveAbandoned(const std::string& target) {
    const std::size_t slash = target.find_last_of('/');
    const std::string folderPath = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return;
    DIR* folder = ::opendir(folderPath.c_str());
    if (!folder) return;
    const int dir = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        if (!IsTemporaryOf(entry->d_name, name)) continue;
        const int fd = ::openat(dir, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            SameFile(dir, entry->d_name, fd))
            ::unlinkat(dir, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(folder);
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Create(const std::string& target) {
    Discard();
    // A folder or a device of that name is no output: the rename would put a file in its place.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
    RemoveAbandoned(target);
    target_ = target;
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".~%0*llx", static_cast<int>(kSuffixDigits),
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const std::string candidate = target + suffix;
        const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST) return false;
            continue;
        }
        // Another call's clean-up may have taken the new file for an abandoned one between the open and the lock:
        // it holds the lock or has removed the file, and another name is tried. A file system without locks
        // keeps the file unlocked (no clean-up can take its lock either).
        const bool ours = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (ours && SameFile(AT_FDCWD, candidate.c_str(), fd)) {
            fd_ = fd;
            temporary_ = candidate;
            return true;
        }
        ::close(fd);
    }
    return false;
}

std::optional<std::uint64_t> OutputFile::FreeBytes() const {
    struct statvfs fs {};
    if (fd_ < 0 || ::fstatvfs(fd_, &fs) != 0) return std::nullopt;
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<std::uint64_t>(fs.f_bavail), static_cast<std::uint64_t>(fs.f_frsize),
                               &bytes))
        return UINT64_MAX;
    return bytes;
}

bool OutputFile::Commit() {
    if (temporary_.empty()) return false;
    // Renamed before it is closed, so that the lock keeps other calls' clean-up off the finished file.
    const bool synced = fd_ < 0 || ::fdatasync(fd_) == 0;
    if (!synced || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return true;
}

void OutputFile::Discard() {
    // Removed before the lock goes with the descriptor: the name may be another writer's by then.
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace murtesk::video
