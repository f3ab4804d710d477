#include "model/histogram_files.h"

#include "model/level_accumulator.h"
#include "model/project_files.h"
#include "platform/atomic_file.h"

namespace murtesk {

namespace {

// A histogram file holds at most this much; anything longer reads as no histogram, so is not copied.
constexpr std::uint64_t kMostHistogramBytes = sizeof(std::int32_t) * kHistogramBins;

}  // namespace

void HistogramFiles::BeginProject(std::string folder, const std::vector<std::string>& names) {
    std::lock_guard lock(mutex_);
    DeleteUnsaved();
    open_ = true;
    folder_ = std::move(folder);
    saved_ = std::set<std::string>(names.begin(), names.end());
}

void HistogramFiles::Hold(const std::string& record) {
    std::lock_guard lock(mutex_);
    if (!open_ || !record_.Open(record)) return;
    for (const std::string& name : record_.Names()) {
        // What a killed write of the file left beside it is this project's as the file is.
        if (const auto path = PathInFolder(folder_, name)) platform::RemoveLeftoverTemporaries(*path);
        if (saved_.contains(name)) {
            record_.Forget(name);
        } else if (!DeleteListed(name)) {
            stale_.insert(name);
        }
    }
    // Noted only: the killed run died between making the file and listing it, before it wrote anything,
    // or the name was another's. Only the first kind is an empty file whose lock is free.
    for (const std::string& name : record_.Intended()) {
        const auto path = PathInFolder(folder_, name);
        if (path && !saved_.contains(name)) platform::RemoveAbandonedNewFile(*path);
        record_.Forget(name);
    }
    record_.Rewrite();
}

bool HistogramFiles::BeginProjectWithoutSaving(const std::string& folder, const std::vector<std::string>& names,
                                               std::unique_ptr<platform::OwnFolder> own) {
    std::lock_guard lock(mutex_);
    DeleteUnsaved();
    open_ = true;
    withoutSaving_ = true;
    own_ = std::move(own);
    folder_ = own_ ? own_->path() : folder;
    saved_ = std::set<std::string>(names.begin(), names.end());
    if (!own_) return true;
    for (const std::string& name : saved_) {
        const auto from = PathInFolder(folder, name);
        const auto to = PathInFolder(folder_, name);
        platform::BinaryFile in;
        // What is missing or no histogram there is missing here too.
        if (!from || !to || !in.OpenRead(*from) || in.Size() > kMostHistogramBytes) continue;
        std::vector<char> bytes(in.Size());
        if (!in.Read(bytes.data(), bytes.size())) continue;
        platform::BinaryFile out;
        // A copy that could not be written whole is no copy: it would read as missing statistics.
        if (!out.OpenWrite(*to) || !out.Write(bytes.data(), bytes.size()) || !out.Close()) {
            DeleteFileIn(folder_, name);
            return false;
        }
    }
    return true;
}

std::optional<std::string> HistogramFiles::OwnFolder() const {
    std::lock_guard lock(mutex_);
    if (!own_) return std::nullopt;
    return own_->path();
}

void HistogramFiles::EndProject() {
    std::lock_guard lock(mutex_);
    DeleteUnsaved();
    open_ = false;
    folder_.clear();
}

void HistogramFiles::DeleteUnsaved() {
    // A project opened without saving: its folder of this run's own goes below with all it holds.
    if (!withoutSaving_) {
        for (const std::string& name : written_) DeleteListed(name);
    }
    // Those let go stay while the saved project file names them.
    for (const std::string& name : saved_) record_.Forget(name);
    written_.clear();
    retired_.clear();
    saved_.clear();
    unflushed_.clear();
    stale_.clear();
    // What could not be deleted stays listed for the next holder.
    record_.Close();
    withoutSaving_ = false;
    own_.reset();
}

bool HistogramFiles::DeleteListed(const std::string& name) {
    if (!record_.Remove(name)) return false;
    if (DeleteFileIn(folder_, name)) return true;
    record_.Add(name);
    return false;
}

bool HistogramFiles::Write(const std::string& folder, std::string& name,
                           const std::function<bool(platform::BinaryFile&)>& write) {
    bool inPlace = false;
    bool replacesSaved = false;
    {
        std::lock_guard lock(mutex_);
        if (Refuses(folder)) return false;
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
        // Noted before the file exists and listed before anything is in it: a run killed at any moment
        // leaves the file noted or listed (leftover_record.h). Where the record cannot take the lines the
        // file is in none, and a killed run leaves it for good rather than guess.
        const bool noted = record_.Intend(candidate);
        platform::BinaryFile file;
        const platform::NewFileResult result = platform::CreateNewFile(*path, file);
        if (result != platform::NewFileResult::kCreated) {
            if (noted) record_.Withdraw(candidate);
            if (result == platform::NewFileResult::kFailed) return false;
            continue;
        }
        record_.Add(candidate);
        if (!write(file) || !file.Close()) {
            file.Close();
            std::lock_guard lock(mutex_);
            DeleteListed(candidate);
            return false;
        }
        std::lock_guard lock(mutex_);
        written_.insert(candidate);
        if (replacesSaved) {
            retired_.insert(name);
            record_.Add(name);
        }
        name = candidate;
        return true;
    }
    return false;
}

void HistogramFiles::Drop(const std::string& folder, std::string& name, bool rename) {
    std::unique_lock lock(mutex_);
    if (Refuses(folder)) return;
    if (!Tracks(folder)) {
        DeleteFileIn(folder, name);
        return;
    }
    if (!saved_.contains(name)) {
        written_.erase(name);
        unflushed_.erase(name);
        DeleteListed(name);
        return;
    }
    retired_.insert(name);
    record_.Add(name);
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
    // What an earlier deletion left is tried again; what fails stays listed for the next holder.
    std::set<std::string> stale;
    for (const std::string& name : retired_) {
        if (!named.contains(name) && !DeleteListed(name)) stale.insert(name);
    }
    for (const std::string& name : stale_) {
        if (!named.contains(name) && !DeleteListed(name)) stale.insert(name);
    }
    retired_.clear();
    stale_ = std::move(stale);
    for (const std::string& name : named) {
        written_.erase(name);
        record_.Forget(name);
    }
    saved_ = std::move(named);
    record_.Rewrite();
}

}  // namespace murtesk
