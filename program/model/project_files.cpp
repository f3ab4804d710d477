#include "model/project_files.h"

#include <filesystem>
#include <system_error>

namespace murtesk {

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos &&
           name.find("..") == std::string_view::npos;
}

std::optional<std::string> PathInFolder(const std::string& folder, std::string_view name) {
    if (!IsPlainFileName(name)) return std::nullopt;
    return (std::filesystem::path(folder) / std::filesystem::path(std::string(name))).string();
}

bool DeleteFileIn(const std::string& folder, std::string_view name) {
    const auto path = PathInFolder(folder, name);
    if (!path) return true;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(*path, ec))) return true;
    return std::filesystem::remove(*path, ec) || !ec;
}

}  // namespace murtesk
