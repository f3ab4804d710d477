// The C exports of libKinemo.so: thin functions over the library's one player and its conversions. Each turns any
// exception into the export's answer without a player, so nothing is thrown across the boundary.
#include "kinemo.h"

#include <memory>

#include "conversions.h"
#include "play_avi.h"

using murtesk::video::CPlayAvi;
using murtesk::video::MsFromTicks;
using murtesk::video::Ticks;
using murtesk::video::TicksFromMs;

namespace {

// The one player. Destroyed at the end of the process, which stops its threads first.
std::unique_ptr<CPlayAvi>& Player() {
    static std::unique_ptr<CPlayAvi> player;
    return player;
}

// The player when it has a graph; a player without one answers as none.
CPlayAvi* Playing() {
    CPlayAvi* player = Player().get();
    return player && player->HasGraph() ? player : nullptr;
}

void DeletePlayer() {
    if (auto& player = Player()) {
        player->Close();
        player.reset();
    }
}

template <class R, class F>
R guarded(R failure, F&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

}  // namespace

extern "C" {

MURTESK_KINEMO_API int32_t OpenAvi(const KinemoHost* host, const char* name) {
    return guarded(0, [&] {
        DeletePlayer();
        Player() = std::make_unique<CPlayAvi>(host);
        return Player()->OpenMedia(name);
    });
}

MURTESK_KINEMO_API int32_t CloseAvi(void) {
    return guarded(1, [] {
        DeletePlayer();
        return 1;
    });
}

MURTESK_KINEMO_API int32_t GetAviTime(void) {
    return guarded(0, [] {
        CPlayAvi* p = Playing();
        return p ? MsFromTicks(p->QueryDuration()) : 0;
    });
}

MURTESK_KINEMO_API int32_t GetAviPosition(void) {
    return guarded(-1, [] {
        CPlayAvi* p = Playing();
        return p ? MsFromTicks(p->QueryPosition()) : -1;
    });
}

MURTESK_KINEMO_API int32_t SetAviPosition(int32_t ms) {
    return guarded(0, [&] {
        CPlayAvi* p = Playing();
        if (!p) return 0;
        p->SeekGraph(TicksFromMs(ms));
        return 1;
    });
}

MURTESK_KINEMO_API int32_t SetAviRange(int32_t startMs, int32_t stopMs) {
    return guarded(0, [&] {
        CPlayAvi* p = Playing();
        if (!p) return 0;
        p->SeekGraph(TicksFromMs(startMs), TicksFromMs(stopMs));
        return 1;
    });
}

MURTESK_KINEMO_API int32_t AviStart(void) {
    return guarded(-1, [] {
        CPlayAvi* p = Playing();
        return p ? p->RunGraph() : 0;
    });
}

MURTESK_KINEMO_API int32_t AviPause(void) {
    return guarded(-1, [] {
        CPlayAvi* p = Playing();
        return p ? p->PauseGraph() : 0;
    });
}

MURTESK_KINEMO_API void AviStop(void) {
    guarded(0, [] {
        if (CPlayAvi* p = Playing()) p->StopGraph();
        return 0;
    });
}

MURTESK_KINEMO_API int32_t AviIsCanSeek(void) {
    return guarded(0, [] {
        CPlayAvi* p = Playing();
        return p && p->IsSeekable() ? 1 : 0;
    });
}

MURTESK_KINEMO_API int32_t AviGraphEvent(void) {
    return guarded(2, [] {
        CPlayAvi* p = Playing();
        return p ? p->DrainGraphEvents() : 0;
    });
}

MURTESK_KINEMO_API int32_t ReSizeWindow(void) {
    return guarded(0, [] {
        CPlayAvi* p = Playing();
        return p ? p->FitVideoToWindow() : 0;
    });
}

MURTESK_KINEMO_API int32_t AviToBmp(const char* video, const char* bitmap, int32_t ms) {
    return guarded(0, [&] { return !Player() && video && bitmap && murtesk::video::CaptureFrame(video, bitmap, ms); });
}

MURTESK_KINEMO_API int32_t GetVideoWithHeight(const char* video, int32_t* width, int32_t* height) {
    return guarded(0, [&] {
        std::int32_t w = 0, h = 0;
        if (Player() || !video || !width || !height || !murtesk::video::ReadVideoSize(video, w, h)) return 0;
        *width = w;
        *height = h;
        return 1;
    });
}

MURTESK_KINEMO_API int32_t GetVideoPictureCount(const char* video, int32_t most) {
    return guarded(0, [&] { return !Player() && video ? murtesk::video::CountPictures(video, most) : 0; });
}

MURTESK_KINEMO_API int32_t ExtractAvi(const char* source, const char* target, int32_t startMs, int32_t endMs) {
    return guarded(0, [&] {
        return !Player() && source && target && murtesk::video::ExtractSpan(source, target, startMs, endMs);
    });
}

MURTESK_KINEMO_API int32_t Bmp2Avi(const char* bitmap, const char* wav, const char* target, double fps, int32_t frames,
                                   int32_t width, int32_t height, int32_t channels, int32_t sampleRate) {
    return guarded(0, [&] {
        return !Player() && bitmap && target &&
               murtesk::video::BuildBitmapMovie(bitmap, wav ? wav : "", target, fps, frames, width, height, channels,
                                                sampleRate);
    });
}

}  // extern "C"
