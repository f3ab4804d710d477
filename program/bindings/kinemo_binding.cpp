#include "kinemo_binding.h"

#include "dynamic_library.h"

namespace murtesk {

using platform::LibraryFunction;

struct KinemoLibrary::Exports {
    explicit Exports(std::string folder) : library("libKinemo.so", std::move(folder)) {}

    platform::DynamicLibrary library;
    LibraryFunction<decltype(::OpenAvi)> openAvi{library, "OpenAvi", 0};
    LibraryFunction<decltype(::CloseAvi)> closeAvi{library, "CloseAvi", 1};
    LibraryFunction<decltype(::GetAviTime)> getAviTime{library, "GetAviTime", 0};
    LibraryFunction<decltype(::GetAviPosition)> getAviPosition{library, "GetAviPosition", -1};
    LibraryFunction<decltype(::SetAviPosition)> setAviPosition{library, "SetAviPosition", 0};
    LibraryFunction<decltype(::SetAviRange)> setAviRange{library, "SetAviRange", 0};
    LibraryFunction<decltype(::AviStart)> aviStart{library, "AviStart", 0};
    LibraryFunction<decltype(::AviPause)> aviPause{library, "AviPause", 0};
    LibraryFunction<decltype(::AviIsCanSeek)> aviIsCanSeek{library, "AviIsCanSeek", 0};
    LibraryFunction<decltype(::AviGraphEvent)> aviGraphEvent{library, "AviGraphEvent", 0};
    LibraryFunction<decltype(::ReSizeWindow)> reSizeWindow{library, "ReSizeWindow", 0};
    LibraryFunction<decltype(::ExtractAvi)> extractAvi{library, "ExtractAvi", 0};
    LibraryFunction<decltype(::GetVideoWithHeight)> getVideoWithHeight{library, "GetVideoWithHeight", 0};
    LibraryFunction<decltype(::GetVideoPictureCount)> getVideoPictureCount{library, "GetVideoPictureCount", 0};
};

KinemoLibrary::KinemoLibrary(std::string folder) : exports_(std::make_unique<Exports>(std::move(folder))) {}
KinemoLibrary::~KinemoLibrary() = default;

std::int32_t KinemoLibrary::OpenAvi(const KinemoHost* host, const char* name) { return exports_->openAvi(host, name); }

std::int32_t KinemoLibrary::CloseAvi() { return exports_->closeAvi(); }

std::int32_t KinemoLibrary::GetAviTime() { return exports_->getAviTime(); }

std::int32_t KinemoLibrary::GetAviPosition() { return exports_->getAviPosition(); }

std::int32_t KinemoLibrary::SetAviPosition(std::int32_t ms) { return exports_->setAviPosition(ms); }

std::int32_t KinemoLibrary::SetAviRange(std::int32_t startMs, std::int32_t stopMs) {
    return exports_->setAviRange(startMs, stopMs);
}

std::int32_t KinemoLibrary::AviStart() { return exports_->aviStart(); }

std::int32_t KinemoLibrary::AviPause() { return exports_->aviPause(); }

std::int32_t KinemoLibrary::AviIsCanSeek() { return exports_->aviIsCanSeek(); }

std::int32_t KinemoLibrary::AviGraphEvent() { return exports_->aviGraphEvent(); }

std::int32_t KinemoLibrary::ReSizeWindow() { return exports_->reSizeWindow(); }

std::int32_t KinemoLibrary::ExtractAvi(const char* source, const char* target, std::int32_t startMs,
                                       std::int32_t endMs) {
    return exports_->extractAvi(source, target, startMs, endMs);
}

std::int32_t KinemoLibrary::GetVideoWithHeight(const char* video, std::int32_t* width, std::int32_t* height) {
    return exports_->getVideoWithHeight(video, width, height);
}

std::int32_t KinemoLibrary::GetVideoPictureCount(const char* video, std::int32_t most) {
    return exports_->getVideoPictureCount(video, most);
}

FfmpegReport KinemoLibrary::ReportFfmpeg() {
    using Report = const char*();
    // dlsym on the library's handle searches the libraries it links too.
    const auto text = [this](const char* function) {
        auto* report = exports_->library.function<Report>(function);
        const char* value = report ? report() : nullptr;
        return std::string(value ? value : "");
    };
    FfmpegReport ffmpeg;
    ffmpeg.version = text("av_version_info");
    for (const auto& [library, function] :
         {std::pair{"libavformat", "avformat_license"}, std::pair{"libavcodec", "avcodec_license"},
          std::pair{"libswscale", "swscale_license"}, std::pair{"libswresample", "swresample_license"},
          std::pair{"libavutil", "avutil_license"}})
        ffmpeg.licences.emplace_back(library, text(function));
    return ffmpeg;
}

KinemoLibrary& Kinemo() {
    static KinemoLibrary binding;
    return binding;
}

}  // namespace murtesk
