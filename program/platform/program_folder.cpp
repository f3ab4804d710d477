#include "program_folder.h"

#include <cstdlib>
#include <limits.h>
#include <unistd.h>

namespace murtesk::platform {

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

std::string ProgramFolder() {
    const char* home = std::getenv("MURTESK_HOME");
    if (home != nullptr && *home != '\0') {
        std::string folder(home);
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }
    return ExecutableFolder();
}

std::string ProgramFilePath(std::string_view name) {
    std::string folder = ProgramFolder();
    if (folder.back() != '/') folder.push_back('/');
    folder.append(name);
    return folder;
}

}  // namespace murtesk::platform
