// A scratch folder for a test: a new, empty folder of its own in the system's temporary folder
// ($TMPDIR when set, else /tmp), named "murtesk-<tag>-XXXXXX". It is removed with everything in it
// when the object goes, whether the test passed or failed; a folder inside it that a test made
// read-only is made writable again first, so that nothing is left behind.
//
// A death test's child process ends with _Exit and so never removes what it made; a child of the
// "threadsafe" style even runs the whole test again. Such a child makes its folders inside a folder of
// the test program that started it (named to a started child by MURTESK_SCRATCH_CHILDREN, known to a
// forked one), which the program removes when it ends.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace murtesk::test_support {

class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view tag = "test") : path_(Make(Home(), tag)) {}
    ~ScratchFolder() { Remove(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of `name` in the folder.
    std::string file(std::string_view name) const { return (path_ / name).string(); }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Removes `path` with everything in it; folders a test left without write or search permission
    // get them back first.
    static void Remove(const std::filesystem::path& path) {
        namespace fs = std::filesystem;
        std::error_code ec;
        if (fs::remove_all(path, ec) != static_cast<std::uintmax_t>(-1) && !ec) {
            return;
        }
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(path, ec);
    }

private:
    static constexpr const char* kChildrenVariable = "MURTESK_SCRATCH_CHILDREN";

    static std::filesystem::path Make(const std::filesystem::path& home, std::string_view tag) {
        std::string pattern = (home / ("murtesk-" + std::string(tag) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder from " + pattern);
        }
        return pattern;
    }

    // Where new folders go: the temporary folder, or in a child process of a test program, that
    // program's folder for its children.
    static std::filesystem::path Home() {
        // Read once, before this program names its own folder for its children.
        static const std::string inherited = [] {
            const char* children = getenv(kChildrenVariable);
            return std::string(children != nullptr ? children : "");
        }();
        if (!inherited.empty()) {
            return inherited;  // a child started by a test program
        }
        // Made by the first scratch folder of the program, before any death test can start a child;
        // removed as the program ends (a forked child ends with _Exit and removes nothing).
        static const struct Children {
            Children() : owner(getpid()), path(Make(std::filesystem::temp_directory_path(), "children")) {
                setenv(kChildrenVariable, path.c_str(), 1);
            }
            ~Children() {
                if (getpid() == owner) {
                    unsetenv(kChildrenVariable);
                    Remove(path);
                }
            }
            pid_t owner;
            std::filesystem::path path;
        } children;
        if (getpid() != children.owner) {
            return children.path;  // a child forked from this program
        }
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

}  // namespace murtesk::test_support
