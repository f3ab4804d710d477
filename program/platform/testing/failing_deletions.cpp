#include "failing_deletions.h"

#include "failing_calls.h"

namespace murtesk::platform::testing {
namespace {

FailingChoice g_deletions;

// True (errno EIO) when the deletion of `path` is to fail.
bool DeletionFails(const char* path) { return g_deletions.Fails(path); }

}  // namespace

FailingDeletions::FailingDeletions(std::function<bool(const std::string& path)> fails) {
    g_deletions.Choose(std::move(fails), EIO);
}

FailingDeletions::~FailingDeletions() { g_deletions.Choose(nullptr, 0); }

int FailingDeletions::failed() const { return g_deletions.failed(); }

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
