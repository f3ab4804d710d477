#include "play_avi.h"

#include "audio_device.h"
#include "media_graph.h"
#include "media_name.h"
#include "picture_fit.h"

namespace murtesk::video {

namespace {

constexpr const char* kTitle = "DirectShow";

}  // namespace

CPlayAvi::CPlayAvi(const KinemoHost* host) {
    if (host) host_ = *host;
}

CPlayAvi::~CPlayAvi() = default;

void CPlayAvi::Message(const char* text) const {
    if (host_.message) host_.message(host_.context, text, kTitle);
}

std::int32_t CPlayAvi::OpenMedia(const char* name) {
    if (!name) return 0;
    if (IsWindowsMediaName(name)) {
        Message("Windows Media files (ASF,WMV,WMA,ASX) are not supported by this application.");
        return 0;
    }
    fileName_ = name;
    if (BuildGraph(fileName_) < 0) {
        ShutGraph();
        return 0;
    }
    return 1;
}

std::int32_t CPlayAvi::BuildGraph(const std::string& name) {
    graph_ = MediaGraph::Open(name, host_);
    if (!graph_) {
        Message("Cannot render video file stream");
        return -1;
    }
    DetectAudioOnly();
    if (!audioOnly_) QueryVideoSize();
    try {
        graph_->Start(NullAudioChosen());
    } catch (...) {  // a thread could not be started: the rest are stopped
        graph_.reset();
        Message("Cannot render video file stream");
        return -1;
    }
    if (host_.show) host_.show(host_.context);
    // The graph starts paused at the start position with its first frame on the way.
    state_ = PlayerState::Stopped;
    return 0;
}

void CPlayAvi::DetectAudioOnly() { audioOnly_ = !graph_->hasVideo(); }

void CPlayAvi::QueryVideoSize() {
    videoWidth_ = graph_->videoWidth();
    videoHeight_ = graph_->videoHeight();
    FitVideoToWindow();
}

std::int32_t CPlayAvi::FitVideoToWindow() {
    if (!graph_ || audioOnly_) return 0;
    std::int32_t width = 0, height = 0;
    if (!host_.client_size || !host_.client_size(host_.context, &width, &height)) return 0;
    if (const auto rect = FitPicture(width, height, videoWidth_, videoHeight_)) graph_->Place(*rect);
    return 0;
}

void CPlayAvi::ShutGraph() {
    if (graph_) graph_->Pause();
    audioOnly_ = true;
    ReleaseGraph();
    fileName_.clear();
    state_ = PlayerState::Closed;
    if (host_.clear) host_.clear(host_.context);
}

void CPlayAvi::ReleaseGraph() {
    graph_.reset();  // joins the threads: no callback comes afterwards
}

std::int32_t CPlayAvi::RunGraph() {
    if (!graph_) return 0;
    graph_->Run();
    state_ = PlayerState::Running;
    return 0;
}

std::int32_t CPlayAvi::PauseGraph() {
    if (!graph_) return 0;
    graph_->Pause();
    state_ = PlayerState::Paused;
    return 0;
}

void CPlayAvi::StopGraph() {
    if (!graph_ || (state_ != PlayerState::Paused && state_ != PlayerState::Running)) return;
    graph_->Pause();
    state_ = PlayerState::Stopped;
    SeekGraph(startPosition_);
}

void CPlayAvi::SeekGraph(Ticks current, std::optional<Ticks> stop) {
    if (graph_) graph_->Seek(current, stop);
}

Ticks CPlayAvi::QueryDuration() const { return graph_ ? std::max<Ticks>(0, graph_->duration()) : 0; }

Ticks CPlayAvi::QueryPosition() const { return graph_ ? graph_->Position() : -kTicksPerMs; }

bool CPlayAvi::IsSeekable() const { return graph_ && graph_->seekable(); }

std::int32_t CPlayAvi::DrainGraphEvents() {
    if (!graph_) return 0;
    bool completed = false;
    while (const auto code = graph_->TakeEvent()) {
        if (*code != KINEMO_EVENT_COMPLETE) continue;
        // Rewind and stop when ready: the graph pauses on the frame at the start position.
        graph_->Pause();
        SeekGraph(startPosition_);
        const MediaGraph::Shown shown = graph_->WaitUntilShown(kRewindTimeout);
        state_ = PlayerState::Stopped;
        if (shown == MediaGraph::Shown::SeekFailed) {
            Message("Failed to stop media clip!");
            return 2;
        }
        if (shown != MediaGraph::Shown::Yes) {
            Message("Failed to StopWhenReady media clip!");
            return 2;
        }
        completed = true;
    }
    return completed ? 1 : 0;
}

}  // namespace murtesk::video
