// libKinemo.so bound by name from the program's library folder at the first call of one of its functions, each
// function with the type kinemo.h declares. Without the library (or a function) every call answers as the
// library does without a player: OpenAvi 0, CloseAvi 1, GetAviPosition -1, the others 0 (the conversions too);
// AviStop does nothing.
#pragma once

#include <memory>
#include <string>

#include "playback/kinemo_api.h"

namespace murtesk::playback {

class KinemoLibrary final : public KinemoApi {
public:
    // `folder`: where libKinemo.so lies (default: the program's library folder).
    explicit KinemoLibrary(std::string folder = {});
    ~KinemoLibrary() override;

    std::int32_t OpenAvi(const KinemoHost* host, const char* name) override;
    std::int32_t CloseAvi() override;
    std::int32_t GetAviTime() override;
    std::int32_t GetAviPosition() override;
    std::int32_t SetAviPosition(std::int32_t ms) override;
    std::int32_t SetAviRange(std::int32_t startMs, std::int32_t stopMs) override;
    std::int32_t AviStart() override;
    std::int32_t AviPause() override;
    void AviStop() override;
    std::int32_t AviIsCanSeek() override;
    std::int32_t AviGraphEvent() override;
    std::int32_t ReSizeWindow() override;
    std::int32_t AviToBmp(const char* video, const char* bitmap, std::int32_t ms) override;
    std::int32_t GetVideoWithHeight(const char* video, std::int32_t* width, std::int32_t* height) override;
    std::int32_t ExtractAvi(const char* source, const char* target, std::int32_t startMs, std::int32_t endMs) override;
    std::int32_t Bmp2Avi(const char* bitmap, const char* wav, const char* target, double fps, std::int32_t frames,
                         std::int32_t width, std::int32_t height, std::int32_t channels,
                         std::int32_t sampleRate) override;

private:
    struct Exports;
    std::unique_ptr<Exports> exports_;
};

}  // namespace murtesk::playback
