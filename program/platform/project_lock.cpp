#include "project_lock.h"

#include "dates.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>
#include <utility>

namespace murtesk::platform {

namespace {

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::string HostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string HolderText() {
    return "pid " + std::to_string(::getpid()) + "\nhost " + HostName() + "\nsince " + FormatDisplayDate(Now()) + "\n";
}

bool WriteHolder(int fd) {
    const std::string text = HolderText();
    if (::ftruncate(fd, 0) != 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The holder a lock file names: lines "pid <number>", "host <name>", "since <date>".
ProjectHolder ReadHolder(int fd) {
    char buffer[4096];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    ProjectHolder holder;
    std::string_view text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, space);
        const std::string value(line.substr(space + 1));
        if (key == "pid") {
            std::int64_t pid = 0;
            for (const char c : value) {
                if (c < '0' || c > '9' || pid > INT32_MAX) {
                    pid = 0;
                    break;
                }
                pid = pid * 10 + (c - '0');
            }
            holder.pid = pid;
        } else if (key == "host") {
            holder.host = value;
        } else if (key == "since") {
            holder.since = value;
        }
    }
    return holder;
}

}  // namespace

std::string ProjectLockPath(const std::string& projectPath) { return projectPath + ".lock"; }

ProjectLock::ProjectLock(const std::string& projectPath)
    : projectPath_(projectPath), lockPath_(ProjectLockPath(projectPath)), state_(State::kUnusable) {
    // A few tries: each one that fails found a lock file its holder deleted as it let go.
    for (int attempt = 0; attempt < 20; ++attempt) {
        constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
        const bool writable = fd >= 0;
        // A folder that cannot be written may still hold the lock file of a holder.
        if (fd < 0) fd = ::open(lockPath_.c_str(), O_RDONLY | kFlags);
        if (fd < 0) return;
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            ::close(fd);
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                holder_ = ReadHolder(fd);
                state_ = State::kTaken;
            }
            ::close(fd);
            return;
        }
        struct stat named {};
        if (::stat(lockPath_.c_str(), &named) != 0 || !SameFile(opened, named)) {
            ::close(fd);
            continue;
        }
        if (!writable || !WriteHolder(fd)) {
            ::close(fd);
            return;
        }
        fd_ = fd;
        state_ = State::kHeld;
        return;
    }
}

ProjectLock::ProjectLock(ProjectLock&& other) noexcept
    : projectPath_(std::move(other.projectPath_)),
      lockPath_(std::move(other.lockPath_)),
      fd_(std::exchange(other.fd_, -1)),
      state_(std::exchange(other.state_, State::kNone)),
      holder_(std::move(other.holder_)) {}

ProjectLock& ProjectLock::operator=(ProjectLock&& other) noexcept {
    if (this != &other) {
        Release();
        projectPath_ = std::move(other.projectPath_);
        lockPath_ = std::move(other.lockPath_);
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::kNone);
        holder_ = std::move(other.holder_);
    }
    return *this;
}

void ProjectLock::Release() {
    if (fd_ >= 0) {
        // Deleted while still held: a program that opened the file meanwhile finds, once it has the
        // lock, that the name no longer leads to its file, and tries again.
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd_, &opened) == 0 && ::lstat(lockPath_.c_str(), &named) == 0 && SameFile(opened, named)) {
            ::unlink(lockPath_.c_str());
        }
        ::close(fd_);
        fd_ = -1;
    }
    state_ = State::kNone;
}

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::int64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
                     static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

}  // namespace murtesk::platform
