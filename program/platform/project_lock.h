// What keeps two programs from saving over each other's work on one project file.
//
// ProjectLock: the program that opens a project holds an advisory lock (flock) on a small file
// beside it, "<project file>.lock", kept open while the project is open, and writes into it who
// holds it: the process, the host and since when. The kernel lets the lock go when its holder ends,
// however it ends, so a program that was killed or a machine that lost power leaves at most the
// file behind, never a lock; the next program takes the lock and writes the file again. The holder
// deletes the file when it lets go. A program that finds the lock taken reads who holds it.
//
// One project file has one lock whatever name reaches it. The lock file lies beside the file the
// name leads to (symbolic links followed, so every link to a project shares its lock), and the
// holder also locks the project file itself, so that another name of the same file (a hard link)
// is refused as well; after a save, which puts a new file in the old one's place, the holder locks
// the new file and gives it the old one's other names in the project's folder (FollowSavedFile). A
// lock file that is not a regular file (a symbolic link, a folder, a named pipe) is never written
// through or removed: nobody can be kept out there, and the lock says why (Problem).
//
// FileStamp: the file as this program last read or wrote it (device, inode, size, modification and
// change times, and a hash of its bytes), so that a save can tell whether another program changed it
// since; times alone (a `touch`) are no change, and a change that puts the modification time back
// still shows in the change time and the bytes.
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
        kUnusable,  // no lock can be had there: nobody can be kept out; problem() says why
    };
    // Why a lock is kUnusable.
    enum class Problem {
        kNone,
        kLockNotAFile,  // the lock file is a symbolic link, a folder, a named pipe or another non-file
        kReadOnly,      // the folder lies on a file system mounted read-only
        kNoPermission,  // the folder cannot be written
        kNoSpace,       // no room for the lock file
        kNoLocks,       // the file system keeps no locks
        kOther,         // any other failure to make or open the lock file
    };

    ProjectLock() = default;
    // Tries once to take the lock of the project file `projectPath` (which need not exist yet).
    explicit ProjectLock(const std::string& projectPath);
    ~ProjectLock() { Release(); }
    ProjectLock(ProjectLock&& other) noexcept;
    ProjectLock& operator=(ProjectLock&& other) noexcept;
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    State state() const { return state_; }
    bool Held() const { return state_ == State::kHeld; }
    Problem problem() const { return problem_; }
    const ProjectHolder& holder() const { return holder_; }
    const std::string& projectPath() const { return projectPath_; }
    // The lock file (ProjectLockPath of the project path).
    const std::string& lockPath() const { return lockPath_; }

    // Whether this lock is held and `projectPath` leads to its project: to the same lock file, or to
    // the project file it locks under another name.
    bool Covers(const std::string& projectPath) const;
    // After a new file took the project file's place at `projectPath` (the first write of a new
    // project): the lock holds that file from now on and lets the replaced one go. Where the new file
    // cannot be locked the lock stays on the old one; the lock file still keeps the name.
    void FollowFile(const std::string& projectPath);
    // The same after a save of the project: the other names the replaced file had in the project's
    // folder (hard links) are given to the new file as well, so that they still lead to the project
    // and meet its lock; names in other folders keep the replaced file. (A new project made under the
    // name of a deleted one is another project: FollowFile leaves the old one's names to it.)
    void FollowSavedFile(const std::string& projectPath);
    // The project file was renamed to `projectPath`: the lock file of that name is taken and the old
    // one deleted. False, with the lock as it was, when the new name's lock file cannot be had.
    bool MoveTo(const std::string& projectPath);
    // Deletes the lock file and lets the lock go (when held); the state is then kNone.
    void Release();

private:
    void Follow(const std::string& projectPath, bool giveNames);

    std::string projectPath_;
    std::string lockPath_;
    int fd_ = -1;         // the lock file
    int projectFd_ = -1;  // the project file, when it existed
    State state_ = State::kNone;
    Problem problem_ = Problem::kNone;
    ProjectHolder holder_;
};

// The file `path` leads to: `path` itself, or, when its last part is a symbolic link, the full path
// of the file behind it (every link resolved). A link to nothing stays as it is.
std::string FileBehindLinks(const std::string& path);

// The name of the lock file of a project file: "<project file>.lock" beside the file the path leads
// to (its folder's links resolved, and its own when it is a link).
std::string ProjectLockPath(const std::string& projectPath);

struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;  // set by the system at every change; no program can set it back
    std::int64_t changedNanoseconds = 0;
    std::uint64_t contentHash = 0;  // of the file's bytes
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path`, its hash from one read of the whole file (read again
// when the file changed during the read); none when there is no such file or it cannot be read.
std::optional<FileStamp> StampOf(const std::string& path);

// Whether the file at `path` still holds what `known` describes: the same times, size and file;
// or, when only the times or the file differ, the same bytes (read only then).
bool Unchanged(const FileStamp& known, const std::string& path);

}  // namespace murtesk::platform
