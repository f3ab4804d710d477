// The one-shot conversions and queries on generated clips, their results read back with the FFmpeg libraries (and one against the
// ffmpeg program's own frame grab): streams, lengths, the first picture by its blocks, bitmap bytes; the refusals
// and a write cut short, which leave nothing behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "clip_folder.h"
#include "conversions.h"
#include "ffmpeg_ptr.h"
#include "reordered_clips.h"
#include "wav_writer.h"

namespace murtesk::video {
namespace {

namespace fs = std::filesystem;
using samples::VideoContainer;
using testing::ClipFolder;
using testing::SmallClip;

ClipFolder& Clips() {
    static ClipFolder folder;
    return folder;
}

std::vector<std::uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The names in a folder (temporary files included).
std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void Le(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 24-bit bottom-up BMP's 54 header bytes, field by field.
std::vector<std::uint8_t> BmpHeader(std::uint32_t width, std::uint32_t height) {
    const std::uint32_t image = ((width * 3 + 3) / 4 * 4) * height;
    std::vector<std::uint8_t> h{'B', 'M'};
    Le(h, 54 + image, 4);  // file size
    Le(h, 0, 4);           // reserved
    Le(h, 54, 4);          // offset of the pixels
    Le(h, 40, 4);          // bitmap header size
    Le(h, width, 4);
    Le(h, height, 4);  // positive: bottom-up
    Le(h, 1, 2);       // planes
    Le(h, 24, 2);      // bits per pixel
    Le(h, 0, 4);       // no compression
    Le(h, image, 4);
    for (int i = 0; i < 4; ++i) Le(h, 0, 4);  // resolution, colours used, colours important
    return h;
}

// What an output file holds, as the FFmpeg libraries read it.
struct ReadBack {
    std::vector<AVCodecID> codecs;  // in stream order
    std::int64_t pictures = 0;
    double pictureSeconds = 0;  // pictures × the stream's frame period
    std::int64_t keyframes = 0;
    std::int32_t firstNumber = -1;
    std::array<int, 3> firstBgr{}, lastBgr{};  // the first and the last picture's centre pixel
    std::int64_t samples = 0;
    int rate = 0, channels = 0;
};

ReadBack Read(const std::string& path) {
    ReadBack r;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return r;
    FormatContextPtr format(raw);
    avformat_find_stream_info(raw, nullptr);
    std::vector<CodecContextPtr> decoders;
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVCodecParameters* p = raw->streams[i]->codecpar;
        r.codecs.push_back(p->codec_id);
        CodecContextPtr d(avcodec_alloc_context3(avcodec_find_decoder(p->codec_id)));
        avcodec_parameters_to_context(d.get(), p);
        avcodec_open2(d.get(), nullptr, nullptr);
        if (p->codec_type == AVMEDIA_TYPE_AUDIO) r.rate = p->sample_rate, r.channels = p->ch_layout.nb_channels;
        decoders.push_back(std::move(d));
    }
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc()), last(av_frame_alloc());
    // A picture as BGRA rows of 4 × width bytes.
    auto bgraOf = [](const AVFrame& f) {
        const int w = f.width, h = f.height;
        std::vector<std::uint8_t> bgra(static_cast<std::size_t>(w) * h * 4);
        SwsPtr sws(sws_getContext(w, h, static_cast<AVPixelFormat>(f.format), w, h, AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                  nullptr, nullptr, nullptr));
        std::uint8_t* dst[] = {bgra.data()};
        const int stride[] = {w * 4};
        sws_scale(sws.get(), f.data, f.linesize, 0, h, dst, stride);
        return bgra;
    };
    auto centreOf = [](const std::vector<std::uint8_t>& bgra, int w, int h) {
        const std::uint8_t* centre = &bgra[(static_cast<std::size_t>(h / 2) * w + w / 2) * 4];
        return std::array<int, 3>{centre[0], centre[1], centre[2]};
    };
    auto take = [&](unsigned index) {
        AVCodecContext* d = decoders[index].get();
        while (avcodec_receive_frame(d, frame.get()) >= 0) {
            if (d->codec_type == AVMEDIA_TYPE_AUDIO) {
                r.samples += frame->nb_samples;
            } else {
                if (r.pictures++ == 0) {
                    const std::vector<std::uint8_t> bgra = bgraOf(*frame);
                    r.firstNumber = samples::readFrameNumber(bgra.data(), frame->width * 4, frame->width, frame->height);
                    r.firstBgr = centreOf(bgra, frame->width, frame->height);
                }
                av_frame_unref(last.get());
                av_frame_ref(last.get(), frame.get());
            }
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        const unsigned index = static_cast<unsigned>(packet->stream_index);
        if (raw->streams[index]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && (packet->flags & AV_PKT_FLAG_KEY))
            ++r.keyframes;
        if (avcodec_send_packet(decoders[index].get(), packet.get()) >= 0) take(index);
        av_packet_unref(packet.get());
    }
    for (unsigned i = 0; i < decoders.size(); ++i) {
        avcodec_send_packet(decoders[i].get(), nullptr);
        take(i);
        if (raw->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
            r.pictureSeconds = r.pictures * av_q2d(av_inv_q(raw->streams[i]->avg_frame_rate));
    }
    if (last->data[0]) r.lastBgr = centreOf(bgraOf(*last), last->width, last->height);
    return r;
}

struct ExtractCase {
    const char* name;
    VideoContainer container;
    bool video, audio;
    std::vector<AVCodecID> codecs;
};

void PrintTo(const ExtractCase& c, std::ostream* out) { *out << c.name; }

class Extract : public ::testing::TestWithParam<ExtractCase> {};

// 510 .. 1510 ms of a 2 s clip at 30 pictures a second: the first picture is number 15 (shown from 500 ms), the
// last starts before 1510 ms (number 45): 31 pictures, within a frame of the span; the sound is the span's
// 44,100 samples exactly, in the source's two channels.
TEST_P(Extract, WritesTheSpanFromZeroWithTheSourcesStreams) {
    const ExtractCase& c = GetParam();
    auto options = SmallClip(c.container);
    options.video = c.video;
    options.audio = c.audio;
    const std::string clip = Clips().clip(std::string(c.name) + ".src", options);
    const std::string out = Clips().file(std::string(c.name) + ".avi");
    ASSERT_TRUE(ExtractSpan(clip, out, 510, 1510));
    const ReadBack r = Read(out);
    EXPECT_EQ(r.codecs, c.codecs);
    if (c.video) {
        EXPECT_EQ(r.firstNumber, 15);
        EXPECT_EQ(r.pictures, 31);
        EXPECT_NEAR(r.pictureSeconds, 1.0, 1.0 / 30 + 1e-9);
    }
    if (c.audio) {
        EXPECT_EQ(r.samples, 44100);
        EXPECT_EQ(r.rate, 44100);
        EXPECT_EQ(r.channels, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Extract,
    ::testing::Values(
        ExtractCase{"mpeg4_mp3", VideoContainer::Mpeg4Mp3Avi, true, true, {AV_CODEC_ID_MPEG4, AV_CODEC_ID_PCM_S16LE}},
        ExtractCase{"h264_aac", VideoContainer::H264AacMp4, true, true, {AV_CODEC_ID_H264, AV_CODEC_ID_PCM_S16LE}},
        ExtractCase{"mjpeg_pcm", VideoContainer::MjpegPcmAvi, true, true, {AV_CODEC_ID_MJPEG, AV_CODEC_ID_PCM_S16LE}},
        ExtractCase{"video_only", VideoContainer::Mpeg4Mp3Avi, true, false, {AV_CODEC_ID_MPEG4}},
        ExtractCase{"sound_only", VideoContainer::Mpeg4Mp3Avi, false, true, {AV_CODEC_ID_PCM_S16LE}}),
    [](const auto& info) { return std::string(info.param.name); });

class ExtractReordered : public ::testing::TestWithParam<testing::ReorderedClip> {};

// A span from 334 ms (picture 10, before the keyframe 12 in the open groups) to 1334 ms: pictures 10 to 40, each
// at its own time, of clips coded out of their shown order.
TEST_P(ExtractReordered, StartsAtThePictureOfItsStart) {
    const testing::ReorderedClip& c = GetParam();
    const std::string clip = c.make(Clips(), std::string("cut-") + c.label);
    if (clip.empty()) GTEST_SKIP() << "the ffmpeg program is not available";
    ASSERT_EQ(c.look(clip), c.expected);
    const std::string out = Clips().file(std::string("cut-") + c.label + "-span.avi");
    ASSERT_TRUE(ExtractSpan(clip, out, 334, 1334));
    const ReadBack r = Read(out);
    EXPECT_EQ(r.firstNumber, 10);
    EXPECT_EQ(r.pictures, 31);
}

INSTANTIATE_TEST_SUITE_P(Clips, ExtractReordered, ::testing::Values(testing::kBPicturesAvi, testing::kOpenGroupsAvi),
                         [](const auto& info) { return std::string(info.param.label); });

// The frame number drawn in a 160 × 120 bitmap. Rows bottom-up: the blocks of the number lie in the top third,
// the file's last rows.
std::int32_t BmpFrameNumber(const std::vector<std::uint8_t>& bmp) {
    if (bmp.size() != 54u + 480 * 120) return -1;
    std::vector<std::uint8_t> bgra(160 * 120 * 4);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x)
            for (int k = 0; k < 3; ++k) bgra[(y * 160 + x) * 4 + k] = bmp[54 + (119 - y) * 480 + x * 3 + k];
    return samples::readFrameNumber(bgra.data(), 160 * 4, 160, 120);
}

// The frame at 1000 ms (number 30 of 60), not the last one; its pixels as the ffmpeg program grabs the same frame.
TEST(AviToBmp, WritesTheFrameAtThePositionAsTheConverterDoes) {
    const std::string clip = Clips().clip("grab.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi));
    const std::string bmp = Clips().file("grab.bmp"), reference = Clips().file("reference.bmp");
    ASSERT_TRUE(CaptureFrame(clip, bmp, 1000));
    const std::vector<std::uint8_t> ours = Bytes(bmp);
    ASSERT_EQ(ours.size(), 54u + 480 * 120);
    EXPECT_EQ(std::vector<std::uint8_t>(ours.begin(), ours.begin() + 54), BmpHeader(160, 120));
    EXPECT_EQ(BmpFrameNumber(ours), 30);

    const std::string command =
        "ffmpeg -v error -y -ss 1 -i '" + clip + "' -frames:v 1 -pix_fmt bgr24 '" + reference + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "the ffmpeg program is not available";
    const std::vector<std::uint8_t> theirs = Bytes(reference);
    ASSERT_EQ(theirs.size(), ours.size());
    double difference = 0;
    for (std::size_t i = 54; i < ours.size(); ++i) difference += std::abs(int(ours[i]) - int(theirs[i]));
    EXPECT_LT(difference / static_cast<double>(ours.size() - 54), 2.0);  // the same frame, scaled the same way
}

class CapturedPictures : public ::testing::TestWithParam<testing::ReorderedClip> {};

// Pictures coded out of their shown order (open groups, whose leading pictures come after their keyframe in the
// file and cannot be made from it; B pictures in a file of decoding times only), the last keyframe two pictures
// before the end: each picture is captured as itself.
TEST_P(CapturedPictures, EveryPictureIsCapturedAsItself) {
    const testing::ReorderedClip& c = GetParam();
    const std::string clip = c.make(Clips(), c.label);
    if (clip.empty()) GTEST_SKIP() << "the ffmpeg program is not available";
    ASSERT_EQ(c.look(clip), c.expected);
    const std::string bmp = Clips().file(std::string(c.label) + ".bmp");
    for (std::int32_t frame = 0; frame < 50; ++frame) {
        ASSERT_TRUE(CaptureFrame(clip, bmp, (frame * 1000 + 29) / 30));
        EXPECT_EQ(BmpFrameNumber(Bytes(bmp)), frame);
    }
}

INSTANTIATE_TEST_SUITE_P(Clips, CapturedPictures, ::testing::Values(testing::kOpenGroupsMp4, testing::kBPicturesAvi, testing::kOpenGroupsAvi),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(GetVideoWithHeight, ReadsTheNativeSize) {
    std::int32_t w = 0, h = 0;
    ASSERT_TRUE(ReadVideoSize(Clips().clip("size.mp4", SmallClip(VideoContainer::H264AacMp4)), w, h));
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
}

// A still picture in any of its forms counts 1, a clip its frames (2 s at 30 a second, shown in their coded
// order or not), a file of sound only 0; the count stops at `most`.
struct PictureCount {
    const char* name;
    const char* ffmpeg;  // the ffmpeg program's arguments before the file's name; null: a sample clip
    const char* extension;
    std::int32_t most;
    std::int32_t pictures;
};

class GetVideoPictureCount : public ::testing::TestWithParam<PictureCount> {};

TEST_P(GetVideoPictureCount, CountsThePicturesOfDifferentTimes) {
    const PictureCount& c = GetParam();
    std::string file;
    if (c.ffmpeg == nullptr) {
        const bool camera = std::string(c.extension) == ".mp4";
        file = Clips().clip(std::string("count") + c.extension,
                            SmallClip(camera ? VideoContainer::H264AacMp4 : VideoContainer::Mpeg4Mp3Avi));
    } else {
        file = Clips().file(std::string("count-") + c.name + c.extension);
        const std::string command = "ffmpeg -nostdin -v error -y " + std::string(c.ffmpeg) + " '" + file + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    EXPECT_EQ(CountPictures(file, c.most), c.pictures);
}

constexpr const char* kPicture = "-f lavfi -i testsrc=size=160x120:rate=25:duration=0.04";

INSTANTIATE_TEST_SUITE_P(
    Files, GetVideoPictureCount,
    ::testing::Values(
        PictureCount{"Png", kPicture, ".png", 2, 1}, PictureCount{"Jpeg", kPicture, ".jpg", 2, 1},
        PictureCount{"OnePictureAvi", "-f lavfi -i testsrc=size=160x120:rate=25:duration=0.04 -c:v mpeg4", ".avi", 2,
                     1},
        PictureCount{"OnePictureAndFiveSecondsOfSound",
                     "-f lavfi -i testsrc=size=160x120:rate=25:duration=0.04 -f lavfi -i sine=d=5 -c:v libx264 -c:a aac",
                     ".mp4", 2, 1},
        // Three pictures at time 0: a stream of length 0.
        PictureCount{"PicturesAtOneTime",
                     "-f lavfi -i testsrc=size=160x120:rate=25:duration=0.12 -c:v mjpeg -bsf:v setts=ts=0", ".mkv", 2,
                     1},
        PictureCount{"SoundOnly", "-f lavfi -i sine=d=1", ".wav", 2, 0},
        PictureCount{"TwoPictures", "-f lavfi -i testsrc=size=160x120:rate=25:duration=0.08 -c:v mpeg4", ".avi", 1000,
                     2},
        PictureCount{"WholeClip", nullptr, ".avi", 1000, 60},
        PictureCount{"WholeCameraClipWithBPictures", nullptr, ".mp4", 1000, 60},
        PictureCount{"ClipToMost", nullptr, ".avi", 2, 2},
        PictureCount{"NothingAsked", nullptr, ".avi", 0, 0}),
    [](const ::testing::TestParamInfo<PictureCount>& info) { return info.param.name; });

// A 2 × 2 picture of one colour, written field by field: rows of 6 bytes padded to 8.
std::string SolidBitmap(const std::string& name, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    std::vector<std::uint8_t> bytes = BmpHeader(2, 2);
    for (int row = 0; row < 2; ++row) bytes.insert(bytes.end(), {b, g, r, b, g, r, 0, 0});
    const std::string path = Clips().file(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}

// 30 pictures at 10 a second: 3.0 s of the bitmap's colour (within RGB555's steps of 8); a WAV of 1 s at 8 kHz
// mono becomes 3.0 s at 22,050 Hz in stereo, filled with silence.
TEST(Bmp2Avi, ShowsTheBitmapForFramesOverFpsSeconds) {
    const std::string bitmap = SolidBitmap("solid.bmp", 40, 160, 240);
    const std::string wav = Clips().file("tone.wav");
    std::vector<double> tone(8000);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5 * std::sin(i * 0.3);
    const std::vector<std::uint8_t> wavFile = samples::wavBytes({8000, 1, samples::SampleFormat::Pcm16}, tone);
    std::ofstream(wav, std::ios::binary).write(reinterpret_cast<const char*>(wavFile.data()), wavFile.size());

    for (const bool withSound : {false, true}) {
        SCOPED_TRACE(withSound ? "with a WAV" : "silent");
        const std::string out = Clips().file(withSound ? "movie-sound.avi" : "movie.avi");
        ASSERT_TRUE(BuildBitmapMovie(bitmap, withSound ? wav : "", out, 10.0, 30, 64, 48, 2, 22050));
        const ReadBack r = Read(out);
        const std::vector<AVCodecID> codecs =
            withSound ? std::vector{AV_CODEC_ID_MSVIDEO1, AV_CODEC_ID_PCM_S16LE} : std::vector{AV_CODEC_ID_MSVIDEO1};
        EXPECT_EQ(r.codecs, codecs);
        EXPECT_EQ(r.pictures, 30);
        EXPECT_DOUBLE_EQ(r.pictureSeconds, 3.0);
        EXPECT_NEAR(r.firstBgr[0], 40, 8);
        EXPECT_NEAR(r.firstBgr[1], 160, 8);
        EXPECT_NEAR(r.firstBgr[2], 240, 8);
        if (withSound) {
            EXPECT_EQ(r.samples, 3 * 22050);
            EXPECT_EQ(r.rate, 22050);
            EXPECT_EQ(r.channels, 2);
        }
    }
}

// 12,500 pictures of 640 × 480 at 30 a second (7 minutes): a movie of some 20 MB that any disk here holds, written
// whole, every 26th picture a keyframe, the last as the first.
TEST(Bmp2Avi, WritesAMovieThatFits) {
    const std::string bitmap = SolidBitmap("long.bmp", 200, 40, 80);
    const std::string out = Clips().file("long.avi");
    ASSERT_TRUE(BuildBitmapMovie(bitmap, "", out, 30.0, 12500, 640, 480, 1, 8000));
    const ReadBack r = Read(out);
    EXPECT_EQ(r.codecs, std::vector{AV_CODEC_ID_MSVIDEO1});
    EXPECT_EQ(r.pictures, 12500);
    EXPECT_DOUBLE_EQ(r.pictureSeconds, 12500 / 30.0);
    EXPECT_EQ(r.keyframes, 481);  // 0, 26, ..., 12480
    for (const auto& bgr : {r.firstBgr, r.lastBgr}) {
        EXPECT_NEAR(bgr[0], 200, 8);
        EXPECT_NEAR(bgr[1], 40, 8);
        EXPECT_NEAR(bgr[2], 80, 8);
    }
    EXPECT_LT(fs::file_size(out), 40u << 20);
}

// Every refusal answers false and leaves the folder as it was.
TEST(Conversions, RefusalsWriteNothing) {
    const std::string clip = Clips().clip("refuse.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi));
    const std::string sound = Clips().clip("refuse-sound.avi", [] {
        auto o = SmallClip(VideoContainer::Mpeg4Mp3Avi);
        o.video = false;
        return o;
    }());
    const std::string bitmap = SolidBitmap("refuse.bmp", 1, 2, 3);
    const std::string empty = Clips().file("empty.avi"), text = Clips().file("text.bmp");
    std::ofstream(empty).close();
    std::ofstream(text) << "not a picture";
    const std::string out = Clips().file("out.avi"), missing = Clips().file("none/out.avi");
    const std::vector<std::string> before = Listing(Clips().file(""));

    struct Case {
        const char* what;
        bool result;
    };
    for (const Case& c : {
             Case{"missing source", ExtractSpan(Clips().file("none.avi"), out, 0, 1000)},
             Case{"empty source", ExtractSpan(empty, out, 0, 1000)},
             Case{"span past the end", ExtractSpan(clip, out, 2500, 3000)},
             Case{"start after end", ExtractSpan(clip, out, 1000, 500)},
             Case{"missing target folder", ExtractSpan(clip, missing, 0, 1000)},
             Case{"bitmap of a sound file", CaptureFrame(sound, Clips().file("out.bmp"), 0)},
             Case{"size of a sound file",
                  [&] {
                      std::int32_t w, h;
                      return ReadVideoSize(sound, w, h);
                  }()},
             Case{"unreadable bitmap", BuildBitmapMovie(text, "", out, 10, 30, 64, 48, 1, 8000)},
             Case{"unreadable WAV", BuildBitmapMovie(bitmap, text, out, 10, 30, 64, 48, 1, 8000)},
             Case{"no frames", BuildBitmapMovie(bitmap, "", out, 10, 0, 64, 48, 1, 8000)},
             Case{"no frame rate", BuildBitmapMovie(bitmap, "", out, 0, 30, 64, 48, 1, 8000)},
             Case{"width not a multiple of 4", BuildBitmapMovie(bitmap, "", out, 10, 30, 66, 48, 1, 8000)},
             Case{"no channels", BuildBitmapMovie(bitmap, clip, out, 10, 30, 64, 48, 0, 8000)},
             // What the AVI header cannot describe: a picture of more than 2^32 - 1 microseconds, a sound stream of
             // more than 2^32 - 1 samples (60,000 pictures of a second at 96 kHz).
             Case{"picture of 5,000 s", BuildBitmapMovie(bitmap, "", out, 0.0002, 1, 64, 48, 1, 8000)},
             Case{"sound of 5.76e9 samples", BuildBitmapMovie(bitmap, clip, out, 1, 60000, 64, 48, 1, 96000)},
             // A movie that passes the free space: 2^31 - 1 pictures of 1024 × 1024, one in 26 a keyframe of
             // 131 kB (some 11 PB in all).
             Case{"2,147,483,647 pictures", BuildBitmapMovie(bitmap, "", out, 30, 2147483647, 1024, 1024, 1, 8000)},
             // A picture the coder cannot hold: 9 bytes a pixel of 16384 × 16384 pass 2^31 - 1.
             Case{"15 pictures of 16384 x 16384", BuildBitmapMovie(bitmap, "", out, 30, 15, 16384, 16384, 1, 8000)},
             // 64 channels from a stereo sound: no rule mixes them.
             Case{"44 s of 64 channels at 768 kHz", BuildBitmapMovie(bitmap, clip, out, 1, 44, 64, 48, 64, 768000)},
         }) {
        EXPECT_FALSE(c.result) << c.what;
    }
    EXPECT_EQ(Listing(Clips().file("")), before);
}

// A temporary file that a killed call left beside the target (its lock went with the call) is removed by the
// next call for that target; one that a running call holds locked, and another target's, stay.
TEST(Conversions, TheNextCallRemovesWhatAKilledOneLeft) {
    const std::string folder = Clips().file("killed");
    fs::create_directory(folder);
    const std::string target = folder + "/big.avi";
    const std::vector<std::string> names{"big.avi.~0123456789ab", "big.avi.~fedcba987654", "other.avi.~0123456789ab"};
    for (const std::string& name : names) std::ofstream(folder + "/" + name) << "part of a movie";
    const int running = open((folder + "/" + names[1]).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(running, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(BuildBitmapMovie(SolidBitmap("killed.bmp", 1, 2, 3), "", target, 10, 3, 16, 16, 1, 8000));
    close(running);
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"big.avi", names[1], names[2]}));
}

// A file-size limit cuts the extraction's writing short: it fails, the old target stays and no temporary file
// is left. Run in a child process, which alone has the limit.
TEST(Conversions, WriteCutShortLeavesTheOldTarget) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string clip = Clips().clip("limit.avi", SmallClip(VideoContainer::Mpeg4Mp3Avi));
    const std::string folder = Clips().file("limit");
    fs::create_directory(folder);
    const std::string target = folder + "/out.avi";
    std::ofstream(target) << "old";
    EXPECT_EXIT(
        {
            signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = 20000;
            setrlimit(RLIMIT_FSIZE, &limit);
            std::_Exit(ExtractSpan(clip, target, 0, 2000) ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"out.avi"});
    EXPECT_EQ(Bytes(target), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

}  // namespace
}  // namespace murtesk::video
