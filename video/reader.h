// The reading thread: owns the file (the source's container) and hands its packets, tagged with the serial of
// the last hard seek, to the video and audio queues. It reads while any stream's queue is short of its
// minimum and all packets queued stay under kMaxPacketBytes, so a file whose streams are far apart still plays
// and the memory stays bounded. A hard seek empties both queues and moves the file to a keyframe from which the
// target's picture decodes (MediaSource::SeekBefore; the decoders drop what comes before the target); a file that cannot seek is opened again and read
// from its start. At the end of the file each queue gets a drain packet. A container that has nothing to give
// yet (EAGAIN) is asked again after kReadRetry, or at once on a new request.
#pragma once

#include <chrono>

#include "graph_state.h"
#include "media_source.h"

namespace murtesk::video {

inline constexpr std::size_t kMaxPacketBytes = 16u << 20;
inline constexpr std::size_t kMinVideoPackets = 30;
inline constexpr std::size_t kMinAudioPackets = 60;
inline constexpr std::chrono::milliseconds kReadRetry{10};

class Reader {
public:
    Reader(GraphState& state, MediaSource& source) : state_(state), source_(source) {}
    // The thread's body; returns once the state's abort is set.
    void Run();

private:
    bool WantsMore() const;                    // lock held
    void Queue(PacketPtr packet, int serial);  // lock held; null: a drain packet for each stream

    GraphState& state_;
    MediaSource& source_;
};

}  // namespace murtesk::video
