#include "model/histogram_files.h"

#include "model/project_files.h"
#include "platform/atomic_file.h"

namespace murtesk {

void HistogramFiles::BeginProject(std::string folder, const std::vector<std::string>& names) {
    std::lock_guard lock(mutex_);
    DeleteUnsaved();
    open_ = true;
    folder_ = std::move(folder);
    saved_ = std::set<std::string>(names.begin(), names.end());
}

void HistogramFiles::EndProject() {
    std::lock_guard lock(mutex_);
    DeleteUnsaved();
    open_ = false;
    folder_.clear();
}

void HistogramFiles::DeleteUnsaved() {
    for (const std::string& name : written_) DeleteFileIn(folder_, name);
    written_.clear();
    retired_.clear();
    saved_.clear();
    unflushed_.clear();
}

bool HistogramFiles::Write(const std::string& folder, std::string& name,
                           const std::function<bool(platform::BinaryFile&)>& write) {
    bool inPlace = false;
    bool replacesSaved = false;
    {
        std::lock_guard lock(mutex_);
        inPlace = !Tracks(folder) || written_.contains(name);
        replacesSaved = !inPlace && saved_.contains(name);
    }
    if (inPlace) {
        const auto path = PathInFolder(folder, name);
        // A histogram can be computed again from its level file: the rename suffices.
        if (!path || !platform::ReplaceFile(*path, write, platform::Durability::kRenamed)) return false;
        std::lock_guard lock(mutex_);
        unflushed_.erase(name);
        return true;
    }
    std::string candidate = replacesSaved ? fresh_() : name;
    // Names come from the clock and a running number: a few taken ones are all another run can hold.
    for (int attempt = 0; attempt < 1000; ++attempt, candidate = fresh_()) {
        const auto path = PathInFolder(folder, candidate);
        if (!path) continue;
        const platform::NewFileResult result = platform::WriteNewFile(*path, write, platform::Durability::kRenamed);
        if (result == platform::NewFileResult::kFailed) return false;
        if (result == platform::NewFileResult::kWritten) {
            std::lock_guard lock(mutex_);
            written_.insert(candidate);
            if (replacesSaved) retired_.insert(name);
            name = candidate;
            return true;
        }
    }
    return false;
}

void HistogramFiles::Drop(const std::string& folder, std::string& name, bool rename) {
    std::unique_lock lock(mutex_);
    if (!Tracks(folder) || !saved_.contains(name)) {
        written_.erase(name);
        unflushed_.erase(name);
        DeleteFileIn(folder, name);
        return;
    }
    retired_.insert(name);
    if (rename) {
        lock.unlock();
        name = fresh_();
    }
}

bool HistogramFiles::BeforeSave() {
    std::vector<std::string> names;
    std::string folder;
    {
        std::lock_guard lock(mutex_);
        if (!open_ || written_.empty()) return true;
        if (!unflushed_.empty()) return false;
        names.assign(written_.begin(), written_.end());
        folder = folder_;
    }
    if (platform::SyncToDisk(folder, names)) return true;
    std::lock_guard lock(mutex_);
    for (const std::string& name : names) {
        if (written_.contains(name)) unflushed_.insert(name);
    }
    return false;
}

void HistogramFiles::Saved(const std::vector<std::string>& names) {
    std::lock_guard lock(mutex_);
    if (!open_) return;
    std::set<std::string> named(names.begin(), names.end());
    for (const std::string& name : retired_) {
        if (!named.contains(name)) DeleteFileIn(folder_, name);
    }
    retired_.clear();
    for (const std::string& name : named) written_.erase(name);
    saved_ = std::move(named);
}

}  // namespace murtesk
