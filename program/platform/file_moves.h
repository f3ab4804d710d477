// Moving and copying files the user keeps without losing one: a group of renames that happen all
// together or not at all and never replace an existing file, a copy that takes its target's place
// only when whole, and names for temporary files beside others.
#pragma once

#include <string>
#include <vector>

namespace murtesk::platform {

struct FileMove {
    std::string from;
    std::string to;
};

// Renames each `from` to its `to`, in order, never over an existing file. When one rename fails
// (a `to` exists, a file is missing, the folder refuses) the renames already done are undone and
// false is returned: every file keeps its old name. Then `failed`, when given, holds the move that
// failed, and errno tells why it failed.
bool RenameAllOrNothing(const std::vector<FileMove>& moves, FileMove* failed = nullptr);

// Renames `from` to `to` only where no file `to` exists (errno EEXIST then). Where the file system has
// no such rename, a hard link (which never replaces either) and the removal of the old name.
bool RenameNoReplace(const std::string& from, const std::string& to);

// Copies `source` to a temporary file beside `target`, flushes it to the disk and renames it over
// `target`. False when anything failed: the temporary file is removed and `target` (or its
// absence) stays as it was.
bool CopyFileReplacing(const std::string& source, const std::string& target);

// A path in `folder` that no file has at the time of the call: `stem`, "~", a random part and
// `extension` (which a program writing it may need to see, as ".avi").
std::string UnusedFileName(const std::string& folder, const std::string& stem, const std::string& extension);

}  // namespace murtesk::platform
