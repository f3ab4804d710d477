#include "atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string_view>


namespace murtesk::platform {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The result of a flush to the disk: EINVAL says the file system has no flush for that kind of file (some
// network and user-space file systems for folders), and nothing more can be done there.
bool Flushed(int result) { return result == 0 || errno == EINVAL; }

// Makes renames and new names in `folder` durable.
bool SyncFolder(int folder) { return Flushed(::fsync(folder)); }

bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = SyncFolder(fd);
    return ::close(fd) == 0 && synced;
}

constexpr std::size_t kSuffixDigits = 12;

// The temporary name of `path` with its random part: path & ".~" & 12 lower-case hexadecimal digits.
std::string TemporaryName(const std::string& path, std::uint64_t random) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".~%0*llx", static_cast<int>(kSuffixDigits),
                  static_cast<unsigned long long>(random & 0xFFFFFFFFFFFFull));
    return path + suffix;
}

bool IsTemporaryNameOf(std::string_view name, std::string_view target) {
    if (name.size() != target.size() + 2 + kSuffixDigits || !name.starts_with(target)) return false;
    name.remove_prefix(target.size());
    if (!name.starts_with(".~")) return false;
    name.remove_prefix(2);
    return std::all_of(name.begin(), name.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Whether the descriptor and the name in the folder are still the same file.
bool SameFile(int folder, const char* name, int fd) {
    struct stat byName {};
    struct stat byFd {};
    return ::fstatat(folder, name, &byName, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &byFd) == 0 &&
           byName.st_dev == byFd.st_dev && byName.st_ino == byFd.st_ino;
}

// Removes the temporary file `name` of `folder` when it is a regular file whose lock is free (and,
// with `emptyOnly`, that holds nothing); true when a live writer holds it. A file system without
// locks shows nobody's lock, and nothing is removed there.
bool RemoveUnlessLive(int folder, const char* name, bool emptyOnly = false) {
    const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool live = false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // Removed while the lock is held here: a writer that has just made the file finds its
            // name gone once it has the lock, and takes another (Open, CreateNewFile).
            if (SameFile(folder, name, fd) && (!emptyOnly || (::fstat(fd, &st) == 0 && st.st_size == 0)))
                ::unlinkat(folder, name, 0);
        } else {
            live = errno == EWOULDBLOCK;
        }
    }
    ::close(fd);
    return live;
}

}  // namespace

void RemoveLeftoverTemporaries(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string target = slash == std::string::npos ? path : path.substr(slash + 1);
    if (target.empty()) return;
    DIR* folder = ::opendir(FolderOf(path).c_str());
    if (folder == nullptr) return;
    const int fd = ::dirfd(folder);
    const std::size_t outerSize = target.size() + 2 + kSuffixDigits;
    std::vector<std::string> outer;
    std::vector<std::string> inner;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (IsTemporaryNameOf(name, target)) {
            outer.emplace_back(name);
        } else if (name.size() > outerSize && IsTemporaryNameOf(name.substr(0, outerSize), target) &&
                   IsTemporaryNameOf(name, name.substr(0, outerSize))) {
            inner.emplace_back(name);
        }
    }
    std::vector<std::string> live;
    for (const std::string& name : outer) {
        if (RemoveUnlessLive(fd, name.c_str())) live.push_back(name);
    }
    // A library writes a temporary file of its own beside the one it was given, while that one's
    // writer holds its lock.
    for (const std::string& name : inner) {
        struct stat st {};
        if (std::find(live.begin(), live.end(), name.substr(0, outerSize)) == live.end() &&
            ::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(fd, name.c_str(), 0);
    }
    ::closedir(folder);
}

AtomicFileWriter::AtomicFileWriter(std::string path, Durability durability)
    : path_(std::move(path)), durability_(durability) {}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

bool AtomicFileWriter::Open() {
    Discard();
    committed_ = false;
    RemoveLeftoverTemporaries(path_);
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = TemporaryName(path_, random());
        // 0666 less the umask, as any newly created file; an existing target keeps its own mode.
        mode_t mode = 0666;
        struct stat existing {};
        if (::stat(path_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) mode = existing.st_mode & 07777;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        // Another writer's clean-up may have taken the new file for an abandoned one before the lock:
        // it holds the lock, or has removed the file, and another name is tried.
        const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
        if (!locked || !SameFile(AT_FDCWD, candidate.c_str(), fd)) {
            ::close(fd);
            continue;
        }
        // The lock goes with the last descriptor of the file: this one keeps it after the file is closed.
        lock_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (lock_ < 0 || (mode != 0666 && ::fchmod(fd, mode) != 0)) {
            ::unlink(candidate.c_str());
            ::close(fd);
            Discard();
            return false;
        }
        temporary_ = candidate;
        if (!file_.AdoptForWriting(fd)) {
            Discard();
            return false;
        }
        return true;
    }
    return false;
}

bool AtomicFileWriter::Commit() {
    if (temporary_.empty() || committed_) return false;
    const bool synced = durability_ == Durability::kSynced;
    const bool written = !file_.failed() && file_.Flush(synced);
    const bool closed = file_.Close();
    if (!written || !closed) errno = EIO;
    // Renamed while the lock is held, so that no clean-up takes the finished file for an abandoned one.
    if (!written || !closed || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int cause = errno;
        Discard();
        errno = cause;
        return false;
    }
    temporary_.clear();
    committed_ = true;
    Discard();
    if (synced && !SyncFolder(FolderOf(path_))) {
        errno = EIO;
        return false;
    }
    return true;
}

void AtomicFileWriter::Discard() {
    file_.Close();
    // Removed before the lock goes: the name may be another writer's once it is free.
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
    if (lock_ >= 0) {
        ::close(lock_);
        lock_ = -1;
    }
}

bool ReplaceFile(const std::string& path, const std::function<bool(BinaryFile&)>& write, Durability durability) {
    AtomicFileWriter writer(path, durability);
    if (!writer.Open()) return false;
    if (!write(writer.file())) return false;
    return writer.Commit();
}

bool ReplaceFileByPath(const std::string& path, const std::function<bool(const std::string& temporary)>& write,
                       Durability durability) {
    AtomicFileWriter writer(path, durability);
    if (!writer.Open()) return false;
    // The writer's own descriptor stays open on the file the callee writes, so the flush of Commit
    // reaches what it wrote.
    if (!write(writer.temporary())) return false;
    return writer.Commit();
}

bool LinkInPlaceOf(const std::string& existing, const std::string& target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = TemporaryName(target, random());
        if (::link(existing.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
        const int cause = errno;
        ::unlink(temporary.c_str());
        errno = cause;
        return false;
    }
    return false;
}

NewFileResult CreateNewFile(const std::string& path, BinaryFile& file) {
    file.Close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? NewFileResult::kExists : NewFileResult::kFailed;
    // Another program's clean-up may have taken the empty file for an abandoned one before the lock: it
    // holds the lock, or has removed the file, and the name counts as taken. A file system without locks
    // has no such clean-up.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
    if (!locked || !SameFile(AT_FDCWD, path.c_str(), fd)) {
        ::close(fd);
        return NewFileResult::kExists;
    }
    // The lock goes with the descriptor, when the file is closed.
    if (file.AdoptForWriting(fd)) return NewFileResult::kCreated;
    ::unlink(path.c_str());
    return NewFileResult::kFailed;
}

void RemoveAbandonedNewFile(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return;
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    RemoveUnlessLive(folder, name.c_str(), true);
    ::close(folder);
}

bool SyncToDisk(const std::string& folder, const std::vector<std::string>& names) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    // Only these files and their folder are flushed, never the whole file system: that would wait for every
    // other program's unwritten data as well. The write-back of a batch of them is started first, so the disk
    // gets them together and each flush below mostly waits for what is already under way. A batch stays well
    // below the descriptors a desktop session allows a process (1024 by default), whatever else is open: a
    // recalculation of every measurement writes thousands of histograms.
    constexpr std::size_t kBatch = 128;
    bool synced = true;
    std::vector<int> files;
    files.reserve(std::min(kBatch, names.size()));
    for (std::size_t first = 0; synced && first < names.size(); first += kBatch) {
        const std::size_t end = std::min(names.size(), first + kBatch);
        for (std::size_t i = first; i < end; ++i) {
            // Not blocking: a named pipe put in a file's place is no file and must not stop the save.
            const int fd = ::openat(dir, names[i].c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            struct stat st {};
            if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
                synced = false;
                if (fd >= 0) ::close(fd);
                break;
            }
            files.push_back(fd);
            // Only a start: where the system cannot start it here (EINVAL, ESPIPE, ENOSYS) the flush below
            // does it all; any other failure is a failure to write.
            if (::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != EINVAL && errno != ESPIPE &&
                errno != ENOSYS)
                synced = false;
        }
        for (const int fd : files) {
            // The data with what reading it needs (its size, where it lies); the times are not worth a flush.
            if (synced && !Flushed(::fdatasync(fd))) synced = false;
            if (::close(fd) != 0) synced = false;
        }
        files.clear();
    }
    synced = synced && SyncFolder(dir);
    return ::close(dir) == 0 && synced;
}

}  // namespace murtesk::platform
