#include "video_clips.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <vector>

namespace murtesk::samples {

namespace {

// ---------------------------------------------------------------------------------------------------------
// Pictures

struct Yuv {
    uint8_t y, u, v;
};

// BT.601 studio range from 8-bit RGB.
constexpr Yuv yuvOf(int r, int g, int b) {
    return {static_cast<uint8_t>(16 + (65.481 * r + 128.553 * g + 24.966 * b) / 255.0 + 0.5),
            static_cast<uint8_t>(128 + (-37.797 * r - 74.203 * g + 112.0 * b) / 255.0 + 0.5),
            static_cast<uint8_t>(128 + (112.0 * r - 93.786 * g - 18.214 * b) / 255.0 + 0.5)};
}

constexpr Yuv kBlack{16, 128, 128};
constexpr Yuv kWhite{235, 128, 128};
constexpr Yuv kGrey{128, 128, 128};

constexpr int kBlockColumns = 8;
constexpr int kBlockRows = 2;
constexpr int kBits = kBlockColumns * kBlockRows;

// The block of bit `bit` (15 is the top-left one) covers [x0, x1) × [y0, y1) of a width × height picture.
void blockRect(int bit, int width, int height, int& x0, int& y0, int& x1, int& y1) {
    const int index = kBits - 1 - bit;
    const int row = index / kBlockColumns, column = index % kBlockColumns;
    const int stripHeight = height / 3;
    x0 = column * width / kBlockColumns;
    x1 = (column + 1) * width / kBlockColumns;
    y0 = row * stripHeight / kBlockRows;
    y1 = (row + 1) * stripHeight / kBlockRows;
}

void fillRect(AVFrame* frame, int x0, int y0, int x1, int y1, Yuv colour) {
    x0 = std::clamp(x0, 0, frame->width);
    x1 = std::clamp(x1, 0, frame->width);
    y0 = std::clamp(y0, 0, frame->height);
    y1 = std::clamp(y1, 0, frame->height);
    if (x0 >= x1 || y0 >= y1) return;
    for (int y = y0; y < y1; ++y)
        std::fill_n(frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0] + x0, x1 - x0, colour.y);
    for (int y = y0 / 2; y < (y1 + 1) / 2; ++y) {
        std::fill_n(frame->data[1] + static_cast<ptrdiff_t>(y) * frame->linesize[1] + x0 / 2, (x1 + 1) / 2 - x0 / 2,
                    colour.u);
        std::fill_n(frame->data[2] + static_cast<ptrdiff_t>(y) * frame->linesize[2] + x0 / 2, (x1 + 1) / 2 - x0 / 2,
                    colour.v);
    }
}

// One vehicle of the Road scene: it enters at `start` seconds and crosses the picture in `crossing` seconds.
struct Vehicle {
    double start;
    double crossing;
    int lane;       // 0: left to right on the far lane, 1: right to left on the near lane
    double length;  // as a fraction of the picture width
    Yuv body;
};

std::vector<Vehicle> vehiclesFor(double seconds) {
    static constexpr Yuv kBodies[] = {yuvOf(200, 30, 30), yuvOf(240, 240, 240), yuvOf(30, 60, 200), yuvOf(230, 200, 40),
                                      yuvOf(40, 150, 60)};
    std::vector<Vehicle> vehicles;
    for (int k = 0; 1.3 * k < seconds; ++k) {
        const double length = (k % 4 == 3) ? 0.30 : 0.14;  // every fourth vehicle a lorry
        vehicles.push_back({1.3 * k + 0.4 * (k % 3), 2.0 + 0.5 * (k % 3), k % 2, length, kBodies[k % 5]});
    }
    return vehicles;
}

void drawPicture(AVFrame* frame, int64_t number, double time, const VideoClipOptions& options,
                 const std::vector<Vehicle>& vehicles) {
    const int w = frame->width, h = frame->height;
    for (int bit = 0; bit < kBits; ++bit) {
        int x0, y0, x1, y1;
        blockRect(bit, w, h, x0, y0, x1, y1);
        fillRect(frame, x0, y0, x1, y1, ((number >> bit) & 1) ? kWhite : kBlack);
    }
    const int top = h / 3;
    if (options.scene == VideoScene::Blocks) {
        fillRect(frame, 0, top, w, h, kGrey);
        return;
    }
    const int roadTop = top + (h - top) / 4, roadBottom = h - (h - top) / 8;
    fillRect(frame, 0, top, w, roadTop, yuvOf(150, 190, 230));
    fillRect(frame, 0, roadTop, w, roadBottom, yuvOf(70, 70, 75));
    fillRect(frame, 0, roadBottom, w, h, yuvOf(60, 120, 50));
    const int middle = (roadTop + roadBottom) / 2, dash = std::max(2, w / 16), line = std::max(2, h / 80);
    for (int x = 0; x < w; x += 2 * dash)
        fillRect(frame, x, middle - line / 2, x + dash, middle - line / 2 + line, kWhite);
    for (const Vehicle& v : vehicles) {
        const double progress = (time - v.start) / v.crossing;  // 0: front at the entry edge; 1: gone
        if (progress < 0.0 || progress > 1.0 + v.length) continue;
        const double front = progress * (1.0 + v.length) * w;
        const int length = static_cast<int>(v.length * w);
        const int laneTop = v.lane == 0 ? roadTop : middle;
        const int y0 = laneTop + (middle - roadTop) / 6, y1 = laneTop + (middle - roadTop) * 5 / 6;
        int x0 = static_cast<int>(front) - length, x1 = static_cast<int>(front);
        if (v.lane == 1) {
            x0 = w - static_cast<int>(front);
            x1 = x0 + length;
        }
        fillRect(frame, x0, y0, x1, y1, v.body);
        const int inset = length / 6;
        const int cab = v.lane == 0 ? x1 - inset - length / 5 : x0 + inset;
        fillRect(frame, cab, y0 + (y1 - y0) / 5, cab + length / 5, y0 + (y1 - y0) / 2, yuvOf(40, 50, 70));
    }
    // A camera's grain, new in every frame, so that the scene codes and decodes like filmed footage.
    uint64_t state = 0x9e3779b97f4a7c15ULL * static_cast<uint64_t>(number + 1);
    for (int y = top; y < h; ++y) {
        uint8_t* row = frame->data[0] + static_cast<ptrdiff_t>(y) * frame->linesize[0];
        for (int x = 0; x < w; x += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            for (int k = 0; k < 8 && x + k < w; ++k) {
                const int grain = static_cast<int>((state >> (8 * k)) & 15) - 8;
                row[x + k] = static_cast<uint8_t>(std::clamp(row[x + k] + grain, 16, 235));
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Sound

double soundAt(double t, const VideoClipOptions& options, const std::vector<Vehicle>& vehicles) {
    using std::numbers::pi;
    double s = 0.15 * std::sin(2.0 * pi * 440.0 * t);
    const double sinceSecond = t - std::floor(t);
    if (sinceSecond < 0.005) s += 0.6 * std::sin(2.0 * pi * 2000.0 * t);
    if (options.scene == VideoScene::Road) {
        for (const Vehicle& v : vehicles) {
            const double passing = v.start + 0.5 * v.crossing * (1.0 + v.length);
            const double d = (t - passing) / (0.3 * v.crossing);
            const double envelope = 1.0 / (1.0 + d * d);
            s += 0.25 * envelope * std::sin(2.0 * pi * (60.0 + 40.0 * v.length) * t) *
                 (0.6 + 0.4 * std::sin(2.0 * pi * 7.0 * t));
        }
    }
    return std::clamp(s, -1.0, 1.0);
}

void fillSound(AVFrame* frame, int64_t firstSample, const VideoClipOptions& options,
               const std::vector<Vehicle>& vehicles) {
    const int channels = frame->ch_layout.nb_channels;
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    for (int i = 0; i < frame->nb_samples; ++i) {
        const double value = soundAt(static_cast<double>(firstSample + i) / frame->sample_rate, options, vehicles);
        for (int c = 0; c < channels; ++c) {
            const int plane = planar ? c : 0;
            const int index = planar ? i : i * channels + c;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_FLT:
                reinterpret_cast<float*>(frame->data[plane])[index] = static_cast<float>(value);
                break;
            case AV_SAMPLE_FMT_S16:
                reinterpret_cast<int16_t*>(frame->data[plane])[index] = static_cast<int16_t>(std::lrint(value * 32767));
                break;
            case AV_SAMPLE_FMT_S32:
                reinterpret_cast<int32_t*>(frame->data[plane])[index] =
                    static_cast<int32_t>(std::lrint(value * 2147483647.0));
                break;
            default: break;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------------------
// Writing

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct OutputFree {
    void operator()(AVFormatContext* f) const {
        if (f->pb && !(f->oformat->flags & AVFMT_NOFILE)) avio_closep(&f->pb);
        avformat_free_context(f);
    }
};

struct OutputStream {
    std::unique_ptr<AVCodecContext, CodecContextFree> coder;
    AVStream* stream = nullptr;
    std::unique_ptr<AVFrame, FrameFree> frame;
    int64_t next = 0;  // next frame number or sample number, in the coder's time base
    int64_t end = 0;   // frames or samples to write
};

class ClipWriter {
public:
    ClipWriter(const std::string& path, const VideoClipOptions& options) : path_(path), options_(options) {}

    bool write(std::string& error) {
        if (!openOutput(error)) return false;
        if (options_.video && !addVideo(error)) return false;
        if (options_.audio && options_.container != VideoContainer::H264Raw && !addAudio(error)) return false;
        if (!video_.coder && !audio_.coder) return fail(error, "a clip needs a picture or a sound");
        if (!(output_->oformat->flags & AVFMT_NOFILE) && avio_open(&output_->pb, path_.c_str(), AVIO_FLAG_WRITE) < 0)
            return fail(error, "cannot create " + path_);
        // The sound coder's delay gives its first packet a negative time; shifting every stream to make it
        // non-negative would delay the AVI's pictures by a frame. The pictures keep their exact times instead.
        output_->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
        if (avformat_write_header(output_.get(), nullptr) < 0) return fail(error, "cannot write the header");
        packet_.reset(av_packet_alloc());
        while (more(video_) || more(audio_)) {
            const bool videoFirst =
                more(video_) && (!more(audio_) || av_compare_ts(video_.next, video_.coder->time_base, audio_.next,
                                                                audio_.coder->time_base) <= 0);
            if (!(videoFirst ? writeVideoFrame() : writeAudioFrame()))
                return fail(error, "cannot code or write a frame");
        }
        for (OutputStream* s : {&video_, &audio_})
            if (s->coder && !encode(*s, nullptr)) return fail(error, "cannot flush a coder");
        if (av_write_trailer(output_.get()) < 0) return fail(error, "cannot write the trailer");
        return true;
    }

private:
    static bool more(const OutputStream& s) { return s.coder && s.next < s.end; }

    bool fail(std::string& error, const std::string& reason) {
        error = reason;
        return false;
    }

    bool openOutput(std::string& error) {
        const char* format = nullptr;
        switch (options_.container) {
        case VideoContainer::Mpeg4Mp3Avi:
        case VideoContainer::MjpegPcmAvi: format = "avi"; break;
        case VideoContainer::H264AacMp4: format = "mp4"; break;
        case VideoContainer::H264Raw: format = "h264"; break;
        }
        AVFormatContext* output = nullptr;
        if (avformat_alloc_output_context2(&output, nullptr, format, path_.c_str()) < 0 || !output)
            return fail(error, "no muxer");
        output_.reset(output);
        return true;
    }

    bool openCoder(OutputStream& s, const AVCodec* codec, AVDictionary** options, std::string& error) {
        if (output_->oformat->flags & AVFMT_GLOBALHEADER) s.coder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(s.coder.get(), codec, options) < 0)
            return fail(error, std::string("cannot open the coder ") + codec->name);
        s.stream = avformat_new_stream(output_.get(), nullptr);
        if (!s.stream || avcodec_parameters_from_context(s.stream->codecpar, s.coder.get()) < 0)
            return fail(error, "cannot add a stream");
        s.stream->time_base = s.coder->time_base;
        return true;
    }

    bool addVideo(std::string& error) {
        const bool h264 =
            options_.container == VideoContainer::H264AacMp4 || options_.container == VideoContainer::H264Raw;
        const bool mjpeg = options_.container == VideoContainer::MjpegPcmAvi;
        const AVCodec* codec = h264    ? avcodec_find_encoder_by_name("libx264")
                               : mjpeg ? avcodec_find_encoder(AV_CODEC_ID_MJPEG)
                                       : avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        if (!codec) return fail(error, "no video coder");
        if (options_.width < 16 || options_.height < 16 || options_.width % 2 || options_.height % 2 ||
            options_.fps < 1)
            return fail(error, "a picture needs an even size of at least 16 × 16 and a frame rate");
        video_.coder.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = video_.coder.get();
        c->width = options_.width;
        c->height = options_.height;
        c->time_base = AVRational{1, options_.fps};
        c->framerate = AVRational{options_.fps, 1};
        c->pix_fmt = mjpeg ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
        c->gop_size = options_.keyframeInterval > 0 ? options_.keyframeInterval : (h264 ? 250 : mjpeg ? 1 : 12);
        AVDictionary* options = nullptr;
        if (h264) {
            av_dict_set(&options, "preset", options_.x264Preset, 0);
        } else if (mjpeg) {
            c->flags |= AV_CODEC_FLAG_QSCALE;
            c->global_quality = FF_QP2LAMBDA * 3;
        } else {
            c->bit_rate = options_.videoBitRate > 0 ? options_.videoBitRate : 200000;
        }
        if (h264 && options_.videoBitRate > 0) c->bit_rate = options_.videoBitRate;
        const bool opened = openCoder(video_, codec, &options, error);
        av_dict_free(&options);
        if (!opened) return false;
        video_.frame.reset(av_frame_alloc());
        video_.frame->format = c->pix_fmt;
        video_.frame->width = c->width;
        video_.frame->height = c->height;
        if (av_frame_get_buffer(video_.frame.get(), 0) < 0) return fail(error, "no memory for a picture");
        video_.end = videoClipFrames(options_);
        return true;
    }

    bool addAudio(std::string& error) {
        const AVCodecID id = options_.container == VideoContainer::H264AacMp4    ? AV_CODEC_ID_AAC
                             : options_.container == VideoContainer::MjpegPcmAvi ? AV_CODEC_ID_PCM_S16LE
                                                                                 : AV_CODEC_ID_MP3;
        const AVCodec* codec = avcodec_find_encoder(id);
        if (!codec) return fail(error, "no sound coder");
        audio_.coder.reset(avcodec_alloc_context3(codec));
        AVCodecContext* c = audio_.coder.get();
        c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        c->sample_rate = options_.audioRate;
        av_channel_layout_default(&c->ch_layout, 2);
        c->time_base = AVRational{1, options_.audioRate};
        if (id != AV_CODEC_ID_PCM_S16LE) c->bit_rate = 128000;
        if (!openCoder(audio_, codec, nullptr, error)) return false;
        audio_.frame.reset(av_frame_alloc());
        AVFrame* f = audio_.frame.get();
        f->format = c->sample_fmt;
        f->sample_rate = c->sample_rate;
        av_channel_layout_copy(&f->ch_layout, &c->ch_layout);
        f->nb_samples = c->frame_size > 0 ? c->frame_size : 1024;
        if (av_frame_get_buffer(f, 0) < 0) return fail(error, "no memory for sound");
        audio_.end = std::llround(options_.seconds * options_.audioRate);
        return true;
    }

    bool writeVideoFrame() {
        AVFrame* f = video_.frame.get();
        if (av_frame_make_writable(f) < 0) return false;
        drawPicture(f, video_.next, static_cast<double>(video_.next) / options_.fps, options_, vehicles_);
        f->pts = video_.next++;
        return encode(video_, f);
    }

    bool writeAudioFrame() {
        AVFrame* f = audio_.frame.get();
        if (av_frame_make_writable(f) < 0) return false;
        // The last frame is as long as the sound that is left, where the coder takes a shorter last frame.
        const int64_t left = audio_.end - audio_.next;
        const int shorter = AV_CODEC_CAP_VARIABLE_FRAME_SIZE | AV_CODEC_CAP_SMALL_LAST_FRAME;
        if (left < f->nb_samples && (audio_.coder->codec->capabilities & shorter))
            f->nb_samples = static_cast<int>(left);
        fillSound(f, audio_.next, options_, vehicles_);
        f->pts = audio_.next;
        audio_.next += f->nb_samples;
        return encode(audio_, f);
    }

    bool encode(OutputStream& s, AVFrame* frame) {
        if (avcodec_send_frame(s.coder.get(), frame) < 0) return false;
        for (;;) {
            const int r = avcodec_receive_packet(s.coder.get(), packet_.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return false;
            av_packet_rescale_ts(packet_.get(), s.coder->time_base, s.stream->time_base);
            packet_->stream_index = s.stream->index;
            if (av_interleaved_write_frame(output_.get(), packet_.get()) < 0) return false;
        }
    }

    std::string path_;
    VideoClipOptions options_;
    std::vector<Vehicle> vehicles_ = vehiclesFor(options_.seconds);
    std::unique_ptr<AVFormatContext, OutputFree> output_;
    std::unique_ptr<AVPacket, PacketFree> packet_;
    OutputStream video_;
    OutputStream audio_;
};

}  // namespace

int64_t videoClipFrames(const VideoClipOptions& options) { return std::llround(options.seconds * options.fps); }

bool writeVideoClip(const std::string& path, const VideoClipOptions& options, std::string* error) {
    std::string reason;
    bool ok = false;
    {
        av_log_set_level(AV_LOG_ERROR);
        ClipWriter writer(path, options);
        ok = writer.write(reason);
    }
    if (!ok) {
        std::remove(path.c_str());
        if (error) *error = reason;
    }
    return ok;
}

int32_t readFrameNumber(const uint8_t* bgra, int stride, int width, int height) {
    if (!bgra || width < kBlockColumns * 2 || height < 12) return -1;
    int32_t number = 0;
    for (int bit = 0; bit < kBits; ++bit) {
        int x0, y0, x1, y1;
        blockRect(bit, width, height, x0, y0, x1, y1);
        // The middle half of the block: its edges blur under coding and scaling.
        const int qx = (x1 - x0) / 4, qy = (y1 - y0) / 4;
        long sum = 0, count = 0;
        for (int y = y0 + qy; y < y1 - qy; ++y)
            for (int x = x0 + qx; x < x1 - qx; ++x) {
                const uint8_t* p = bgra + static_cast<ptrdiff_t>(y) * stride + 4 * x;
                sum += p[0] + p[1] + p[2];
                ++count;
            }
        if (count == 0) return -1;
        const long mean = sum / (3 * count);
        if (mean > 170)
            number |= 1 << bit;
        else if (mean >= 85)
            return -1;
    }
    return number;
}

}  // namespace murtesk::samples
