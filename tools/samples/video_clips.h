// Deterministic video clips for tests, benchmarks and first use, written with the FFmpeg libraries.
//
// Every picture carries its frame number as a row of large black and white blocks across its top quarter
// (bit 15 on the left, white is 1), big enough to survive lossy coding and scaling; readFrameNumber reads it
// back from a BGRA picture of any size. Below the blocks the picture shows a road with vehicles crossing it and
// a camera's grain (the Road scene) or a plain grey field. The sound, when there is one, is a steady 440 Hz tone with a
// short click at every whole second, and with the Road scene an engine noise that swells as each vehicle passes the
// middle of the picture.
#pragma once

#include <cstdint>
#include <string>

namespace murtesk::samples {

enum class VideoContainer {
    Mpeg4Mp3Avi,  // MPEG-4 Visual and MP3 in AVI, as the converter writes an AVI by default (a keyframe every 12)
    H264AacMp4,   // H.264 and AAC in MP4 (a keyframe every 250 frames unless told otherwise)
    MjpegPcmAvi,  // Motion JPEG and 16-bit PCM in AVI (every frame a keyframe)
    H264Raw,      // a bare H.264 stream: no container, no duration, no index (video only)
};

enum class VideoScene { Blocks, Road };

struct VideoClipOptions {
    VideoContainer container = VideoContainer::Mpeg4Mp3Avi;
    VideoScene scene = VideoScene::Blocks;
    int width = 320;
    int height = 240;
    int fps = 30;
    double seconds = 2.0;
    bool video = true;
    bool audio = true;
    int audioRate = 44100;
    int keyframeInterval = 0;  // 0: the coder's default for the container (12, 250 or 1)
    int64_t videoBitRate = 0;  // 0: the converter's default for the coder
    const char* x264Preset = "medium";
};

// A minute of the road scene as a field camera records it: 1080p H.264 with AAC in MP4, 30 frames a second, a key
// frame every 250 (the clip the video benchmarks decode).
inline VideoClipOptions RoadClip1080p() {
    VideoClipOptions o;
    o.container = VideoContainer::H264AacMp4;
    o.scene = VideoScene::Road;
    o.width = 1920;
    o.height = 1080;
    o.fps = 30;
    o.seconds = 60.0;
    o.keyframeInterval = 250;
    return o;
}

// Writes the clip; false (with the reason in *error when given) when a coder is missing or the file cannot be
// written. A partly written file is removed.
bool writeVideoClip(const std::string& path, const VideoClipOptions& options, std::string* error = nullptr);

// The number of frames the clip holds: seconds × fps, rounded to the nearest.
int64_t videoClipFrames(const VideoClipOptions& options);

// The frame number drawn in a BGRA picture (4 bytes a pixel, rows `stride` bytes apart), or -1 when a block
// is neither clearly black nor clearly white.
int32_t readFrameNumber(const uint8_t* bgra, int stride, int width, int height);

}  // namespace murtesk::samples
