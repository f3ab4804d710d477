// The video library's functions as the calculation screen calls them: the player opened on a file
// to learn whether it plays, and closed again. The program's binding loads libKinemo.so from the
// program's folder at the first call; a missing library or function answers as the library does
// without a player (OpenAvi 0, CloseAvi 1). Paths are UTF-8.
#pragma once

#include "kinemo.h"

#include <cstdint>
#include <string>

namespace murtesk {

class VideoLibrary {
public:
    virtual ~VideoLibrary();
    virtual std::int32_t OpenAvi(const KinemoHost* host, const std::string& name) = 0;
    virtual std::int32_t CloseAvi() = 0;
};

// The library the screens use: the program's binding unless a test has set another.
VideoLibrary& g_VideoLibrary();
// Puts another library in the binding's place (null: the binding again). For tests.
void SetVideoLibrary(VideoLibrary* library);

}  // namespace murtesk
