#include "program_folder.h"

#include <limits.h>
#include <pwd.h>
#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace murtesk::platform {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLibrariesFromBin = "../lib/murtesk";
constexpr const char* kDataFromBin = "../share/murtesk";
constexpr const char* kDefaultProject = "DefaultQVD.qvd";
constexpr const char* kDefaultProjectFolder = "Murtesk";

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

std::string InFolder(std::string folder, std::string_view name) {
    if (folder.back() != '/') folder.push_back('/');
    folder.append(name);
    return folder;
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

std::string ChooseDefaultProject(const ProgramFolderInputs& inputs) {
    if (inputs.murteskHome.empty() && inputs.installed && !inputs.documents.empty())
        return InFolder(Normal(inputs.documents, kDefaultProjectFolder), kDefaultProject);
    return InFolder(ChooseProgramFolder(inputs), kDefaultProject);
}

std::string DocumentsFolderIn(std::string_view userDirs, const std::string& home) {
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
    std::string found;
    while (!userDirs.empty()) {
        const std::size_t end = userDirs.find('\n');
        std::string_view line = userDirs.substr(0, end);
        userDirs.remove_prefix(end == std::string_view::npos ? userDirs.size() : end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        // The value is a shell word: quotes removed, a backslash keeps the character after it.
        std::string value;
        bool quoted = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else if (line[i] == '\\' && i + 1 < line.size()) {
                value.push_back(line[++i]);
            } else if (!quoted && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
                break;
            } else {
                value.push_back(line[i]);
            }
        }
        found = value;  // the last line counts, as the shell that reads the file sets it last
    }
    constexpr std::string_view kHome = "$HOME";
    if (found.substr(0, kHome.size()) == kHome && (found.size() == kHome.size() || found[kHome.size()] == '/'))
        return home.empty() ? std::string() : WithoutTrailingSlashes(Normal(home, found.c_str() + kHome.size()));
    if (!found.empty() && found.front() == '/') return WithoutTrailingSlashes(Normal(found, ""));
    return home;
}

std::string DocumentsFolder() {
    const std::string home = UserHome();
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = home.empty() ? std::string() : Normal(home, ".config");
    std::string text;
    if (!config.empty()) {
        std::ifstream in(config + "/user-dirs.dirs", std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string documents = DocumentsFolderIn(text, home);
    std::error_code error;
    if (documents.empty() || !fs::is_directory(documents, error)) return home;
    return documents;
}

namespace {

ProgramFolderInputs InputsOfThisProcess(bool withDocuments) {
    ProgramFolderInputs inputs;
    inputs.murteskHome = Environment("MURTESK_HOME");
    if (!inputs.murteskHome.empty()) return inputs;
    inputs.executableFolder = ExecutableFolder();
    inputs.installed = LayoutOf(inputs.executableFolder).installed;
    inputs.executableFolderWritable = ::access(inputs.executableFolder.c_str(), W_OK) == 0;
    if (inputs.installed || !inputs.executableFolderWritable) {
        inputs.xdgDataHome = Environment("XDG_DATA_HOME");
        inputs.home = UserHome();
    }
    if (withDocuments && inputs.installed) inputs.documents = DocumentsFolder();
    return inputs;
}

}  // namespace

std::string ProgramFolder() { return ChooseProgramFolder(InputsOfThisProcess(false)); }

std::string DefaultProjectPath() { return ChooseDefaultProject(InputsOfThisProcess(true)); }

std::string ProgramFilePath(std::string_view name) { return InFolder(ProgramFolder(), name); }

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
