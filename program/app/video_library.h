// The video library's functions as the calculation screen calls them: the player opened on a file
// to learn whether it plays, and closed again; the size of a file's pictures, which says whether it
// has any, and how many it has, which says whether they move; a span of a video written as a new
// AVI file. They go to the program's one binding of the library (bindings/kinemo_binding.h); a
// missing library or function answers as the library does without a player or a file (OpenAvi 0,
// CloseAvi 1, GetAviTime 0, GetVideoWithHeight 0, GetVideoPictureCount 0, ExtractAvi 0). Paths
// are UTF-8.
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
    // The length of the open video in milliseconds; 0 when none is open or it is not known.
    virtual std::int32_t GetAviTime() { return 0; }
    // The native size of the pictures of `name`: 1 when it has a video stream whose first picture
    // decodes; 0, leaving both as they are, for a file of sound only (or a cover picture only), one
    // whose pictures do not decode, and while a player is open.
    virtual std::int32_t GetVideoWithHeight(const std::string& name, std::int32_t& width, std::int32_t& height) = 0;
    // How many pictures of `name` decode at different times, counted to `most` (the file is read up to
    // the picture that reaches it): 1 for one still picture (an image file, a stream of one picture);
    // 0 for a file without pictures and while a player is open.
    virtual std::int32_t GetVideoPictureCount(const std::string& name, std::int32_t most) = 0;
    // [startMs, endMs) of `source` as the AVI file `target`, written whole or not at all; 1 when written.
    virtual std::int32_t ExtractAvi(const std::string& source, const std::string& target, std::int32_t startMs,
                                    std::int32_t endMs) = 0;
};

// The library the screens use: the program's binding unless a test has set another.
VideoLibrary& g_VideoLibrary();
// Puts another library in the binding's place (null: the binding again). For tests.
void SetVideoLibrary(VideoLibrary* library);

}  // namespace murtesk
