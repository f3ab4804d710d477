#include "file_moves.h"

#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

namespace murtesk::platform {

namespace {

// A rename that fails when `to` exists. Where the file system has no such rename, a hard link
// (which never replaces either) and the removal of the old name.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool RenameAllOrNothing(const std::vector<FileMove>& moves) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (!RenameNoReplace(moves[i].from, moves[i].to)) {
            while (i-- > 0) RenameNoReplace(moves[i].to, moves[i].from);
            return false;
        }
    }
    return true;
}

bool CopyFileReplacing(const std::string& source, const std::string& target) {
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    AtomicFileWriter writer(target);
    bool copied = writer.Open();
    std::vector<char> buffer(std::size_t{1} << 20);
    while (copied) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            copied = n == 0;
            break;
        }
        copied = writer.file().Write(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(in);
    return copied && writer.Commit();
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
