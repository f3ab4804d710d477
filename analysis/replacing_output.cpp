#include "replacing_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace murtesk::analysis {

ReplacingOutput::~ReplacingOutput()
{
    discard();
}

bool ReplacingOutput::create(const std::string& target)
{
    discard();
    // A folder or a device of that name is no output: the rename would put a file in its place.
    struct stat st {};
    if (target.empty() || (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)))
        return false;
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".~%012llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
        const std::string candidate = target + suffix;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            m_target = target;
            m_temporary = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool ReplacingOutput::commit()
{
    if (m_temporary.empty())
        return false;
    const int fd = ::open(m_temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void ReplacingOutput::discard()
{
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

}  // namespace murtesk::analysis
