// The playing machinery of one open file: the source, the shared state and the threads that read, decode, show
// and sound it (reader, video decoder, presenter, sound player). The user-interface thread only makes requests
// here (run, pause, seek, placement) and reads the clock; it never touches what the threads own.
//
// A seek is a request: it sets the target and wakes the threads, which act on it (graph_state.h). It is soft
// when CanSeekSoftly allows it (decoding goes on from the frame shown), hard otherwise.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "graph_state.h"
#include "kinemo.h"
#include "media_source.h"
#include "video_decoder.h"

namespace murtesk::video {

class MediaGraph {
public:
    // Opens the file; null when it cannot be played. Nothing runs until Start.
    static std::unique_ptr<MediaGraph> Open(const std::string& path, const KinemoHost& host);
    // Starts the threads, paused at position 0: the first frame goes to the host at the placement given by then.
    // `nullAudio` sends the sound to the null device; `backStepBytes` bounds the video decoder's cache of pictures
    // for steps back (video_decoder.h).
    void Start(bool nullAudio, std::size_t backStepBytes = kBackStepBytes);
    // Stops and joins every thread; no host callback comes afterwards.
    ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    bool hasVideo() const { return source_->videoIndex() >= 0; }
    int videoWidth() const { return source_->width(); }
    int videoHeight() const { return source_->height(); }
    Ticks duration() const { return source_->duration(); }
    bool seekable() const { return source_->seekable(); }

    void Run();
    // Holds the clock where it is (also at the end of the stream).
    void Pause();
    // Seeks to `position` (limited to 0 .. the duration); `stop` replaces the stop position when given.
    void Seek(Ticks position, std::optional<Ticks> stop = std::nullopt);
    // The clock, limited to 0 .. the duration when it is known.
    Ticks Position();
    // The next queued event code, if any.
    std::optional<std::int32_t> TakeEvent();

    enum class Shown { Yes, SeekFailed, NoPicture, TimedOut };
    // Waits until the current target is on screen: the reader has carried out its seek and the presenter has
    // shown its frame (without video: the seek alone).
    Shown WaitUntilShown(std::chrono::milliseconds timeout);

    // Places the picture anew (the presenter shows the frame on screen again when not running).
    void Place(const PictureRect& rect);

    // What the video decoder has done, for tests and benchmarks.
    struct Decoding {
        std::int64_t pictures = 0;  // decoded since the start
        std::size_t cachedPictures = 0;
        std::size_t cachedBytes = 0;
    };
    Decoding DecodingSoFar();

private:
    explicit MediaGraph(const KinemoHost& host);
    void Announce();
    void Notify();  // after a request: wakes every thread and cuts a sound write short

    std::atomic<bool> interrupt_{false};  // ends the reader's blocking reads
    std::atomic<bool> soundInterrupt_{false};
    std::unique_ptr<MediaSource> source_;
    KinemoHost host_;
    GraphState state_;
    struct Threads;
    std::unique_ptr<Threads> threads_;
};

}  // namespace murtesk::video
