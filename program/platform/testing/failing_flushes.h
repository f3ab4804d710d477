// A disk that loses what it was given, for tests of what a save makes of it: while a FailingFlushes lives, the
// flushes to the disk (fsync, fdatasync, syncfs) of the files and folders it chooses fail with EIO, as the system
// reports data whose write-back failed. The calls are defined in the test executable, whose definitions come
// before the C library's; every other flush goes on to the C library.
#pragma once

#include <functional>
#include <string>

namespace murtesk::platform::testing {

class FailingFlushes {
public:
    // `fails` is asked with the path of each file or folder flushed (as /proc/self/fd shows it).
    explicit FailingFlushes(std::function<bool(const std::string& path)> fails);
    ~FailingFlushes();
    FailingFlushes(const FailingFlushes&) = delete;
    FailingFlushes& operator=(const FailingFlushes&) = delete;

    // How many flushes failed so far.
    int failed() const;

    // Chooses `folder` itself and everything below it.
    static std::function<bool(const std::string&)> Under(const std::string& folder);
};

}  // namespace murtesk::platform::testing
