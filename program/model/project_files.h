// The files that belong to a project's records, found by the names the records keep. The names
// come from project files, so only a plain file name is taken as one: a name never reaches
// outside its folder, whether a file is read, written or deleted through it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace murtesk {

// True for a name that denotes a file directly inside a folder: not empty, not ".", no separator
// ("/" or "\"), no "..", no NUL.
bool IsPlainFileName(std::string_view name);

// The path of the file `name` in `folder`; none when the name is not a plain file name.
std::optional<std::string> PathInFolder(const std::string& folder, std::string_view name);

// Deletes the regular file `name` in `folder`. Anything else (an unsafe name, a missing file, a
// folder, a link, a file that cannot be deleted) is passed over silently. False only when a regular
// file of that name is there and could not be deleted.
bool DeleteFileIn(const std::string& folder, std::string_view name);

}  // namespace murtesk
