#include "append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace murtesk::platform {

bool AppendFile::Open(const std::string& path) {
    Close();
    // Not blocking: a named pipe of that name must not stop the program.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool AppendFile::Append(std::string_view line) {
    if (fd_ < 0) return false;
    std::string bytes(line);
    bytes += '\n';
    ssize_t written = -1;
    do {
        written = ::write(fd_, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    return written == static_cast<ssize_t>(bytes.size());
}

void AppendFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace murtesk::platform
