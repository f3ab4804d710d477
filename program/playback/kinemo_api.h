// The video library as the program uses it: the twelve player exports and the four conversions of kinemo.h,
// behind an interface so that a window can be driven by a scripted fake in tests. KinemoLibrary is the real one.
#pragma once

#include <cstdint>

#include "kinemo.h"

namespace murtesk::playback {

class KinemoApi {
public:
    virtual ~KinemoApi() = default;
    virtual std::int32_t OpenAvi(const KinemoHost* host, const char* name) = 0;
    virtual std::int32_t CloseAvi() = 0;
    virtual std::int32_t GetAviTime() = 0;
    virtual std::int32_t GetAviPosition() = 0;
    virtual std::int32_t SetAviPosition(std::int32_t ms) = 0;
    virtual std::int32_t SetAviRange(std::int32_t startMs, std::int32_t stopMs) = 0;
    virtual std::int32_t AviStart() = 0;
    virtual std::int32_t AviPause() = 0;
    virtual void AviStop() = 0;
    virtual std::int32_t AviIsCanSeek() = 0;
    virtual std::int32_t AviGraphEvent() = 0;
    virtual std::int32_t ReSizeWindow() = 0;
    virtual std::int32_t AviToBmp(const char* video, const char* bitmap, std::int32_t ms) = 0;
    virtual std::int32_t GetVideoWithHeight(const char* video, std::int32_t* width, std::int32_t* height) = 0;
    virtual std::int32_t ExtractAvi(const char* source, const char* target, std::int32_t startMs,
                                    std::int32_t endMs) = 0;
    virtual std::int32_t Bmp2Avi(const char* bitmap, const char* wav, const char* target, double fps,
                                 std::int32_t frames, std::int32_t width, std::int32_t height, std::int32_t channels,
                                 std::int32_t sampleRate) = 0;
};

}  // namespace murtesk::playback
