#include "failing_flushes.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>

namespace murtesk::platform::testing {
namespace {

std::mutex g_mutex;
std::function<bool(const std::string&)> g_fails;
std::atomic<int> g_failed{0};

std::string PathOf(int fd) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// True (errno EIO) when the flush of `fd` is to fail.
bool Fails(int fd) {
    std::lock_guard lock(g_mutex);
    if (!g_fails || !g_fails(PathOf(fd))) return false;
    ++g_failed;
    errno = EIO;
    return true;
}

int Next(const char* name, int fd) {
    auto* next = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, name));
    if (next == nullptr) {
        errno = ENOSYS;
        return -1;
    }
    return next(fd);
}

}  // namespace

FailingFlushes::FailingFlushes(std::function<bool(const std::string& path)> fails) {
    std::lock_guard lock(g_mutex);
    g_fails = std::move(fails);
    g_failed = 0;
}

FailingFlushes::~FailingFlushes() {
    std::lock_guard lock(g_mutex);
    g_fails = nullptr;
}

int FailingFlushes::failed() const { return g_failed; }

std::function<bool(const std::string&)> FailingFlushes::Under(const std::string& folder) {
    // As the system names open files: through no link.
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, ec);
    const std::string path = ec ? folder : canonical.string();
    return [path](const std::string& flushed) {
        return flushed == path || (flushed.size() > path.size() && flushed.compare(0, path.size(), path) == 0 &&
                                   flushed[path.size()] == '/');
    };
}

}  // namespace murtesk::platform::testing

using murtesk::platform::testing::Fails;
using murtesk::platform::testing::Next;

extern "C" {
int fsync(int fd) { return Fails(fd) ? -1 : Next("fsync", fd); }
int fdatasync(int fd) { return Fails(fd) ? -1 : Next("fdatasync", fd); }
int syncfs(int fd) { return Fails(fd) ? -1 : Next("syncfs", fd); }
}
