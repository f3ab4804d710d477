// A folder of this run's own, outside every project, for files it needs only while it runs: the
// statistics of a project opened without saving, which must neither depend on the files the program
// that holds the project deletes nor be written into that project's folders.
//
// The folder lies in the user's runtime folder ($XDG_RUNTIME_DIR, emptied when the user's session
// ends), or in the temporary folder (where that one is missing or cannot hold what the run puts in
// it), as "murtesk-copy-XXXXXX" (mkdtemp: mode 0700, a name no one
// else has). It is made under another name, held by an advisory lock (flock) on the folder itself
// for as long as the object lives, and only then given its name, so a folder of that name that no
// program holds is one a run left when it was killed: the next run that makes a folder removes it.
// The object removes its folder with all it holds when it goes.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace murtesk::platform {

class OwnFolder {
public:
    // Makes a new folder in `parent` (empty: the first of OwnFoldersParents()), first removing the
    // folders there that no running program holds. Null when none can be made (no such parent, not
    // writable, full).
    static std::unique_ptr<OwnFolder> Make(const std::string& parent = {});
    ~OwnFolder();
    OwnFolder(const OwnFolder&) = delete;
    OwnFolder& operator=(const OwnFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    OwnFolder(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}

    std::string path_;
    int fd_;  // the folder, open and locked
};

// Where such folders lie, in the order they are tried: $XDG_RUNTIME_DIR when it names a folder, then
// the temporary folder ($TMPDIR, else /tmp), each once.
std::vector<std::string> OwnFoldersParents();

// Removes the folders of runs that ended from `parent`: those named as OwnFolder names them, owned
// by this user, that no running program holds. Anything else there stays.
void RemoveLeftoverOwnFolders(const std::string& parent);

}  // namespace murtesk::platform
