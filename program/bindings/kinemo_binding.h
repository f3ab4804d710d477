// The program's one binding of the Kinemo video library (libKinemo.so in the program's library folder): each
// function bound by name at the first call with the type kinemo.h declares. Without the library (or a function)
// every call answers as the library does without a player: OpenAvi 0, CloseAvi 1, GetAviPosition -1, the others 0.
//
// It serves the two narrow interfaces the screens call: the player the video observation window drives
// (KinemoApi) and, through program/app/video_library.h, the calculation screen's tests of a file and its cut of a
// span. It also reads what the FFmpeg libraries the library links say of themselves, for the version window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kinemo.h"

namespace murtesk {

// The player as the video observation window drives it, behind an interface so that the window can be driven by a
// scripted fake in tests.
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
    virtual std::int32_t AviIsCanSeek() = 0;
    virtual std::int32_t AviGraphEvent() = 0;
    virtual std::int32_t ReSizeWindow() = 0;
};

// What the FFmpeg libraries that the video library links report of themselves at run time.
struct FfmpegReport {
    // FFmpeg's version (av_version_info); empty when it cannot be read.
    std::string version;
    // Each library the video library links, with the licence it reports (avformat_license …), in the order
    // libavformat, libavcodec, libswscale, libswresample, libavutil; a licence is empty when it cannot be read.
    std::vector<std::pair<std::string, std::string>> licences;
};

class KinemoLibrary final : public KinemoApi {
public:
    // `folder`: where libKinemo.so lies (default: the program's library folder).
    explicit KinemoLibrary(std::string folder = {});
    ~KinemoLibrary() override;
    KinemoLibrary(const KinemoLibrary&) = delete;
    KinemoLibrary& operator=(const KinemoLibrary&) = delete;

    std::int32_t OpenAvi(const KinemoHost* host, const char* name) override;
    std::int32_t CloseAvi() override;
    std::int32_t GetAviTime() override;
    std::int32_t GetAviPosition() override;
    std::int32_t SetAviPosition(std::int32_t ms) override;
    std::int32_t SetAviRange(std::int32_t startMs, std::int32_t stopMs) override;
    std::int32_t AviStart() override;
    std::int32_t AviPause() override;
    std::int32_t AviIsCanSeek() override;
    std::int32_t AviGraphEvent() override;
    std::int32_t ReSizeWindow() override;
    // [startMs, endMs) of `source` as the AVI file `target`, written whole or not at all; 1 when written.
    std::int32_t ExtractAvi(const char* source, const char* target, std::int32_t startMs, std::int32_t endMs);
    // The native size of the pictures of `video`: 1 when it has a video stream whose first picture decodes; 0,
    // writing nothing, when it has none (sound only, a cover picture only) or a player is open.
    std::int32_t GetVideoWithHeight(const char* video, std::int32_t* width, std::int32_t* height);
    // How many pictures of `video` decode at different times, counted to `most`: 1 for one still picture; 0 when it
    // has no picture or a player is open.
    std::int32_t GetVideoPictureCount(const char* video, std::int32_t most);
    // FFmpeg's reports, looked up among the libraries loaded with libKinemo.so (loading it if need be), so they
    // are those of the libraries the video library runs on. Without the library, or with FFmpeg built into it,
    // every text is empty.
    FfmpegReport ReportFfmpeg();

private:
    struct Exports;
    std::unique_ptr<Exports> exports_;
};

// The program's binding, from the program's library folder.
KinemoLibrary& Kinemo();

}  // namespace murtesk
