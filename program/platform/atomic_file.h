// Replacing a file the user keeps without ever leaving it half written: the new content goes to a
// temporary file in the same folder, is flushed to the disk, and then takes the old file's place by
// rename. When anything fails the temporary file is removed and the old file stays as it was.
//
// A writer that was killed cannot remove its temporary file; the next replacement of the same target
// does. Each writer holds an advisory lock (flock) on its temporary file until it has renamed or
// removed it, and the kernel lets go of a killed writer's lock: a temporary file of the target whose
// lock can be taken belongs to no live writer, one whose writer still runs (in this program or
// another) stays.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/binary_file.h"

namespace murtesk::platform {

// How far a replacement goes before it counts as done. Files the user keeps are synced to the disk;
// files the program can compute again from others (level histograms) need only the rename, which
// already keeps them from being seen half written, and skip the cost of a flush to the disk.
enum class Durability { kSynced, kRenamed };

class AtomicFileWriter {
public:
    // Nothing happens on disk until Open.
    explicit AtomicFileWriter(std::string path, Durability durability = Durability::kSynced);
    // Removes the temporary file unless Commit succeeded.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Removes what killed writers of the target left (RemoveLeftoverTemporaries), then creates the
    // temporary file beside the target, locked. False when the folder does not exist or cannot be
    // written.
    bool Open();
    // The temporary file, open for writing.
    BinaryFile& file() { return file_; }
    // Flushes the temporary file (to the disk when kSynced) and renames it over the target. False, with the old
    // file untouched and the temporary file removed, when a write, the flush or the rename failed. With kSynced
    // also false (errno EIO) when the folder could not be flushed after the rename: the new file then has the
    // target's name, but the disk may still hold the old one.
    bool Commit();
    // Removes the temporary file; the target stays as it was.
    void Discard();

    const std::string& path() const { return path_; }
    // The temporary file's path while it is open; empty otherwise.
    const std::string& temporary() const { return temporary_; }

private:
    std::string path_;
    std::string temporary_;
    BinaryFile file_;
    int lock_ = -1;  // a second descriptor of the temporary file, which holds its lock until the rename
    Durability durability_;
    bool committed_ = false;
};

// Removes what replacements of `path` left beside it when the program ended before they completed
// (killed, or the machine stopped): the regular files named as AtomicFileWriter names its temporary
// files for `path` whose lock no live writer holds, and the temporary files a library writing one of
// them named after it in turn (path & ".~" & 12 digits & ".~" & 12 digits) unless that one's writer
// still runs. Nothing else in the folder is touched.
void RemoveLeftoverTemporaries(const std::string& path);

// Writes a file through an AtomicFileWriter: true when `write` returned true and the new file is
// in place; otherwise the old file (or no file) is left as it was.
bool ReplaceFile(const std::string& path, const std::function<bool(BinaryFile&)>& write,
                 Durability durability = Durability::kSynced);

// The same for a writer that takes a path (a library that writes the file itself): `write` is given
// the temporary file's path beside `path`, writes the whole file there and returns true; then it
// takes the old file's place. Otherwise the temporary file is removed and the old file (or no file)
// stays as it was.
bool ReplaceFileByPath(const std::string& path, const std::function<bool(const std::string& temporary)>& write,
                       Durability durability = Durability::kSynced);

// Gives the file at `existing` the name `target` as well, in place of the file that name had: a new
// link under a temporary name of `target` (as AtomicFileWriter names them) is renamed over it, so that
// `target` never names nothing. False, with `target` as it was, when either step fails. Not flushed:
// after a power loss `target` may name its old file again.
bool LinkInPlaceOf(const std::string& existing, const std::string& target);

// Creates a file that is not there yet and opens it in `file` for writing: the name is taken by an
// exclusive create, so a file of that name is never written over (kExists), nor one a symbolic link
// of that name leads to (kFailed). The file is written under its own name, seen half written until
// it is closed: only for files that nothing reads before their writer names them (new histograms).
// The writer holds an advisory lock (flock) on the file until it closes it, as AtomicFileWriter does
// on its temporary files: an empty one whose lock is free was left by a writer that died before it
// wrote anything (RemoveAbandonedNewFile). A name whose file another program's clean-up removed
// before the lock was taken counts as taken (kExists).
enum class NewFileResult { kCreated, kExists, kFailed };
NewFileResult CreateNewFile(const std::string& path, BinaryFile& file);

// Removes `path` when it is an empty regular file whose lock is free: what a CreateNewFile whose
// program died before it wrote anything left. A file with content, one a live writer holds, and
// anything that is no regular file stay; so does everything on a file system without locks.
void RemoveAbandonedNewFile(const std::string& path);

// Flushes to the disk the regular files `names` of `folder` and the folder itself, and nothing else of the file
// system: files written with kRenamed are then as safe as kSynced ones. False when any of them could not be
// flushed, or is missing or no regular file: what they hold may then never reach the disk. A file system without
// flushes (EINVAL) counts as flushed.
//
// A failed flush is reported once: the system may count the data that could not be written as written, and a
// later flush of the same file then succeeds. Only a file written again can be trusted after a failure.
bool SyncToDisk(const std::string& folder, const std::vector<std::string>& names);

}  // namespace murtesk::platform
