// What the player's threads share: the request the user-interface thread made last (the target), the packet and
// picture queues between the threads, the playing clock, the ends of the streams and the queued events. All of
// it lies behind one mutex with one condition variable; every change notifies every waiter, so a request or an
// abort wakes each thread wherever it waits. The threads do their heavy work (reading, decoding, converting,
// writing sound) outside the lock.
//
// Seeks. Every seek raises the target's generation. A seek that must restart the decoding (a hard seek) also
// raises its serial: the reader empties the packet queues, seeks the file and tags every later packet with the
// new serial, and each thread drops whatever carries an older one (the queues are flushed by serial, each by
// the thread that reads it; the user-interface thread only sets the target). A seek a little ahead of the frame on screen keeps the serial
// (a soft seek): the decoding goes on and only the frames before the new position are dropped.
//
// The clock. Paused, it holds the position. Started or sought while running, it waits until the outputs are
// ready (the sound device has the first samples, or without sound the first frame is shown), then runs: with
// sound the sound thread anchors it after every write at the media time the device is playing, without sound
// it runs by the monotonic clock from its anchor. When every stream has ended it stops at the end and the end of
// stream event is queued.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "ffmpeg_ptr.h"

namespace murtesk::video {

using SteadyClock = std::chrono::steady_clock;

struct Target {
    int serial = 1;
    int generation = 1;
    Ticks position = 0;
    Ticks stop = kNoStop;
};

// A packet for a decoding thread; a null packet asks the decoder to drain (the end of the file).
struct PacketItem {
    PacketPtr packet;
    int serial = 0;
};

// A decoded picture for the presenting thread; a null frame marks the end of the video.
struct PictureItem {
    FramePtr frame;
    int serial = 0;
    Ticks pts = 0;
    Ticks end = 0;          // pts plus the frame's duration
    bool endKnown = false;  // the duration is the container's: the next picture starts at `end`
    // The picture shown for a seek to `position` without waiting for the next one.
    bool Covers(Ticks position) const { return endKnown && pts <= position && position < end; }
};

struct PictureRect {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PictureRect&) const = default;
};

enum class ClockMode {
    Paused,   // holds `anchor`
    Waiting,  // started, holds `anchor` until the outputs are ready
    Running,  // anchor + time since anchorTime
    Ended,    // every stream ended; holds the end
};

// Bit flags of the streams that have ended for the current target.
enum StreamBits : unsigned { kVideoBit = 1, kAudioBit = 2 };

struct GraphState {
    std::mutex mutex;
    std::condition_variable changed;

    bool abort = false;
    Target target;

    // Reader → decoders.
    std::deque<PacketItem> videoPackets;
    std::deque<PacketItem> audioPackets;
    std::size_t packetBytes = 0;
    int seekHandled = 1;      // the serial whose seek the reader has carried out
    bool seekFailed = false;  // the file could not be read from that serial's position

    // Video decoder → presenter.
    std::deque<PictureItem> pictures;
    Ticks newestDecoded = -1;    // pts of the newest picture the decoder produced for the current serial
    bool videoFinished = false;  // the decoder has passed on the end of the current serial's video

    // Presenter's picture on screen.
    int shownSerial = 0;
    Ticks shownPts = -1;
    int preparedGeneration = 0;  // the generation whose target frame is on screen (or has none)
    bool preparedHasPicture = false;
    PictureRect rect;
    int rectVersion = 0;

    // Clock.
    ClockMode mode = ClockMode::Paused;
    Ticks anchor = 0;
    SteadyClock::time_point anchorTime{};
    SteadyClock::time_point waitingSince{};

    // The video decoder's work, for tests and benchmarks: the pictures it decoded, and the pictures and bytes of
    // its back-step cache (video_decoder.h).
    std::int64_t picturesDecoded = 0;
    std::size_t cachedPictures = 0;
    std::size_t cachedBytes = 0;

    // Ends and events.
    unsigned streams = 0;  // StreamBits of the streams the file plays
    unsigned ended = 0;
    std::deque<std::int32_t> events;

    // The position of the clock now (lock held).
    Ticks Position(SteadyClock::time_point now) const;
    bool Running() const { return mode == ClockMode::Running; }
    // Holds the clock at `position` in `mode` (lock held).
    void Hold(ClockMode holdMode, Ticks position, SteadyClock::time_point now);
    // Lets the clock run from `position` now (lock held); nothing unless it is waiting or running.
    void Anchor(Ticks position, SteadyClock::time_point now);
    // Marks a stream of the current serial as ended; true when that completed the playback, which the caller
    // then announces with AnnounceCompletion outside the lock (lock held).
    bool MarkEnded(unsigned stream, int serial, int generation, SteadyClock::time_point now);
};

// What the soft-seek rule needs of the open file.
struct SeekFacts {
    bool video = false;
    Ticks frameDuration = 0;
    const std::vector<Ticks>* keyframes = nullptr;  // as MediaSource::keyframes
};

// Whether a seek to `position` that keeps the stop may go on decoding from the frame on screen (lock held): the
// picture on screen belongs to the current serial, whose seek the reader carried out, the target lies at or ahead
// of it and before the stop, no stream has ended, and either the target is at most one frame past the newest
// decoded picture or no keyframe lies between that picture and the target (without an index: at most one second
// ahead).
bool CanSeekSoftly(const GraphState& state, Ticks position, const SeekFacts& file);

}  // namespace murtesk::video
