// CountPictures (conversions.h).
//
// The file is read once from its start, as the player reads it: the packets the opening read to prove that the
// video decodes come first, then the rest of the file, with no seek. A file of one picture can often not be read
// again from its start after a seek (an image file read as a sequence of one answers the seek and then reads
// nothing), and the count must not take such a file for one without pictures.
#include <atomic>

#include "conversions.h"
#include "media_source.h"

namespace murtesk::video {

std::int32_t CountPictures(const std::string& video, std::int32_t most) {
    static const std::atomic<bool> kNeverInterrupted{false};
    if (most < 1) return 0;
    std::unique_ptr<MediaSource> source = MediaSource::Open(video, kNeverInterrupted);
    if (!source || source->videoIndex() < 0) return 0;
    const CodecContextPtr decoder = source->TakeVideoDecoder();
    const PacketPtr packet(av_packet_alloc());
    const FramePtr frame(av_frame_alloc());
    if (!decoder || !packet || !frame) return 0;

    std::int32_t count = 0;
    std::int64_t last = AV_NOPTS_VALUE;
    // A picture without a time is taken for a new one: its time cannot be compared.
    auto receive = [&] {
        while (count < most && avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            const std::int64_t time = frame->best_effort_timestamp;
            if (count == 0 || time == AV_NOPTS_VALUE || time != last) ++count;
            last = time;
            av_frame_unref(frame.get());
        }
    };
    // A damaged packet is skipped, as the player skips it.
    auto decode = [&](const AVPacket& p) {
        if (p.stream_index == source->videoIndex() && avcodec_send_packet(decoder.get(), &p) >= 0) receive();
    };
    for (const PacketPtr& probed : source->TakeProbedPackets()) {
        if (count >= most) break;
        decode(*probed);
    }
    while (count < most && av_read_frame(source->format(), packet.get()) >= 0) {
        decode(*packet);
        av_packet_unref(packet.get());
    }
    if (count < most && avcodec_send_packet(decoder.get(), nullptr) >= 0) receive();
    return count;
}

}  // namespace murtesk::video
