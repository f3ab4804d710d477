// The record the holder of a project keeps beside its project file, "<project file>.pending", of the
// histogram files no project file may name: those this program wrote that no save has named yet, and
// those a save no longer names until they are deleted. A program killed before it could delete them
// leaves them listed, and the next program that takes the project's lock deletes those the project file
// does not name (HistogramFiles::Hold). The projects of one folder share its statistics folder: a file
// is listed only in the record of the project whose program made it or let it go, and a file no record
// lists is never deleted through one.
//
// "+name" is appended when a file is made or let go and "-name" before it is deleted, so the record
// never lists a file that is gone and whose name another program may have taken since. A new file is
// noted as "?name" before it is made (platform::CreateNewFile) and listed once it is, so that a program
// killed in between leaves it noted: such a note alone proves nothing of a file with content, and the
// next holder deletes on it only an empty file whose lock is free, which no live program is writing
// and no program wrote. At a save and when the project is closed the record is written again with what
// it still lists and notes, and removed when that is nothing. A line that is not a histogram file's
// name (letters, digits, "-", "_" and ".", ending in ".ldt") is passed over, and so is a last line
// without its line feed.
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
    // keeps it from now on; what killed rewrites of it left beside it goes first. False, with no record
    // kept, when something that is no regular file (a symbolic link, a folder, a named pipe) has its
    // name, or it cannot be read.
    bool Open(const std::string& path);
    bool is_open() const;
    // Notes `name` before its file is made. True when it was noted now; false when it is listed or noted
    // already, no record is kept, or the line could not be written.
    bool Intend(const std::string& name);
    // Withdraws a note of Intend: the file of that name is not this program's. Nothing when `name` is
    // listed, or not noted.
    void Withdraw(const std::string& name);
    // Lists `name`. True also when no record is kept; false when the line could not be written: the
    // file is then in no record.
    bool Add(const std::string& name);
    // Lists (or notes) `name` no more, before its file is deleted. True also when no record is kept, it
    // was neither, or it was noted only; false when the line could not be written for a listed name: it
    // is still listed, and its file must stay.
    bool Remove(const std::string& name);
    // Lists (or notes) `name` no more from the next Rewrite on (a file a saved project file names).
    void Forget(const std::string& name);
    std::set<std::string> Names() const;
    // The names noted and never listed.
    std::set<std::string> Intended() const;
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
    std::set<std::string> intended_;  // noted, not listed
};

}  // namespace murtesk
