#include "playback/side_files.h"

namespace murtesk::playback {

namespace {

std::string ReplaceLastThree(const std::string& path, const char* replacement) {
    std::size_t end = path.size();
    for (int characters = 0; characters < 3 && end > 0; ++characters) {
        --end;
        while (end > 0 && (static_cast<unsigned char>(path[end]) & 0xC0) == 0x80)  // a continuation byte
            --end;
    }
    return path.substr(0, end) + replacement;
}

}  // namespace

std::string CarCountFilePath(const std::string& videoPath) { return ReplaceLastThree(videoPath, "car"); }

std::string SpeedFilePath(const std::string& videoPath) { return ReplaceLastThree(videoPath, "kmh"); }

}  // namespace murtesk::playback
