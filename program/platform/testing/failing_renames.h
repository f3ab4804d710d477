// Renames that fail, for tests of what a group of renames leaves when one of them cannot be done:
// while a FailingRenames lives, rename, renameat, renameat2 and link of a source path it chooses fail
// with the error it was given, as on a file system mounted read-only. The calls are defined in the test
// executable, whose definitions come before the C library's; every other rename goes on to the C library.
#pragma once

#include <functional>
#include <string>

namespace murtesk::platform::testing {

class FailingRenames {
public:
    // `fails` is asked with the source path as the call names it; a chosen call fails with `error`.
    FailingRenames(std::function<bool(const std::string& from)> fails, int error);
    ~FailingRenames();
    FailingRenames(const FailingRenames&) = delete;
    FailingRenames& operator=(const FailingRenames&) = delete;

    // How many renames failed so far.
    int failed() const;
};

}  // namespace murtesk::platform::testing
