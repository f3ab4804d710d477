#include "model/leftover_record.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/binary_file.h"

namespace murtesk {
namespace {

bool IsHistogramName(std::string_view name) {
    return name.size() > 4 && name.size() <= 255 && name.front() != '.' && name.ends_with(".ldt") &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                      c == '_' || c == '.';
           });
}

// Folds the lines of a record into the names it lists and those it notes only.
void Fold(std::string_view text, std::set<std::string>& names, std::set<std::string>& intended) {
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.size() < 2 || !IsHistogramName(line.substr(1))) continue;
        const std::string name(line.substr(1));
        if (line.front() == '+') {
            names.insert(name);
            intended.erase(name);
        } else if (line.front() == '?') {
            if (!names.contains(name)) intended.insert(name);
        } else if (line.front() == '-') {
            names.erase(name);
            intended.erase(name);
        }
    }
}

}  // namespace

std::string LeftoverRecord::PathOf(const std::string& projectPath) { return projectPath + ".pending"; }

bool LeftoverRecord::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    path_.clear();
    file_.Close();
    names_.clear();
    intended_.clear();
    // A rewrite of the record that was killed left its temporary file beside it (Rewrite removes it only
    // when it has something to write).
    platform::RemoveLeftoverTemporaries(path);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(path, ec);
    if (ec && ec != std::errc::no_such_file_or_directory) return false;
    if (std::filesystem::exists(status)) {
        platform::BinaryFile in;
        if (!std::filesystem::is_regular_file(status) || !in.OpenRead(path)) return false;
        std::string text(static_cast<std::size_t>(in.Size()), '\0');
        if (!in.Read(text.data(), text.size())) return false;
        Fold(text, names_, intended_);
    }
    path_ = path;
    return true;
}

bool LeftoverRecord::is_open() const {
    std::lock_guard lock(mutex_);
    return !path_.empty();
}

bool LeftoverRecord::Intend(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (path_.empty() || names_.contains(name) || intended_.contains(name)) return false;
    if (!IsHistogramName(name) || (!file_.is_open() && !file_.Open(path_)) || !file_.Append("?" + name)) return false;
    intended_.insert(name);
    return true;
}

void LeftoverRecord::Withdraw(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (path_.empty() || !intended_.contains(name)) return;
    // Where the line cannot be written the note stays, and the next holder finds a file with content there.
    if ((file_.is_open() || file_.Open(path_)) && file_.Append("-" + name)) intended_.erase(name);
}

bool LeftoverRecord::Add(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (path_.empty()) return true;
    if (!IsHistogramName(name) || (!file_.is_open() && !file_.Open(path_)) || !file_.Append("+" + name)) return false;
    names_.insert(name);
    intended_.erase(name);
    return true;
}

bool LeftoverRecord::Remove(const std::string& name) {
    std::lock_guard lock(mutex_);
    if (path_.empty() || (!names_.contains(name) && !intended_.contains(name))) return true;
    const bool written = (file_.is_open() || file_.Open(path_)) && file_.Append("-" + name);
    if (written) intended_.erase(name);
    // A note alone lets no file with content go, nor one a live writer holds: the file may go though the
    // line could not be written (a full disk).
    if (!names_.contains(name)) return true;
    if (written) names_.erase(name);
    return written;
}

void LeftoverRecord::Forget(const std::string& name) {
    std::lock_guard lock(mutex_);
    names_.erase(name);
    intended_.erase(name);
}

std::set<std::string> LeftoverRecord::Names() const {
    std::lock_guard lock(mutex_);
    return names_;
}

std::set<std::string> LeftoverRecord::Intended() const {
    std::lock_guard lock(mutex_);
    return intended_;
}

bool LeftoverRecord::Rewrite() {
    std::lock_guard lock(mutex_);
    if (path_.empty()) return true;
    // Lines appended from now on go to the file written here.
    file_.Close();
    if (names_.empty() && intended_.empty()) {
        std::error_code ec;
        const std::filesystem::file_status status = std::filesystem::symlink_status(path_, ec);
        if (!std::filesystem::is_regular_file(status)) return !std::filesystem::exists(status);
        return std::filesystem::remove(path_, ec) || !ec;
    }
    std::string text;
    for (const std::string& name : names_) text += "+" + name + "\n";
    for (const std::string& name : intended_) text += "?" + name + "\n";
    // The record can be made again from what the program does next: the rename suffices.
    return platform::ReplaceFile(path_, [&](platform::BinaryFile& file) { return file.Write(text); },
                                 platform::Durability::kRenamed);
}

void LeftoverRecord::Close() {
    // A record that could not be written again still lists what it listed: the next holder deletes
    // those of them its project file does not name.
    Rewrite();
    std::lock_guard lock(mutex_);
    path_.clear();
    names_.clear();
    intended_.clear();
}

}  // namespace murtesk
