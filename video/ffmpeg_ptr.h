// Owning pointers for the FFmpeg objects the library holds, the media time it counts in, its coders' threads.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <limits>
#include <memory>

namespace murtesk::video {

struct FormatContextClose {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwsFree {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct SwrFree {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextClose>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;

// Video decoders and encoders use a thread per core: an accurate seek decodes every frame from the keyframe before
// its target. ThreadSanitizer cannot see the atomics inside FFmpeg's own (uninstrumented) threads and takes their
// hand-overs of frame buffers for races, so under it the coders run on their calling thread.
#if defined(__SANITIZE_THREAD__)
inline constexpr int kVideoCodecThreads = 1;
#else
inline constexpr int kVideoCodecThreads = 0;
#endif

// Media time in units of 100 ns from the start of the file, as the exports' milliseconds are converted:
// m ms is m × 10,000 (in 64 bits), t is t ÷ 10,000 ms truncated toward zero.
using Ticks = std::int64_t;
inline constexpr Ticks kTicksPerMs = 10'000;
inline constexpr Ticks kTicksPerSecond = 10'000'000;
inline constexpr Ticks kNoStop = std::numeric_limits<Ticks>::max();
inline constexpr Ticks kNoTime = std::numeric_limits<Ticks>::min();  // a timestamp the stream did not give
inline constexpr AVRational kTicksBase{1, 10'000'000};

inline Ticks TicksFromMs(std::int32_t ms) { return static_cast<Ticks>(ms) * kTicksPerMs; }

inline std::int32_t MsFromTicks(Ticks t) {
    const Ticks ms = t / kTicksPerMs;
    if (ms > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (ms < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(ms);
}

}  // namespace murtesk::video
