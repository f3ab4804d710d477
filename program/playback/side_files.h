// The names of a video's side files: the video's path with its last three characters replaced by "car" (the
// vehicle counts) or "kmh" (the speeds), so "…/RecWav/24-5-1-9_30_0.avi" keeps its counts in
// "…/RecWav/24-5-1-9_30_0.car". Characters are UTF-8 characters, not bytes; a path of fewer than three
// characters is replaced whole.
#pragma once

#include <string>

namespace murtesk::playback {

std::string CarCountFilePath(const std::string& videoPath);
std::string SpeedFilePath(const std::string& videoPath);

}  // namespace murtesk::playback
