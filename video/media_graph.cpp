#include "media_graph.h"

#include <algorithm>

#include "audio_player.h"
#include "reader.h"
#include "video_presenter.h"

namespace murtesk::video {

struct MediaGraph::Threads {
    std::unique_ptr<Reader> reader;
    std::unique_ptr<VideoDecoder> decoder;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<AudioPlayer> sound;
    std::vector<std::thread> running;
};

MediaGraph::MediaGraph(const KinemoHost& host) : host_(host) {}

std::unique_ptr<MediaGraph> MediaGraph::Open(const std::string& path, const KinemoHost& host) {
    std::unique_ptr<MediaGraph> graph(new MediaGraph(host));
    graph->source_ = MediaSource::Open(path, graph->interrupt_);
    if (!graph->source_) return nullptr;
    return graph;
}

void MediaGraph::Start(bool nullAudio, std::size_t backStepBytes) {
    state_.streams = (hasVideo() ? kVideoBit : 0u) | (source_->audioIndex() >= 0 ? kAudioBit : 0u);
    state_.Hold(ClockMode::Paused, 0, SteadyClock::now());
    threads_ = std::make_unique<Threads>();
    Threads& t = *threads_;
    t.reader = std::make_unique<Reader>(state_, *source_);
    if (hasVideo()) {
        t.decoder = std::make_unique<VideoDecoder>(state_, *source_, source_->TakeVideoDecoder(), backStepBytes);
        t.presenter = std::make_unique<Presenter>(state_, host_, [this] { Announce(); });
    }
    if (source_->audioIndex() >= 0)
        t.sound = std::make_unique<AudioPlayer>(state_, *source_, source_->TakeAudioDecoder(), nullAudio,
                                                soundInterrupt_, [this] { Announce(); });
    // Should starting a thread fail, the destructor stops those already running.
    t.running.emplace_back([&r = *t.reader] { r.Run(); });
    if (t.decoder) {
        t.running.emplace_back([&d = *t.decoder] { d.Run(); });
        t.running.emplace_back([&p = *t.presenter] { p.Run(); });
    }
    if (t.sound) t.running.emplace_back([&s = *t.sound] { s.Run(); });
}

MediaGraph::~MediaGraph() {
    if (!threads_) return;
    {
        std::lock_guard lock(state_.mutex);
        state_.abort = true;
    }
    interrupt_ = true;
    Notify();
    for (std::thread& thread : threads_->running) thread.join();
    threads_.reset();
}

void MediaGraph::Announce() {
    if (host_.window && host_.window->post) host_.window->post(host_.window->context, WM_AVIGRAPHEVENT, 0, 0);
}

void MediaGraph::Notify() {
    state_.changed.notify_all();
    soundInterrupt_ = true;
}

void MediaGraph::Run() {
    {
        std::lock_guard lock(state_.mutex);
        if (state_.mode != ClockMode::Paused) return;
        const auto now = SteadyClock::now();
        state_.Hold(ClockMode::Waiting, state_.anchor, now);
        if (!(state_.streams & kAudioBit) && state_.preparedGeneration == state_.target.generation)
            state_.Anchor(state_.anchor, now);
    }
    Notify();
}

void MediaGraph::Pause() {
    {
        std::lock_guard lock(state_.mutex);
        if (state_.mode == ClockMode::Paused) return;
        const auto now = SteadyClock::now();
        state_.Hold(ClockMode::Paused, state_.Position(now), now);
    }
    Notify();
}

void MediaGraph::Seek(Ticks position, std::optional<Ticks> stop) {
    position = std::max<Ticks>(0, position);
    if (duration() > 0) position = std::min(position, duration());
    {
        std::lock_guard lock(state_.mutex);
        const bool soft =
            !stop && CanSeekSoftly(state_, position, {hasVideo(), source_->frameDuration(), &source_->keyframes()});
        Target& target = state_.target;
        ++target.generation;
        if (!soft) ++target.serial;  // the reader flushes the packets, each thread drops the older serial's
        target.position = position;
        if (stop) target.stop = *stop;
        state_.ended = 0;
        const auto now = SteadyClock::now();
        state_.Hold(state_.mode == ClockMode::Paused ? ClockMode::Paused : ClockMode::Waiting, position, now);
    }
    Notify();
}

Ticks MediaGraph::Position() {
    Ticks position;
    {
        std::lock_guard lock(state_.mutex);
        position = state_.Position(SteadyClock::now());
    }
    position = std::max<Ticks>(0, position);
    return duration() > 0 ? std::min(position, duration()) : position;
}

std::optional<std::int32_t> MediaGraph::TakeEvent() {
    std::lock_guard lock(state_.mutex);
    if (state_.events.empty()) return std::nullopt;
    const std::int32_t code = state_.events.front();
    state_.events.pop_front();
    return code;
}

MediaGraph::Shown MediaGraph::WaitUntilShown(std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_.mutex);
    const int serial = state_.target.serial;
    const int generation = state_.target.generation;
    const bool video = hasVideo();
    const bool done = state_.changed.wait_for(lock, timeout, [&] {
        if (state_.abort || state_.target.generation != generation) return true;
        if (state_.seekHandled != serial) return false;
        return state_.seekFailed || !video || state_.preparedGeneration == generation;
    });
    if (!done || state_.target.generation != generation || state_.seekHandled != serial) return Shown::TimedOut;
    if (state_.seekFailed) return Shown::SeekFailed;
    if (video && !state_.preparedHasPicture) return Shown::NoPicture;
    return Shown::Yes;
}

void MediaGraph::Place(const PictureRect& rect) {
    {
        std::lock_guard lock(state_.mutex);
        state_.rect = rect;
        ++state_.rectVersion;
    }
    state_.changed.notify_all();
}

MediaGraph::Decoding MediaGraph::DecodingSoFar() {
    std::lock_guard lock(state_.mutex);
    return {state_.picturesDecoded, state_.cachedPictures, state_.cachedBytes};
}

}  // namespace murtesk::video
