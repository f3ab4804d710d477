// The video library's player as the program uses it: the twelve player exports of kinemo.h, behind an interface
// so that a window can be driven by a scripted fake in tests. KinemoLibrary is the real one.
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
};

}  // namespace murtesk::playback
