#include "own_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

namespace murtesk::platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMaking = "murtesk-new-";
constexpr std::string_view kNamed = "murtesk-copy-";

bool IsFolder(const char* path) {
    struct stat st {};
    return path != nullptr && *path != '\0' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

int OpenFolder(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

void RemoveAll(const std::string& path) {
    std::error_code ec;
    fs::remove_all(fs::path(path), ec);
}

}  // namespace

std::vector<std::string> OwnFoldersParents() {
    std::vector<std::string> parents;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (IsFolder(runtime)) parents.emplace_back(runtime);
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    const std::string temp = ec ? std::string("/tmp") : temporary.string();
    if (parents.empty() || !fs::equivalent(parents.front(), temp, ec)) parents.push_back(temp);
    return parents;
}

void RemoveLeftoverOwnFolders(const std::string& parent) {
    DIR* dir = ::opendir(parent.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.starts_with(kNamed)) names.emplace_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string path = parent + "/" + name;
        const int fd = OpenFolder(path);  // a link is no folder of ours
        if (fd < 0) continue;
        struct stat st {};
        // The lock is taken only where its holder has ended: a running program keeps its own.
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            RemoveAll(path);
        }
        ::close(fd);
    }
}

std::unique_ptr<OwnFolder> OwnFolder::Make(const std::string& parentIn) {
    const std::string parent = parentIn.empty() ? OwnFoldersParents().front() : parentIn;
    RemoveLeftoverOwnFolders(parent);
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string making = parent + "/" + std::string(kMaking) + "XXXXXX";
        if (::mkdtemp(making.data()) == nullptr) return nullptr;
        const int fd = OpenFolder(making);
        if (fd < 0) {
            ::rmdir(making.c_str());
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // Without a lock the folder could not tell a running program from one that ended: it keeps
            // the name no run removes.
            return std::unique_ptr<OwnFolder>(new OwnFolder(making, fd));
        }
        const std::string named = parent + "/" + std::string(kNamed) + making.substr(making.size() - 6);
        if (::renameat2(AT_FDCWD, making.c_str(), AT_FDCWD, named.c_str(), RENAME_NOREPLACE) == 0) {
            return std::unique_ptr<OwnFolder>(new OwnFolder(named, fd));
        }
        if (errno != EEXIST) {
            // A file system that cannot rename so: as without a lock.
            return std::unique_ptr<OwnFolder>(new OwnFolder(making, fd));
        }
        ::close(fd);
        ::rmdir(making.c_str());
    }
    return nullptr;
}

OwnFolder::~OwnFolder() {
    RemoveAll(path_);
    ::close(fd_);
}

}  // namespace murtesk::platform
