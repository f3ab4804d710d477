#include "media_name.h"

#include <algorithm>
#include <string>

namespace murtesk::video {

bool IsWindowsMediaName(std::string_view name) {
    std::string lower(name);
    // ASCII only: a byte of a multibyte UTF-8 character is never one of these letters.
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const char* extension : {".asf", ".wma", ".wmv", ".asx"})
        if (lower.find(extension) != std::string::npos) return true;
    return false;
}

}  // namespace murtesk::video
