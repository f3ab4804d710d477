#include "project_lock.h"

#include "atomic_file.h"
#include "dates.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace murtesk::platform {

namespace {

constexpr const char* kLockSuffix = ".lock";
constexpr int kOpenFlags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

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

ProjectLock::Problem ProblemOf(int error) {
    switch (error) {
    case EROFS: return ProjectLock::Problem::kReadOnly;
    case EACCES:
    case EPERM: return ProjectLock::Problem::kNoPermission;
    case ENOSPC:
    case EDQUOT: return ProjectLock::Problem::kNoSpace;
    case ELOOP:   // a symbolic link, which O_NOFOLLOW refuses
    case EISDIR:  // a folder
        return ProjectLock::Problem::kLockNotAFile;
    case ENOLCK:
    case EOPNOTSUPP:
    case ENOSYS:
    case EINVAL: return ProjectLock::Problem::kNoLocks;
    default: return ProjectLock::Problem::kOther;
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// `path` with every symbolic link resolved; for a name with no file behind it (a project still to be
// made, a link to nothing) its folder resolved and the name kept. Unchanged when even the folder
// cannot be resolved.
std::string Resolved(const std::string& path) {
    if (char* full = ::realpath(path.c_str(), nullptr)) {
        std::string resolved(full);
        std::free(full);
        return resolved;
    }
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char* folder = ::realpath(FolderOf(path).c_str(), nullptr);
    if (folder == nullptr || name.empty()) {
        std::free(folder);
        return path;
    }
    std::string resolved(folder);
    std::free(folder);
    return (resolved == "/" ? std::string() : resolved) + "/" + name;
}

// Takes the lock of the regular file at `path` (the project file itself). -1 when it cannot, with
// `taken` true when another open file holds it, and `error` 0 when there is no regular file to lock
// there (none yet, or one this program cannot open, whose read then fails) or else why flock failed.
// A file system that locks only files open for writing (NFS) is asked again with the file open for
// writing.
int LockedFile(const std::string& path, bool& taken, int& error) {
    taken = false;
    error = 0;
    int fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    error = errno;
    ::close(fd);
    taken = error == EWOULDBLOCK;
    if (taken) return -1;
    fd = ::open(path.c_str(), O_RDWR | kOpenFlags);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
    error = errno;
    taken = error == EWOULDBLOCK;
    ::close(fd);
    return -1;
}

bool Alive(std::int64_t pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// The holder of the project file `project` under another name of `folder`: the lock file of a name
// that leads to the same file and names a holder that may be alive (a dead one's file is left when
// it was killed). The lock file `own`, which the caller holds and has written its own name into, is
// passed over. Nobody when no such lock file is found.
ProjectHolder HolderUnderAnotherName(const std::string& folder, const struct stat& project, const struct stat& own) {
    ProjectHolder found;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return found;
    const int dirFd = ::dirfd(dir);
    const std::string host = HostName();
    const std::string_view suffix(kLockSuffix);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= suffix.size() || !name.ends_with(suffix)) continue;
        const std::string projectName(name.substr(0, name.size() - suffix.size()));
        struct stat other {};
        if (::fstatat(dirFd, projectName.c_str(), &other, 0) != 0 || !SameFile(other, project)) continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | kOpenFlags);
        if (fd < 0) continue;
        struct stat st {};
        ProjectHolder holder;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && !SameFile(st, own)) holder = ReadHolder(fd);
        ::close(fd);
        if (holder.pid > 0 && (holder.host != host || Alive(holder.pid))) {
            found = holder;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// The names in `folder` of the regular file `file` (its hard links there); symbolic links are not
// followed.
std::vector<std::string> NamesOf(const std::string& folder, const struct stat& file) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return names;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            SameFile(st, file)) {
            names.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

// Takes the lock file `lockPath`: its descriptor, or -1 with `state` and `problem` (and `holder`
// when another program holds it) saying why.
int TakeLockFile(const std::string& lockPath, ProjectLock::State& state, ProjectLock::Problem& problem,
                 ProjectHolder& holder) {
    using State = ProjectLock::State;
    using Problem = ProjectLock::Problem;
    state = State::kUnusable;
    problem = Problem::kOther;
    // A few tries: each one that fails found a lock file its holder deleted as it let go.
    for (int attempt = 0; attempt < 20; ++attempt) {
        // Never through a link: a lock file that is not our own regular file is never written.
        int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | kOpenFlags, 0666);
        const int createError = fd >= 0 ? 0 : errno;
        // A folder that cannot be written may still hold the lock file of a holder.
        if (fd < 0) fd = ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | kOpenFlags);
        if (fd < 0) {
            problem = ProblemOf(errno == ELOOP ? ELOOP : createError);
            return -1;
        }
        struct stat opened {};
        if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            problem = S_ISREG(opened.st_mode) ? ProblemOf(errno) : Problem::kLockNotAFile;
            ::close(fd);
            return -1;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                holder = ReadHolder(fd);
                state = State::kTaken;
                problem = Problem::kNone;
            } else {
                problem = createError != 0 ? ProblemOf(createError) : Problem::kNoLocks;
            }
            ::close(fd);
            return -1;
        }
        struct stat named {};
        if (::lstat(lockPath.c_str(), &named) != 0 || !SameFile(opened, named)) {
            ::close(fd);
            continue;
        }
        if (createError != 0) {
            problem = ProblemOf(createError);
            ::close(fd);
            return -1;
        }
        // On a full disk the lock holds without naming its holder; never with half a name.
        if (!WriteHolder(fd) && ::ftruncate(fd, 0) != 0) {
            problem = ProblemOf(errno);
            ::unlink(lockPath.c_str());
            ::close(fd);
            return -1;
        }
        state = State::kHeld;
        problem = Problem::kNone;
        return fd;
    }
    return -1;
}

// Deletes the lock file `lockPath` when it is still the file `fd` holds, and closes `fd`. Deleted
// while still held: a program that opened the file meanwhile finds, once it has the lock, that the
// name no longer leads to its file, and tries again.
void DropLockFile(const std::string& lockPath, int& fd) {
    if (fd < 0) return;
    struct stat opened {};
    struct stat named {};
    if (::fstat(fd, &opened) == 0 && ::lstat(lockPath.c_str(), &named) == 0 && SameFile(opened, named)) {
        ::unlink(lockPath.c_str());
    }
    CloseFd(fd);
}

}  // namespace

std::string FileBehindLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* full = ::realpath(path.c_str(), nullptr);
    if (full == nullptr) return path;
    std::string resolved(full);
    std::free(full);
    return resolved;
}

std::string ProjectLockPath(const std::string& projectPath) { return Resolved(projectPath) + kLockSuffix; }

ProjectLock::ProjectLock(const std::string& projectPath)
    : projectPath_(projectPath), lockPath_(ProjectLockPath(projectPath)) {
    fd_ = TakeLockFile(lockPath_, state_, problem_, holder_);
    if (fd_ < 0) return;
    // The project file itself, so that its other names (hard links) find it held. A project still
    // to be written has none yet: FollowFile locks it once written.
    bool taken = false;
    int error = 0;
    projectFd_ = LockedFile(projectPath_, taken, error);
    if (projectFd_ >= 0 || error == 0) return;
    struct stat project {};
    struct stat own {};
    if (taken) {
        state_ = State::kTaken;
        if (::stat(projectPath_.c_str(), &project) == 0 && ::fstat(fd_, &own) == 0) {
            holder_ = HolderUnderAnotherName(FolderOf(lockPath_), project, own);
        }
    } else {
        state_ = State::kUnusable;
        problem_ = Problem::kNoLocks;
    }
    DropLockFile(lockPath_, fd_);
}

ProjectLock::ProjectLock(ProjectLock&& other) noexcept
    : projectPath_(std::move(other.projectPath_)),
      lockPath_(std::move(other.lockPath_)),
      fd_(std::exchange(other.fd_, -1)),
      projectFd_(std::exchange(other.projectFd_, -1)),
      state_(std::exchange(other.state_, State::kNone)),
      problem_(std::exchange(other.problem_, Problem::kNone)),
      holder_(std::move(other.holder_)) {}

ProjectLock& ProjectLock::operator=(ProjectLock&& other) noexcept {
    if (this != &other) {
        Release();
        projectPath_ = std::move(other.projectPath_);
        lockPath_ = std::move(other.lockPath_);
        fd_ = std::exchange(other.fd_, -1);
        projectFd_ = std::exchange(other.projectFd_, -1);
        state_ = std::exchange(other.state_, State::kNone);
        problem_ = std::exchange(other.problem_, Problem::kNone);
        holder_ = std::move(other.holder_);
    }
    return *this;
}

bool ProjectLock::Covers(const std::string& projectPath) const {
    if (state_ != State::kHeld) return false;
    struct stat mine {};
    struct stat named {};
    if (::fstat(fd_, &mine) == 0 && ::lstat(ProjectLockPath(projectPath).c_str(), &named) == 0 &&
        SameFile(mine, named)) {
        return true;
    }
    return projectFd_ >= 0 && ::fstat(projectFd_, &mine) == 0 && ::stat(projectPath.c_str(), &named) == 0 &&
           SameFile(mine, named);
}

void ProjectLock::FollowFile(const std::string& projectPath) { Follow(projectPath, false); }

void ProjectLock::FollowSavedFile(const std::string& projectPath) { Follow(projectPath, true); }

void ProjectLock::Follow(const std::string& projectPath, bool giveNames) {
    if (state_ != State::kHeld) return;
    struct stat locked {};
    struct stat now {};
    if (projectFd_ >= 0 && ::fstat(projectFd_, &locked) == 0 && ::stat(projectPath.c_str(), &now) == 0 &&
        SameFile(locked, now)) {
        return;
    }
    bool taken = false;
    int error = 0;
    const int fd = LockedFile(projectPath, taken, error);
    // The replaced file's other names beside the project (hard links) are made names of the new file:
    // left to the replaced one, each would open as a second project of the folder naming the same
    // statistics files, whose saves delete what this one still names. Names in other folders keep the
    // file they name.
    if (giveNames && projectFd_ >= 0 && locked.st_nlink > 0) {
        const std::string folder = FolderOf(projectPath);
        for (const std::string& name : NamesOf(folder, locked)) {
            LinkInPlaceOf(projectPath, folder + "/" + name);  // where it fails the name keeps the replaced file
        }
    }
    if (fd < 0) return;
    CloseFd(projectFd_);
    projectFd_ = fd;
}

bool ProjectLock::MoveTo(const std::string& projectPath) {
    if (state_ != State::kHeld) return false;
    const std::string lockPath = ProjectLockPath(projectPath);
    if (lockPath != lockPath_) {
        State state = State::kNone;
        Problem problem = Problem::kNone;
        ProjectHolder holder;
        const int fd = TakeLockFile(lockPath, state, problem, holder);
        if (fd < 0) return false;
        DropLockFile(lockPath_, fd_);
        fd_ = fd;
        lockPath_ = lockPath;
    }
    projectPath_ = projectPath;
    return true;
}

void ProjectLock::Release() {
    DropLockFile(lockPath_, fd_);
    CloseFd(projectFd_);
    state_ = State::kNone;
    problem_ = Problem::kNone;
}

namespace {

FileStamp StampOfStat(const struct stat& st) {
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    stamp.changedSeconds = static_cast<std::int64_t>(st.st_ctim.tv_sec);
    stamp.changedNanoseconds = static_cast<std::int64_t>(st.st_ctim.tv_nsec);
    return stamp;
}

// Every byte of the file `fd` from its start; false when a read failed.
bool ReadAll(int fd, std::string& bytes) {
    bytes.clear();
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
}

// A bijection of 64-bit words: a change confined to one word of the bytes always changes the hash.
std::uint64_t Mix(std::uint64_t x) {
    x *= 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 32;
    return x;
}

std::uint64_t HashOf(std::string_view bytes) {
    std::uint64_t hash = 0x243F6A8885A308D3ull;
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, std::min<std::size_t>(8, bytes.size() - i));
        hash = Mix(hash ^ word);
    }
    return Mix(hash ^ static_cast<std::uint64_t>(bytes.size()));
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0) return std::nullopt;
    std::optional<FileStamp> stamp;
    std::string bytes;
    // Read again while the file changes under the read; a file that never holds still gets the
    // stamp of a version it never had, which the next comparison takes for a change.
    for (int attempt = 0; attempt < 4; ++attempt) {
        struct stat before {};
        struct stat after {};
        if (::fstat(fd, &before) != 0 || !S_ISREG(before.st_mode) || !ReadAll(fd, bytes) || ::fstat(fd, &after) != 0) {
            stamp.reset();
            break;
        }
        stamp = StampOfStat(before);
        stamp->contentHash = HashOf(bytes);
        if (StampOfStat(after) == StampOfStat(before)) break;
    }
    ::close(fd);
    return stamp;
}

bool Unchanged(const FileStamp& known, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    FileStamp now = StampOfStat(st);
    now.contentHash = known.contentHash;
    if (now == known) return true;
    if (now.size != known.size) return false;
    const std::optional<FileStamp> read = StampOf(path);
    return read && read->size == known.size && read->contentHash == known.contentHash;
}

}  // namespace murtesk::platform
