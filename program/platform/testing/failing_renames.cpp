#include "failing_renames.h"

#include "failing_calls.h"

namespace murtesk::platform::testing {
namespace {

FailingChoice g_renames;

// True (errno set to the chosen error) when the rename of `from` is to fail.
bool RenameFails(const char* from) { return g_renames.Fails(from); }

}  // namespace

FailingRenames::FailingRenames(std::function<bool(const std::string& from)> fails, int error) {
    g_renames.Choose(std::move(fails), error);
}

FailingRenames::~FailingRenames() { g_renames.Choose(nullptr, 0); }

int FailingRenames::failed() const { return g_renames.failed(); }

}  // namespace murtesk::platform::testing

using murtesk::platform::testing::NextCall;
using murtesk::platform::testing::RenameFails;

extern "C" {
int rename(const char* from, const char* to) {
    if (RenameFails(from)) return -1;
    const auto next = NextCall<int (*)(const char*, const char*)>("rename");
    return next != nullptr ? next(from, to) : (errno = ENOSYS, -1);
}
int renameat(int fromDir, const char* from, int toDir, const char* to) {
    if (RenameFails(from)) return -1;
    const auto next = NextCall<int (*)(int, const char*, int, const char*)>("renameat");
    return next != nullptr ? next(fromDir, from, toDir, to) : (errno = ENOSYS, -1);
}
int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    if (RenameFails(from)) return -1;
    const auto next = NextCall<int (*)(int, const char*, int, const char*, unsigned int)>("renameat2");
    return next != nullptr ? next(fromDir, from, toDir, to, flags) : (errno = ENOSYS, -1);
}
int link(const char* from, const char* to) {
    if (RenameFails(from)) return -1;
    const auto next = NextCall<int (*)(const char*, const char*)>("link");
    return next != nullptr ? next(from, to) : (errno = ENOSYS, -1);
}
}
