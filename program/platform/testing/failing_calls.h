// What the failing deletions and renames share: which paths' calls fail, with which error, and the C library's own
// function that every other call goes on to.
#pragma once

#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <mutex>
#include <string>

namespace murtesk::platform::testing {

class FailingChoice {
public:
    // From now on the calls on the paths `fails` chooses fail with `error`; a null `fails` lets every call through.
    void Choose(std::function<bool(const std::string& path)> fails, int error) {
        std::lock_guard lock(mutex_);
        fails_ = std::move(fails);
        error_ = error;
        failed_ = 0;
    }
    // True (errno set to the chosen error) when the call on `path` is to fail.
    bool Fails(const char* path) {
        std::lock_guard lock(mutex_);
        if (!fails_ || path == nullptr || !fails_(path)) return false;
        ++failed_;
        errno = error_;
        return true;
    }
    int failed() const { return failed_; }

private:
    std::mutex mutex_;
    std::function<bool(const std::string&)> fails_;
    int error_ = 0;
    std::atomic<int> failed_{0};
};

// The next definition of the C library's function `name` after the test executable's own.
template <class F>
F NextCall(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace murtesk::platform::testing
