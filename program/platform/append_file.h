// A small text file that grows by whole lines, for a record a program keeps while it works: each line
// goes to the file in one write to a descriptor opened for appending, so a program killed at any moment
// leaves every line it wrote whole (a machine that stops may lose the last ones, which are then simply
// not there). Not thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace murtesk::platform {

class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile() { Close(); }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens `path` for appending, creating it when missing. False when it cannot be opened or is no
    // regular file (a symbolic link, a folder, a named pipe): nothing is written there.
    bool Open(const std::string& path);
    bool is_open() const { return fd_ >= 0; }
    // Appends `line` and a line feed in one write; false when not all of it was written.
    bool Append(std::string_view line);
    void Close();

private:
    int fd_ = -1;
};

}  // namespace murtesk::platform
