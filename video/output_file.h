// A file a conversion writes: it is written under a temporary name beside its target and takes the target's place
// by rename only when it is complete, so a failure (a full disk, a size limit, a decoding error) leaves no partial
// target and an existing target as it was. The temporary file goes with the object unless it was committed.
//
// A call that was killed (SIGKILL, the machine stopped) cannot remove its temporary file; the next conversion to
// the same target does. Each writer holds an advisory lock (flock) on its temporary file until it has renamed or
// removed it, and the kernel lets go of a killed writer's lock: a temporary file of the target whose lock can be
// taken belongs to no live writer and is removed, one whose writer still runs (in this process or another) stays.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace murtesk::video {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Removes what killed writers of `target` left, then creates the temporary file (target & ".~" & 12
    // lower-case hexadecimal digits, mode 0666 less the umask) in the target's folder, locked; false when the
    // folder does not exist or cannot be written, or the target is there but is no regular file (a folder, a
    // device).
    bool Create(const std::string& target);
    const std::string& temporaryPath() const { return temporary_; }
    // The temporary file, open for writing (-1 once closed).
    int fd() const { return fd_; }
    // The bytes its file system has free for an unprivileged writer; nullopt when that cannot be told.
    std::optional<std::uint64_t> FreeBytes() const;
    // Flushes the temporary file, renames it over the target and closes it; false, removing it, when the flush or
    // the rename failed.
    bool Commit();

private:
    void Discard();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace murtesk::video
