// The record the holder of a project keeps beside its project file, "<project file>.pending", of the
// histogram files no project file may name: those this program wrote that no save has named yet, and
// those a save no longer names until they are deleted. A program killed before it could delete them
// leaves them listed, and the next program that takes the project's lock deletes those the project file
// does not name (HistogramFiles::Hold). The projects of one folder share its statistics folder: a file
// is listed only in the record of the project whose program made it or let it go, and a file no record
// lists is never deleted through one.
//
// "+name" is appended when a file is made or let go and "-name" before it is deleted, so the record
// never lists a file that is gone and whose name another program may have taken since. At a save and
// when the project is closed the record is written again with what it still lists, and removed when
// that is nothing. A line that is not a histogram file's name (letters, digits, "-", "_" and ".",
// ending in ".ldt") is passed over, and so is a last line without its line feed.
//
// Thread-safe.
#pragma once

#include <mutex>
#include <set>
#include <string>

#include "platform/append_file.h"

namespace murtesk {

class LeftoverRecord {
public:
    // The record of project file `projectPath`.
    static std::string PathOf(const std::string& projectPath);

    // Reads the record at `path` (Names() then lists what it lists; nothing when there is none) and
    // keeps it from now on. False, with no record kept, when something that is no regular file (a
    // symbolic link, a folder, a named pipe) has its name, or it cannot be read.
    bool Open(const std::string& path);
    bool is_open() const;
    // Lists `name`. True also when no record is kept; false when the line could not be written: the
    // file is then in no record.
    bool Add(const std::string& name);
    // Lists `name` no more, before its file is deleted. True also when no record is kept or it was not
    // listed; false when the line could not be written: it is still listed, and its file must stay.
    bool Remove(const std::string& name);
    // Lists `name` no more from the next Rewrite on (a file a saved project file names).
    void Forget(const std::string& name);
    std::set<std::string> Names() const;
    // Writes the record again with what it lists, or removes it when that is nothing. False when that
    // failed: the record on disk still says what it said.
    bool Rewrite();
    // Rewrite, and no record is kept from then on.
    void Close();

private:
    mutable std::mutex mutex_;
    std::string path_;  // empty while no record is kept
    platform::AppendFile file_;
    std::set<std::string> names_;
};

}  // namespace murtesk
