// A clip of open groups for the tests of seeking and capturing, and a look at its structure.
#pragma once

#include <cstdlib>
#include <string>

#include "clip_folder.h"
#include "ffmpeg_ptr.h"

namespace murtesk::video::testing {

// H.264 in MP4 of open groups, as field cameras record: a keyframe every 12 pictures exactly, three B pictures between
// the others, the last three before each keyframe after it in the file (they refer to the group before it too),
// coded by the ffmpeg program from the numbered clip `source`. Empty when the ffmpeg program is not available.
inline std::string OpenGroupClip(ClipFolder& clips, const std::string& name, const std::string& source) {
    const std::string clip = clips.file(name);
    const std::string command = "ffmpeg -nostdin -v error -y -i '" + source +
                                "' -c:v libx264 -preset fast -g 12 -bf 3 -x264-params open-gop=1:b-adapt=0:scenecut=0 -c:a copy '" +
                                clip + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? clip : std::string();
}

// How many video packets of the file come after a keyframe other than the first but are shown before it.
inline int LeadingPictures(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return -1;
    FormatContextPtr format(raw);
    const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    PacketPtr packet(av_packet_alloc());
    int leading = 0, keyframes = 0;
    std::int64_t keyPts = AV_NOPTS_VALUE;
    while (packet && av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == video) {
            if (packet->flags & AV_PKT_FLAG_KEY) {
                if (keyframes++ > 0) keyPts = packet->pts;
            } else if (keyPts != AV_NOPTS_VALUE && packet->pts < keyPts) {
                ++leading;
            }
        }
        av_packet_unref(packet.get());
    }
    return leading;
}

}  // namespace murtesk::video::testing
