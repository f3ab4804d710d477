#include "model/project_parts.h"

#include "model/band_slots.h"
#include "model/leftover_record.h"
#include "model/shared_procedures.h"
#include "platform/project_lock.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace murtesk {

namespace {

namespace fs = std::filesystem;

struct FileId {
    dev_t device;
    ino_t inode;
    bool operator==(const FileId&) const = default;
};

std::optional<FileId> IdOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileId{st.st_dev, st.st_ino};
}

bool Same(const std::optional<FileId>& a, const std::optional<FileId>& b) { return a && b && *a == *b; }

// The path with every link and "." or ".." resolved; none when it does not exist.
std::optional<std::string> Resolved(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return std::string(resolved.get());
}

// A path as the identity of its folder and its own name.
struct Place {
    std::optional<FileId> folder;
    std::string name;
};

Place PlaceOf(const std::string& path) {
    const fs::path p(path);
    const fs::path folder = p.parent_path();
    return {IdOf(folder.empty() ? std::string(".") : folder.string()), p.filename().string()};
}

class Target {
public:
    explicit Target(const std::string& path) : id_(IdOf(path)) {
        places_.push_back(PlaceOf(path));
        // A link at the target's name counts as where it leads.
        if (const std::optional<std::string> resolved = Resolved(path); resolved && *resolved != path) {
            places_.push_back(PlaceOf(*resolved));
        }
    }

    bool Is(const std::string& file) const {
        if (Same(id_, IdOf(file))) return true;
        const Place place = PlaceOf(file);
        for (const Place& at : places_) {
            if (Same(at.folder, place.folder) && at.name == place.name) return true;
        }
        return false;
    }

    bool In(const std::string& folder) const {
        const std::optional<FileId> id = IdOf(folder);
        for (const Place& at : places_) {
            if (Same(at.folder, id)) return true;
        }
        return false;
    }

private:
    std::optional<FileId> id_;
    std::vector<Place> places_;
};

ProjectPart PartOf(const std::string& project, const Target& target) {
    if (target.Is(project)) return ProjectPart::kProjectFile;
    if (target.Is(platform::ProjectLockPath(project))) return ProjectPart::kLockFile;
    if (target.Is(LeftoverRecord::PathOf(project))) return ProjectPart::kLeftoverRecord;
    if (target.In(GetLCalcFolder(project))) return ProjectPart::kStatisticsFolder;
    if (target.In(GetRecWavFolder(project))) return ProjectPart::kRecordingFolder;
    std::set<std::string> bandFolders;
    for (const std::int16_t mode : {kOctaveBandMode, kOneThirdOctaveBandMode}) {
        for (std::int16_t slot = 1; slot <= SlotCount(mode); ++slot) {
            bandFolders.insert(GetBandFolder(project, mode, slot));
        }
    }
    for (const std::string& folder : bandFolders) {
        if (target.In(folder)) return ProjectPart::kLevelFolder;
    }
    return ProjectPart::kNone;
}

}  // namespace

ProjectPart ProjectPartAt(const std::string& projectPath, const std::string& target) {
    if (projectPath.empty() || target.empty()) return ProjectPart::kNone;
    const Target at(target);
    ProjectPart part = PartOf(projectPath, at);
    if (part == ProjectPart::kNone) {
        if (const std::optional<std::string> resolved = Resolved(projectPath); resolved && *resolved != projectPath) {
            part = PartOf(*resolved, at);
        }
    }
    return part;
}

}  // namespace murtesk
