#include "program_folder.h"

#include <limits.h>
#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace murtesk::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLibrariesFromBin = "../lib/murtesk";
constexpr const char* kDataFromBin = "../share/murtesk";

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

std::string Normal(const std::string& folder, const char* relative) {
    return fs::path(folder + "/" + relative).lexically_normal().string();
}

std::string UserHome() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr)
        return found->pw_dir;
    return {};
}

}  // namespace

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(length));
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

ProgramLayout LayoutOf(const std::string& executableFolder) {
    std::error_code error;
    const std::string libraries = Normal(executableFolder, kLibrariesFromBin);
    if (fs::is_directory(libraries, error)) return {true, libraries, Normal(executableFolder, kDataFromBin)};
    return {false, executableFolder, {}};
}

std::string LibraryFolder() { return LayoutOf(ExecutableFolder()).libraries; }

std::string DataFolder() { return LayoutOf(ExecutableFolder()).data; }

std::string ChooseProgramFolder(const ProgramFolderInputs& inputs) {
    if (!inputs.murteskHome.empty()) return WithoutTrailingSlashes(inputs.murteskHome);
    if (!inputs.installed && inputs.executableFolderWritable) return inputs.executableFolder;
    // Relative values of XDG_DATA_HOME are invalid and ignored.
    if (!inputs.xdgDataHome.empty() && inputs.xdgDataHome.front() == '/') return Normal(inputs.xdgDataHome, "murtesk");
    if (!inputs.home.empty()) return Normal(inputs.home, ".local/share/murtesk");
    return inputs.executableFolder;  // no home at all: the only folder left
}

std::string ProgramFolder() {
    ProgramFolderInputs inputs;
    inputs.murteskHome = Environment("MURTESK_HOME");
    if (!inputs.murteskHome.empty()) return ChooseProgramFolder(inputs);
    inputs.executableFolder = ExecutableFolder();
    inputs.installed = LayoutOf(inputs.executableFolder).installed;
    inputs.executableFolderWritable = ::access(inputs.executableFolder.c_str(), W_OK) == 0;
    if (inputs.installed || !inputs.executableFolderWritable) {
        inputs.xdgDataHome = Environment("XDG_DATA_HOME");
        inputs.home = UserHome();
    }
    return ChooseProgramFolder(inputs);
}

std::string ProgramFilePath(std::string_view name) {
    std::string folder = ProgramFolder();
    if (folder.back() != '/') folder.push_back('/');
    folder.append(name);
    return folder;
}

bool CreateProgramFolder(std::string& error) {
    const std::string folder = ProgramFolder();
    std::error_code code;
    fs::create_directories(folder, code);
    std::error_code isFolder;
    if (fs::is_directory(folder, isFolder)) return true;
    error = folder + ": " + (code ? code.message() : std::string("not a folder"));
    return false;
}

}  // namespace murtesk::platform
