// What keeps two programs from saving over each other's work on one project file.
//
// ProjectLock: the program that opens a project holds an advisory lock (flock) on a small file
// beside it, "<project file>.lock", kept open while the project is open, and writes into it who
// holds it: the process, the host and since when. The kernel lets the lock go when its holder ends,
// however it ends, so a program that was killed or a machine that lost power leaves at most the
// file behind, never a lock; the next program takes the lock and writes the file again. The holder
// deletes the file when it lets go. A program that finds the lock taken reads who holds it.
//
// FileStamp: the file as this program last read or wrote it (device, inode, size, modification time
// to the nanosecond), so that a save can tell whether another program changed it since.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace murtesk::platform {

// Who holds a project, as its lock file says; fields the file lacks stay empty or 0.
struct ProjectHolder {
    std::int64_t pid = 0;
    std::string host;
    std::string since;  // "yyyy/mm/dd hh:mm:ss", local time
};

class ProjectLock {
public:
    enum class State {
        kNone,      // no lock was asked for, or it was let go
        kHeld,      // this object holds it
        kTaken,     // another open file holds it: holder() says who
        kUnusable,  // no lock can be had there (a folder that cannot be written, a file system without
                    // locks): nobody can be kept out
    };

    ProjectLock() = default;
    // Tries once to take the lock of the project file `projectPath`.
    explicit ProjectLock(const std::string& projectPath);
    ~ProjectLock() { Release(); }
    ProjectLock(ProjectLock&& other) noexcept;
    ProjectLock& operator=(ProjectLock&& other) noexcept;
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    State state() const { return state_; }
    bool Held() const { return state_ == State::kHeld; }
    const ProjectHolder& holder() const { return holder_; }
    const std::string& projectPath() const { return projectPath_; }

    // Deletes the lock file and lets the lock go (when held); the state is then kNone.
    void Release();

private:
    std::string projectPath_;
    std::string lockPath_;
    int fd_ = -1;
    State state_ = State::kNone;
    ProjectHolder holder_;
};

// The name of the lock file of a project file.
std::string ProjectLockPath(const std::string& projectPath);

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path`; none when there is no such file.
std::optional<FileStamp> StampOf(const std::string& path);

}  // namespace murtesk::platform
