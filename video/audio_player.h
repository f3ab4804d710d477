// The sound thread: owns the audio decoder, the converter to 16-bit interleaved samples and the sound device.
// It decodes the queued packets of the current serial and writes them to the device while the clock runs, and
// after every write anchors the clock at the media time the device is playing, so that the picture follows the
// sound.
//
// After each seek its timeline starts at the target: sample k plays at target + k / rate. A decoded frame is
// placed on the timeline by its timestamp: what lies before the target is cut off, a gap of more than 20 ms is
// filled with silence (a gap of more than 5 s moves the timeline instead), and samples at or after the stop
// position are dropped. After the last sample (the drained decoder or the stop) it waits until the device has
// played everything and marks the sound ended. Playing starts only once the picture of the target is on screen,
// so both start together. Paused, the device holds; a seek drops what the device still holds.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "audio_device.h"
#include "graph_state.h"
#include "media_source.h"

namespace murtesk::video {

class AudioPlayer {
public:
    // `interrupt` cuts a blocking device write short; the graph raises it after every request.
    AudioPlayer(GraphState& state, const MediaSource& source, CodecContextPtr decoder, bool nullDevice,
                std::atomic<bool>& interrupt, std::function<void()> announce);
    ~AudioPlayer();
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;
    void Run();

private:
    void Adopt(const Target& target);     // a new seek (lock held)
    void Decode(const PacketItem& item);  // lock not held
    void Append(const AVFrame* frame);    // lock not held
    bool Convert(const AVFrame* frame, std::vector<std::int16_t>& out);
    Ticks TimelineTime(std::int64_t frame) const;

    GraphState& state_;
    const MediaSource& source_;
    AVRational timeBase_;
    CodecContextPtr decoder_;
    bool nullDevice_;
    std::atomic<bool>& interrupt_;
    std::function<void()> announce_;
    std::unique_ptr<AudioDevice> device_;
    SwrPtr converter_;
    int converterRate_ = 0;
    int converterFormat_ = -1;
    AVChannelLayout converterLayout_{};
    FramePtr frame_;
    std::vector<std::int16_t> converted_;

    int decoderSerial_ = 1;
    Target target_;
    Ticks timelineStart_ = 0;
    std::int64_t nextFrame_ = 0;  // timeline index of the next sample to queue
    std::int64_t written_ = 0;    // samples (frames) of the timeline written to the device
    std::vector<std::int16_t> pending_;
    std::size_t pendingOffset_ = 0;  // frames of pending_ already written
    bool dataEnded_ = false;
    bool endMarked_ = false;
};

}  // namespace murtesk::video
