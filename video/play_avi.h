// CPlayAvi: the library's one player, the object behind the exports. It keeps the host, the file name, the
// state and the graph (the playing machinery of the open file); its operations are the bodies of the exports. A player without a graph (never built, or shut)
// answers every export as if there were no player.
//
// Only the user-interface thread uses it. Messages go to the host's message callback with the title
// "DirectShow".
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ffmpeg_ptr.h"
#include "kinemo.h"

namespace murtesk::video {

class MediaGraph;

// The player's state, numbered as the state is told to callers.
enum class PlayerState : std::int32_t {
    Stopped = 0,  // paused on a frame, at the start or where a seek put it (after opening, a stop, the end)
    Paused = 1,   // paused by request
    Running = 2,
    Closed = 3,  // the graph was shut after a failed open
};

class CPlayAvi {
public:
    // A host of null: no window, no callbacks.
    explicit CPlayAvi(const KinemoHost* host);
    // Stops the threads without calling the host (the process may be ending); Close calls ShutGraph first.
    virtual ~CPlayAvi();
    CPlayAvi(const CPlayAvi&) = delete;
    CPlayAvi& operator=(const CPlayAvi&) = delete;

    // The body of OpenAvi after the player was made: 1 opened, 0 refused or failed.
    std::int32_t OpenMedia(const char* name);
    // The body of CloseAvi before the player is deleted.
    void Close() { ShutGraph(); }

    bool HasGraph() const { return graph_ != nullptr; }
    std::int32_t state() const { return static_cast<std::int32_t>(state_); }
    const std::string& fileName() const { return fileName_; }

    std::int32_t RunGraph();
    std::int32_t PauseGraph();
    void StopGraph();
    // Sets the current position (absolutely); the stop position too when given.
    void SeekGraph(Ticks current, std::optional<Ticks> stop = std::nullopt);
    Ticks QueryDuration() const;
    Ticks QueryPosition() const;
    bool IsSeekable() const;
    // 1 when an end of stream was handled, 2 when its handling failed, else 0.
    std::int32_t DrainGraphEvents();
    std::int32_t FitVideoToWindow();

    // How long DrainGraphEvents waits for the rewound frame.
    static constexpr std::chrono::milliseconds kRewindTimeout{5000};

private:
    std::int32_t BuildGraph(const std::string& name);
    void DetectAudioOnly();
    void QueryVideoSize();
    void ShutGraph();
    void ReleaseGraph();
    void Message(const char* text) const;

    KinemoHost host_{};
    std::string fileName_;
    bool audioOnly_ = false;
    PlayerState state_ = PlayerState::Stopped;
    std::unique_ptr<MediaGraph> graph_;
    std::int32_t videoWidth_ = 0;
    std::int32_t videoHeight_ = 0;
    const Ticks startPosition_ = 0;  // where stop and the end of the stream rewind to
};

}  // namespace murtesk::video
