// Clips the ffmpeg program codes from numbered clips with pictures out of their shown order, for the tests of
// seeking and capturing (open groups in MP4, B pictures in AVI), and looks at their structure.
#pragma once

#include <cstdlib>
#include <ostream>
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

// H.264 in AVI, which keeps no presentation times, with B pictures: groups of 12 pictures, three B pictures between
// the others (the middle one referred to), coded by the ffmpeg program from the numbered clip `source`, with
// `groups` among the coder's parameters ("" for closed groups). Empty when the ffmpeg program is not available.
inline std::string BPictureAviClip(ClipFolder& clips, const std::string& name, const std::string& source,
                                   const std::string& groups) {
    const std::string clip = clips.file(name);
    const std::string command = "ffmpeg -nostdin -v error -y -i '" + source +
                                "' -c:v libx264 -preset fast -g 12 -bf 3 -x264-params " + groups +
                                "b-adapt=0:scenecut=0 -c:a copy '" + clip + "' 2>/dev/null";
    return std::system(command.c_str()) == 0 ? clip : std::string();
}

// The decoder's reordering delay (in pictures) of a file whose first video packet has a decoding time and no
// presentation time, -1 for any other file.
inline int DelayWithoutPresentationTimes(const std::string& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return -1;
    FormatContextPtr format(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return -1;
    const int video = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    PacketPtr packet(av_packet_alloc());
    while (video >= 0 && packet && av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == video)
            return packet->dts != AV_NOPTS_VALUE && packet->pts == AV_NOPTS_VALUE
                       ? raw->streams[video]->codecpar->video_delay
                       : -1;
        av_packet_unref(packet.get());
    }
    return -1;
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

// Clips of 50 numbered pictures (30 a second) coded out of their shown order, the last keyframe (48) two pictures
// before the end, each with a look at the structure that makes it one.
struct ReorderedClip {
    const char* label;
    std::string (*make)(ClipFolder& clips, const std::string& name);  // empty without the ffmpeg program
    int (*look)(const std::string& path);
    int expected;
};

inline void PrintTo(const ReorderedClip& c, std::ostream* out) { *out << c.label; }

inline std::string FiftyNumbered(ClipFolder& clips, samples::VideoContainer container) {
    return clips.clip(container == samples::VideoContainer::H264AacMp4 ? "fifty.mp4" : "fifty.avi",
                      SmallClip(container, 50.0 / 30));
}

// H.264 in open groups: three leading pictures before each of the keyframes 12, 24, 36 and 48.
inline const ReorderedClip kOpenGroupsMp4{
    "OpenGroupsMp4",
    [](ClipFolder& clips, const std::string& name) {
        return OpenGroupClip(clips, name + ".mp4", FiftyNumbered(clips, samples::VideoContainer::H264AacMp4));
    },
    LeadingPictures, 12};

// H.264 with B pictures in AVI, in closed groups: a decoder that holds two pictures back, in a file of decoding
// times only.
inline const ReorderedClip kBPicturesAvi{
    "BPicturesAvi",
    [](ClipFolder& clips, const std::string& name) {
        return BPictureAviClip(clips, name + ".avi", FiftyNumbered(clips, samples::VideoContainer::Mpeg4Mp3Avi), "");
    },
    DelayWithoutPresentationTimes, 2};

// The same in open groups: three leading pictures before each of the keyframes 12, 24, 36 and 48, which no time
// in the file tells.
inline const ReorderedClip kOpenGroupsAvi{
    "OpenGroupsAvi",
    [](ClipFolder& clips, const std::string& name) {
        return BPictureAviClip(clips, name + ".avi", FiftyNumbered(clips, samples::VideoContainer::Mpeg4Mp3Avi),
                               "open-gop=1:");
    },
    DelayWithoutPresentationTimes, 2};

}  // namespace murtesk::video::testing
