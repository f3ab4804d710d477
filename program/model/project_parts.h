// Which of a project's own files a path reaches: the project file, its lock file, the record of its
// leftover histograms, or a file in one
// of the folders beside it that hold its measurements' data. An output must never take the place
// of any of them, whatever name reaches them.
//
// Files and folders are compared by identity (device and inode), never by spelling: a symbolic or
// hard link to the project file is the project file, and a folder reached through a link is the
// folder it leads to. The project is taken both as its path names it and as that path resolves,
// so a project opened through a link keeps the files beside the link and beside its target. A file
// or folder that does not exist is compared by its folder's identity and its name.
#pragma once

#include <string>

namespace murtesk {

enum class ProjectPart {
    kNone,              // none of the project's own files
    kProjectFile,       // the project file itself
    kLockFile,          // the lock file beside it ("<project file>.lock")
    kLeftoverRecord,    // the record of its leftover histograms ("<project file>.pending")
    kStatisticsFolder,  // a file in "LCalc", the level histograms
    kLevelFolder,       // a file in a band's folder ("F", "W", "16000Hz" ...), the level series
    kRecordingFolder,   // a file in "RecWav", the split recordings, videos and their side files
};

// What `target` is of the project whose file is `projectPath` (full paths). kNone when either path
// is empty or the target's folder cannot be looked at (a file cannot be written there either).
ProjectPart ProjectPartAt(const std::string& projectPath, const std::string& target);

}  // namespace murtesk
