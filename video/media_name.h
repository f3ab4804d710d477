// Names of files the player refuses: Windows Media files, recognised by ".asf", ".wma", ".wmv" or ".asx"
// anywhere in the name (in any case, so also "a.wmv.avi" or a folder "x.asf/"), as the desktop's own players
// hand them to a component this program does not have.
#pragma once

#include <string_view>

namespace murtesk::video {

bool IsWindowsMediaName(std::string_view name);

}  // namespace murtesk::video
