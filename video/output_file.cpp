#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace murtesk::video {

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Create(const std::string& target) {
    Discard();
    // A folder or a device of that name is no output: the rename would put a file in its place.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
    target_ = target;
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".~%012llx",
                      static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const std::string candidate = target + suffix;
        const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = candidate;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool OutputFile::Commit() {
    if (temporary_.empty()) return false;
    const bool synced = fd_ < 0 || ::fdatasync(fd_) == 0;
    const bool closed = fd_ < 0 || ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    temporary_.clear();
    return true;
}

void OutputFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

}  // namespace murtesk::video
