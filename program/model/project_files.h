// Deleting the files that belong to a project's records. The names come from project files, so
// only a plain file name is taken as one: a name never reaches outside its folder.
#pragma once

#include <string>
#include <string_view>

namespace murtesk {

// True for a name that denotes a file directly inside a folder: not empty, no separator ("/" or
// "\"), no "..", no NUL.
bool IsPlainFileName(std::string_view name);

// Deletes the regular file `name` in `folder`. Anything else (an unsafe name, a missing file, a
// folder, a link, a file that cannot be deleted) is passed over silently.
void DeleteFileIn(const std::string& folder, std::string_view name);

}  // namespace murtesk
