#include "failing_deletions.h"

#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <mutex>

namespace murtesk::platform::testing {
namespace {

std::mutex g_mutex;
std::function<bool(const std::string&)> g_fails;
std::atomic<int> g_failed{0};

// True (errno EIO) when the deletion of `path` is to fail.
bool DeletionFails(const char* path) {
    std::lock_guard lock(g_mutex);
    if (!g_fails || path == nullptr || !g_fails(path)) return false;
    ++g_failed;
    errno = EIO;
    return true;
}

template <class F>
F NextCall(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

FailingDeletions::FailingDeletions(std::function<bool(const std::string& path)> fails) {
    std::lock_guard lock(g_mutex);
    g_fails = std::move(fails);
    g_failed = 0;
}

FailingDeletions::~FailingDeletions() {
    std::lock_guard lock(g_mutex);
    g_fails = nullptr;
}

int FailingDeletions::failed() const { return g_failed; }

}  // namespace murtesk::platform::testing

using murtesk::platform::testing::DeletionFails;
using murtesk::platform::testing::NextCall;

extern "C" {
int unlink(const char* path) {
    if (DeletionFails(path)) return -1;
    const auto next = NextCall<int (*)(const char*)>("unlink");
    return next != nullptr ? next(path) : (errno = ENOSYS, -1);
}
int unlinkat(int dir, const char* path, int flags) {
    if (DeletionFails(path)) return -1;
    const auto next = NextCall<int (*)(int, const char*, int)>("unlinkat");
    return next != nullptr ? next(dir, path, flags) : (errno = ENOSYS, -1);
}
int remove(const char* path) {
    if (DeletionFails(path)) return -1;
    const auto next = NextCall<int (*)(const char*)>("remove");
    return next != nullptr ? next(path) : (errno = ENOSYS, -1);
}
}
