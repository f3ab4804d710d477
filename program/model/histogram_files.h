// The level histogram files of the open project between its saves.
//
// A project keeps its statistics in two places: the numbers in the project file and the counts in
// the histogram files it names in its "LCalc" folder. On disk the two must belong together after a
// crash at any moment, so a change of the statistics between two saves never touches a file the
// saved project names: the new counts go to a new file, which the statistics object names from then
// on, and the file it replaces is deleted only once a save of the project no longer names it. The
// rename of the project file is the one moment the project moves from the old files to the new
// ones; the new files are flushed to the disk just before it, so a power loss cannot leave the
// project naming counts that never reached the disk. When that flush fails the save fails, and so
// does every later one until the files it could not flush are written again: the system reports a
// failed write-back once and may then take the lost data for written.
//
// A file is rewritten in place only when this run made it and no save names it yet. Any other
// write creates its file only where no file of that name exists, so that a histogram of another run
// (a second program on the same project, or a project beside this one in the folder) is never
// overwritten; a name that is taken gives way to a fresh one.
//
// A new file is made under its own name by an exclusive create, so it is never another's, and is
// named by no project file until a save has flushed it whole: a half-written one is only a leftover.
// The program that holds the project's lock keeps the leftover record beside the project file
// (leftover_record.h): the files it made that no save has named yet (each noted before it is made) and
// those a save let go that are not deleted yet. What a killed run left listed there, and its project
// file does not name, the next holder deletes when it takes the project (Hold), and of what it left
// noted only the empty files no live program holds; nothing else in the folder is touched.
//
// Until a project is begun (tests of the statistics alone, documents other than the open project)
// files are written and deleted in place by their names, as they always were.
//
// A project opened without saving belongs to the program that holds it, which deletes the histograms
// its saves no longer name. Such a project's histograms are copied when it is opened into a folder of
// this run's own (platform/own_folder.h), where its statistics are read, written and deleted from then
// on; nothing is written or deleted in the project's folder.
//
// Thread-safe: statistics are computed on several threads at once.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/leftover_record.h"
#include "platform/binary_file.h"
#include "platform/own_folder.h"

namespace murtesk {

class HistogramFiles {
public:
    // `fresh` gives a histogram file name not given before.
    explicit HistogramFiles(std::function<std::string()> fresh) : fresh_(std::move(fresh)) {}

    // The project whose histograms lie in `folder` and whose project file, as just read or written,
    // names `names` is open from now on. What the project open before left unsaved goes first, as in
    // EndProject.
    void BeginProject(std::string folder, const std::vector<std::string>& names);
    // This program holds the open project's lock: it keeps `record` (the leftover record of the project
    // file) from now on, and deletes now what the record lists and the project file does not name, with
    // what killed writes of those files left beside them, and the empty files of what it notes only
    // (platform::RemoveAbandonedNewFile). A record that cannot be kept (no regular file
    // has its name) is passed over: nothing is deleted, and nothing is listed.
    void Hold(const std::string& record);
    // The same for a project opened without saving: the files `names` of `folder` (the regular files
    // among them) are copied into `own` first, and the statistics are kept there (OwnFolder) until the
    // project is closed, when the folder goes with all it holds. Without `own` (none could be made)
    // they are read where they lie and none can be written. False when a histogram of `folder` could
    // not be copied (`own`'s file system is full): the copies stop there, and the caller begins again
    // with another folder or none.
    bool BeginProjectWithoutSaving(const std::string& folder, const std::vector<std::string>& names,
                                   std::unique_ptr<platform::OwnFolder> own);
    // The folder of the open project's statistics when it is not the project's own "LCalc" folder.
    std::optional<std::string> OwnFolder() const;
    // The open project is closed: the files written since its last save, which no project file
    // names, are deleted.
    void EndProject();

    // Writes the counts of the statistics object whose file is `name` in `folder` (`write` fills the
    // file); `name` then names the file written, which may be a new one (above). False when nothing
    // could be written: the object's file and name stay as they were.
    bool Write(const std::string& folder, std::string& name, const std::function<bool(platform::BinaryFile&)>& write);
    // The object whose file is `name` has no counts any more: its file goes at once, or, when the
    // saved project names it, once a save no longer does. With `rename`, an object whose file the
    // saved project names takes a fresh name (with no file) at once.
    void Drop(const std::string& folder, std::string& name, bool rename = true);

    // Before a save of the open project: the files written since the last save reach the disk. False when any of
    // them could not be flushed, now or at an earlier save, and has not been written again since: the save must
    // not name them, and fails.
    bool BeforeSave();
    // The project file was saved naming `names`: the files the saved project named before and this
    // one no longer names are deleted.
    void Saved(const std::vector<std::string>& names);

private:
    bool Tracks(const std::string& folder) const { return open_ && folder == folder_; }
    // Nothing may be written or deleted in `folder`: another program's project, outside this run's folder.
    bool Refuses(const std::string& folder) const { return withoutSaving_ && (!own_ || !Tracks(folder)); }
    void DeleteUnsaved();
    // Deletes `name` in the project's folder, unlisted first; true when it is gone. What cannot be
    // unlisted or deleted stays, listed.
    bool DeleteListed(const std::string& name);

    std::function<std::string()> fresh_;
    mutable std::mutex mutex_;
    bool open_ = false;
    std::string folder_;
    std::set<std::string> saved_;    // named by the project file on disk
    std::set<std::string> written_;  // made by this run since the last save, named by no project file
    std::set<std::string> retired_;  // named by the project file on disk, no longer by the document
    std::set<std::string> unflushed_;  // of written_: a flush failed, and the file was not written again since
    std::set<std::string> stale_;      // listed, named by no project file, not deleted yet: tried at each save
    LeftoverRecord record_;            // kept while this program holds the project (Hold)
    bool withoutSaving_ = false;     // the open project is another program's
    std::unique_ptr<platform::OwnFolder> own_;  // where its statistics are kept then
};

}  // namespace murtesk
