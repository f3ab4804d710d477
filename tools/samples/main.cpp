// murtesk-samples: writes sample recordings for first use, tests and benchmarks.
//   murtesk-samples calibration OUT.wav [--rate HZ] [--bits 8|16|24|32|f32|f64] [--seconds S] [--amplitude A]
//   murtesk-samples recording OUT.wav [--rate HZ] [--bits ...] [--channels N] [--seconds S] [--seed N]
//   murtesk-samples video OUT.avi [--seconds S] [--size WxH] [--fps F]
// Each file is written beside OUT and takes its place only when complete: a failed write (a full disk, the
// file-size limit) leaves an older OUT as it was and no partial file.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/atomic_file.h"
#include "platform/file_size_limit.h"
#include "recordings.h"
#include "video_clips.h"

using namespace murtesk::samples;
using murtesk::platform::ReplaceFileByPath;

namespace {

int usage()
{
    std::fputs("usage: murtesk-samples calibration|recording OUT.wav [--rate HZ] [--bits 8|16|24|32|f32|f64]\n"
               "       [--seconds S] [--amplitude A (calibration)] [--channels N] [--seed N (recording)]\n"
               "       murtesk-samples video OUT.avi [--seconds S] [--size WxH] [--fps F]\n",
               stderr);
    return 2;
}

std::optional<SampleFormat> parseBits(const std::string& s)
{
    if (s == "8") return SampleFormat::Pcm8;
    if (s == "16") return SampleFormat::Pcm16;
    if (s == "24") return SampleFormat::Pcm24;
    if (s == "32") return SampleFormat::Pcm32;
    if (s == "f32") return SampleFormat::Float32;
    if (s == "f64") return SampleFormat::Float64;
    return std::nullopt;
}

bool parseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

// A clip of vehicles crossing a road, MPEG-4 and MP3 in AVI.
int writeVideo(const std::string& path, int argc, char** argv)
{
    VideoClipOptions clip;
    clip.scene = VideoScene::Road;
    clip.width = 640;
    clip.height = 360;
    clip.seconds = 10.0;
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc)
            return usage();
        const std::string key = argv[i];
        double v = 0.0;
        if (key == "--size") {
            int w = 0, h = 0;
            char end = 0;
            if (std::sscanf(argv[i + 1], "%dx%d%c", &w, &h, &end) != 2 || w < 16 || h < 16 || w > 7680 ||
                h > 4320 || w % 2 || h % 2)
                return usage();
            clip.width = w;
            clip.height = h;
        } else if (key == "--seconds" && parseNumber(argv[i + 1], v) && v > 0.0 && v <= 86400.0) {
            clip.seconds = v;
        } else if (key == "--fps" && parseNumber(argv[i + 1], v) && v >= 1.0 && v <= 240.0 && v == std::floor(v)) {
            clip.fps = static_cast<int>(v);
        } else {
            return usage();
        }
    }
    std::string error;
    if (!ReplaceFileByPath(path,
                           [&](const std::string& temporary) { return writeVideoClip(temporary, clip, &error); })) {
        std::fprintf(stderr, "murtesk-samples: cannot write %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    std::printf("%s: %dx%d, %d fps, %.1f s, %lld frames\n", path.c_str(), clip.width, clip.height, clip.fps,
                clip.seconds, static_cast<long long>(videoClipFrames(clip)));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    murtesk::platform::FailWritesPastTheFileSizeLimit();
    if (argc < 3)
        return usage();
    const std::string kind = argv[1];
    const std::string path = argv[2];
    if (kind == "video")
        return writeVideo(path, argc, argv);
    CalibrationOptions cal;
    RecordingOptions rec;
    for (int i = 3; i < argc; i += 2) {
        if (i + 1 >= argc)
            return usage();
        const std::string key = argv[i];
        double v = 0.0;
        if (key == "--bits") {
            const auto f = parseBits(argv[i + 1]);
            if (!f)
                return usage();
            cal.format = rec.format = *f;
            continue;
        }
        if (!parseNumber(argv[i + 1], v) || v <= 0.0)
            return usage();
        if (key == "--rate" && v <= 4.0e6) {
            cal.rate = rec.rate = static_cast<uint32_t>(v);
        } else if (key == "--seconds" && v <= 86400.0) {
            cal.seconds = rec.seconds = v;
        } else if (key == "--amplitude" && v <= 1.0) {
            cal.amplitude = v;
        } else if (key == "--channels" && v <= 100.0) {
            cal.channels = rec.channels = static_cast<uint16_t>(v);
        } else if (key == "--seed") {
            rec.seed = static_cast<uint64_t>(v);
        } else {
            return usage();
        }
    }
    if (kind == "calibration") {
        if (!ReplaceFileByPath(path, [&](const std::string& temporary) { return writeCalibration(temporary, cal); })) {
            std::fprintf(stderr, "murtesk-samples: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %.0f Hz tone, rms %.3f in sample units\n", path.c_str(), cal.frequency,
                    calibrationRms(cal));
        return 0;
    }
    if (kind == "recording") {
        if (!ReplaceFileByPath(path, [&](const std::string& temporary) { return writeRecording(temporary, rec); })) {
            std::fprintf(stderr, "murtesk-samples: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: %u channels, %.1f s, %zu vehicle passes\n", path.c_str(), rec.channels, rec.seconds,
                    RecordingSynth(rec).passes().size());
        return 0;
    }
    return usage();
}
