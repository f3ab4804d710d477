// A file the library writes whole from a path it is given: the content goes to a temporary file beside the
// target and takes the target's place by rename only once it is complete, so a failure (a full disk, a size
// limit, an unreadable source) leaves no partial target and an existing target as it was. The temporary file
// goes with the object unless it was committed.
#pragma once

#include <string>

namespace murtesk::analysis {

class ReplacingOutput {
public:
    ReplacingOutput() = default;
    ~ReplacingOutput();
    ReplacingOutput(const ReplacingOutput&) = delete;
    ReplacingOutput& operator=(const ReplacingOutput&) = delete;

    // Creates the empty temporary file (target & ".~" & 12 hexadecimal digits, mode 0666 less the umask);
    // false when the target's folder does not exist or cannot be written, or the target is there but is no
    // regular file (a folder, a device).
    bool create(const std::string& target);
    // The temporary file to write, closed; empty before create and after commit.
    const std::string& temporary() const { return m_temporary; }
    // Flushes the temporary file, as its writer closed it, to the disk and renames it over the target; false,
    // removing it, when that failed.
    bool commit();

private:
    void discard();

    std::string m_target;
    std::string m_temporary;
};

}  // namespace murtesk::analysis
