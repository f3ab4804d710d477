#include "file_moves.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "binary_file.h"

namespace murtesk::platform {

namespace {

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    if (::unlink(from.c_str()) != 0) {
        const int saved = errno;
        ::unlink(to.c_str());
        errno = saved;
        return false;
    }
    return true;
}

bool RenameAllOrNothing(const std::vector<FileMove>& moves, FileMove* failed) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (!RenameNoReplace(moves[i].from, moves[i].to)) {
            const int error = errno;
            if (failed != nullptr) *failed = moves[i];
            while (i-- > 0) RenameNoReplace(moves[i].to, moves[i].from);
            errno = error;
            return false;
        }
    }
    return true;
}

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    const int in = OpenRegularFile(source);
    if (in < 0) return false;
    const std::size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary;
    int out = -1;
    for (int attempt = 0; attempt < 100 && out < 0; ++attempt) {
        temporary = UnusedFileName(folder, "." + name, "");
        out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (out < 0 && errno != EEXIST) break;
    }
    bool copied = out >= 0;
    // In the kernel where the file systems allow it, else through a buffer.
    bool inKernel = true;
    std::vector<char> buffer;
    while (copied) {
        ssize_t n = 0;
        if (inKernel) {
            n = ::copy_file_range(in, nullptr, out, nullptr, std::size_t{1} << 30, 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                inKernel = false;
                buffer.resize(std::size_t{1} << 20);
                continue;
            }
        } else {
            n = ::read(in, buffer.data(), buffer.size());
            if (n > 0 && !WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) n = -1;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            copied = n == 0;
            break;
        }
    }
    ::close(in);
    if (out >= 0) {
        copied = copied && ::fsync(out) == 0;
        copied = ::close(out) == 0 && copied;
        copied = copied && ::rename(temporary.c_str(), target.c_str()) == 0;
        if (!copied) ::unlink(temporary.c_str());
    }
    return copied;
}

std::string UnusedFileName(const std::string& folder, const std::string& stem, const std::string& extension) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        char part[16];
        std::snprintf(part, sizeof part, "%08llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFull));
        std::string candidate = folder + "/" + stem + "~" + part + extension;
        struct stat st {};
        // Taken names are skipped; any other answer is left to whoever writes the file.
        if (::lstat(candidate.c_str(), &st) != 0) return candidate;
    }
}

}  // namespace murtesk::platform
