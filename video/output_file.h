// A file a conversion writes: it is written under a temporary name beside its target and takes the target's place
// by rename only when it is complete, so a failure (a full disk, a size limit, a decoding error) leaves no partial
// target and an existing target as it was. The temporary file goes with the object unless it was committed.
#pragma once

#include <string>

namespace murtesk::video {

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file (mode 0666 less the umask) in the target's folder; false when the folder does not
    // exist or cannot be written, or the target is there but is no regular file (a folder, a device).
    bool Create(const std::string& target);
    const std::string& temporaryPath() const { return temporary_; }
    // The temporary file, open for writing (-1 once closed).
    int fd() const { return fd_; }
    // Flushes and closes the temporary file and renames it over the target; false, removing it, when that failed.
    bool Commit();

private:
    void Discard();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

}  // namespace murtesk::video
