// Deletions that fail, for tests of what a file that cannot be deleted leaves behind: while a
// FailingDeletions lives, unlink, unlinkat and remove of the paths it chooses fail with EIO, as on a
// failing disk. The calls are defined in the test executable, whose definitions come before the C
// library's; every other deletion goes on to the C library.
#pragma once

#include <functional>
#include <string>

namespace murtesk::platform::testing {

class FailingDeletions {
public:
    // `fails` is asked with the path as the call names it (for unlinkat, the name in its folder).
    explicit FailingDeletions(std::function<bool(const std::string& path)> fails);
    ~FailingDeletions();
    FailingDeletions(const FailingDeletions&) = delete;
    FailingDeletions& operator=(const FailingDeletions&) = delete;

    // How many deletions failed so far.
    int failed() const;
};

}  // namespace murtesk::platform::testing
