// The video library's player and the vehicle records.
//
// Clips: 60 s of 1920 × 1080 at 30 fps (the road scene) as H.264 and AAC in MP4 (a keyframe every 250 frames),
// and that file converted by the external converter as it converts by default ("ffmpeg -i road.mp4 road.avi":
// MPEG-4 Visual with a keyframe every 12 frames, MP3), and its H.264 coded again by the converter with B pictures,
// with P pictures only, and in open groups of 30 with B pictures (as field cameras record), and the B pictures and
// the open groups copied into AVI, which keeps decoding times only. They are made once into
// $MURTESK_BENCH_CACHE (default /tmp/murtesk-bench-video). A fake host takes the frames, at 960 × 540 or
// 1920 × 1080 (its client size); the sound goes to the null device, which plays in real time.
//
// Counters:
//   real time: frames presented and expected, frames later than one frame period after their time (the first
//   frame's arrival is the reference), the latest one, and the process's CPU time per second of video;
//   seeks: median and worst time from the request to the frame's arrival at the host; steps: also how many
//   showed another frame than the one asked (by the frame number each picture carries), and how many showed a
//   number that could not be read.
//
// Also the conversions (a span as a new AVI beside the converter doing the same, a frame as a bitmap), and the
// video observation window's model over a day's vehicles: a tick, a lane change, the four CSV exports.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <utility>
#include <vector>

#include "conversions.h"
#include "fake_ui.h"
#include "fake_video_host.h"
#include "globals.h"
#include "platform/dates.h"
#include "play_avi.h"
#include "playback/car_count.h"
#include "playback/frmPlayAVI.h"
#include "scripted_kinemo.h"
#include "video_clips.h"

namespace {

using namespace std::chrono_literals;
using murtesk::platform::testing::FakeVideoHost;
using murtesk::video::CPlayAvi;
using murtesk::video::TicksFromMs;
using Clock = std::chrono::steady_clock;

struct Clips {
    std::string mp4;
    std::string avi;
    std::string bframes;
    std::string pframes;
    std::string opengop;
    std::string bframesAvi;
    std::string opengopAvi;
};

const Clips& BenchClips() {
    static const Clips clips = [] {
        const char* cache = std::getenv("MURTESK_BENCH_CACHE");
        const std::filesystem::path dir = cache ? cache : "/tmp/murtesk-bench-video";
        std::filesystem::create_directories(dir);
        Clips c{(dir / "road-1080p.mp4").string(), (dir / "road-1080p.avi").string(),
                (dir / "road-1080p-bframes.mp4").string(), (dir / "road-1080p-pframes.mp4").string(),
                (dir / "road-1080p-opengop.mp4").string(), (dir / "road-1080p-bframes.avi").string(),
                (dir / "road-1080p-opengop.avi").string()};
        if (!std::filesystem::exists(c.mp4)) {
            if (!murtesk::samples::writeVideoClip(c.mp4, murtesk::samples::RoadClip1080p())) std::abort();
        }
        if (!std::filesystem::exists(c.avi)) {
            const std::string command = "ffmpeg -nostdin -v error -y -i '" + c.mp4 + "' '" + c.avi + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        if (!std::filesystem::exists(c.bframes)) {
            const std::string command = "ffmpeg -nostdin -v error -y -i '" + c.mp4 +
                                        "' -c:v libx264 -preset medium -crf 23 -g 250 -bf 3 -x264-params b-adapt=0 "
                                        "-c:a copy '" + c.bframes + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        if (!std::filesystem::exists(c.pframes)) {
            const std::string command = "ffmpeg -nostdin -v error -y -i '" + c.mp4 +
                                        "' -c:v libx264 -preset medium -crf 23 -g 250 -bf 0 -c:a copy '" + c.pframes +
                                        "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        if (!std::filesystem::exists(c.opengop)) {
            const std::string command = "ffmpeg -nostdin -v error -y -i '" + c.mp4 +
                                        "' -c:v libx264 -preset medium -crf 23 -g 30 -bf 3 -x264-params "
                                        "open-gop=1:b-adapt=0:scenecut=0 -c:a copy '" + c.opengop + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        for (const auto& [mp4, avi] : {std::pair{c.bframes, c.bframesAvi}, std::pair{c.opengop, c.opengopAvi}}) {
            if (std::filesystem::exists(avi)) continue;
            const std::string command = "ffmpeg -nostdin -v error -y -i '" + mp4 + "' -c copy '" + avi + "'";
            if (std::system(command.c_str()) != 0) std::abort();
        }
        return c;
    }();
    return clips;
}

// 0: the AVI, 1: the MP4 (H.264 of P pictures but for a few the coder chose B), 2: its H.264 with B pictures,
// 3: its H.264 of P pictures only (no B pictures allowed), 4: its H.264 in open groups of 30 (the three pictures
// before each keyframe refer to the group before it), 5 and 6: the streams of 2 and 4 in AVI.
const std::string& ClipOf(int which) {
    const Clips& c = BenchClips();
    const std::string* clips[] = {&c.avi, &c.mp4, &c.bframes, &c.pframes, &c.opengop, &c.bframesAvi, &c.opengopAvi};
    return *clips[which];
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Arrival times of frames at the host, kept by the presenting thread.
class Arrivals {
public:
    explicit Arrivals(FakeVideoHost& host) {
        host.KeepEveryFrame(false);
        host.OnFrame([this](const KinemoFrame& frame) {
            std::lock_guard lock(mutex_);
            times_.push_back({Clock::now(), frame.time_ms});
        });
    }
    std::vector<std::pair<Clock::time_point, std::int32_t>> Take() {
        std::lock_guard lock(mutex_);
        return std::move(times_);
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<Clock::time_point, std::int32_t>> times_;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void SetSeekCounters(benchmark::State& state, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
}

// Plays 20 s from 10 s on to the end of the range.
void BM_RealTime(benchmark::State& state) {
    setenv("MURTESK_AUDIO", "null", 1);
    const std::string& clip = ClipOf(static_cast<int>(state.range(0)));
    const int width = static_cast<int>(state.range(1));
    FakeVideoHost host(width, width * 9 / 16);
    Arrivals arrivals(host);
    for (auto _ : state) {
        CPlayAvi player(host.host());
        if (!player.OpenMedia(clip.c_str())) state.SkipWithError("cannot open");
        host.WaitForFrames(1, 10s);
        host.WaitForQuiet(300ms, 10s);
        arrivals.Take();
        // The range's first frame is shown paused; the rest as it plays.
        player.SeekGraph(TicksFromMs(10000), TicksFromMs(30000));
        host.WaitForQuiet(300ms, 10s);
        const std::size_t paused = arrivals.Take().size();
        const std::size_t posts = host.Posts().size();
        const double cpu = CpuSeconds();
        player.RunGraph();
        host.WaitForPosts(posts + 1, 60s);
        const double used = CpuSeconds() - cpu;
        const auto times = arrivals.Take();
        player.Close();
        double latest = 0.0;
        int late = 0;
        for (const auto& [arrived, timeMs] : times) {
            const double lateness = Ms(arrived - times.front().first) - (timeMs - times.front().second);
            latest = std::max(latest, lateness);
            late += lateness > 1000.0 / 30;
        }
        state.counters["frames"] = static_cast<double>(paused + times.size());
        state.counters["expected"] = 20 * 30;
        state.counters["late"] = late;
        state.counters["latest_ms"] = latest;
        state.counters["cpu_per_s"] = used / 20.0;
    }
}
BENCHMARK(BM_RealTime)
    ->ArgNames({"h264", "width"})
    ->Args({0, 960})
    ->Args({0, 1920})
    ->Args({1, 960})
    ->Args({1, 1920})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// Runs `action` and waits for the next frame at the host; the time that took is the iteration's.
template <class Action>
void TimeToNextFrame(benchmark::State& state, FakeVideoHost& host, std::vector<double>& times, Action action) {
    const std::size_t before = host.FrameCount();
    const auto start = Clock::now();
    action();
    host.WaitForFrames(before + 1, 10s);
    const double ms = Ms(Clock::now() - start);
    state.SetIterationTime(ms / 1000.0);
    times.push_back(ms);
}

// A player of the clip, paused on its first frame, in a 960 × 540 host.
struct PausedPlayer {
    explicit PausedPlayer(int which) {
        setenv("MURTESK_AUDIO", "null", 1);
        host.KeepEveryFrame(false);
        player.OpenMedia(ClipOf(which).c_str());
        host.WaitForFrames(1, 10s);
    }
    ~PausedPlayer() { player.Close(); }
    FakeVideoHost host{960, 540};
    CPlayAvi player{host.host()};
};

// OpenAvi until the first frame reaches the host.
void BM_OpenToFirstFrame(benchmark::State& state) {
    setenv("MURTESK_AUDIO", "null", 1);
    const std::string& clip = ClipOf(static_cast<int>(state.range(0)));
    FakeVideoHost host(960, 540);
    host.KeepEveryFrame(false);
    std::vector<double> times;
    for (auto _ : state) {
        CPlayAvi player(host.host());
        TimeToNextFrame(state, host, times, [&] { player.OpenMedia(clip.c_str()); });
        player.Close();
    }
    SetSeekCounters(state, times);
}
BENCHMARK(BM_OpenToFirstFrame)
    ->ArgNames({"h264"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Paused seeks to positions spread over the clip (8.2 s among them, just before the H.264 keyframe at 8.33 s).
void BM_PausedSeek(benchmark::State& state) {
    PausedPlayer p(static_cast<int>(state.range(0)));
    std::vector<double> times;
    std::int32_t position = 8200;
    const double cpu = CpuSeconds();
    for (auto _ : state) {
        TimeToNextFrame(state, p.host, times, [&] { p.player.SeekGraph(TicksFromMs(position)); });
        position = (position * 7 + 3917) % 59000;  // a walk over the clip, back and forth
    }
    state.counters["cpu_ms"] = (CpuSeconds() - cpu) * 1000.0 / static_cast<double>(times.size());
    SetSeekCounters(state, times);
}
BENCHMARK(BM_PausedSeek)
    ->ArgNames({"h264"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(5)
    ->Arg(6)
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// For comparison, the converter's own accurate seek to 8.2 s and decoding of the frame there (its start-up
// included), run in the same process environment.
void BM_ConverterSeek(benchmark::State& state) {
    const std::string command = "ffmpeg -nostdin -v error -ss 8.2 -i '" + ClipOf(static_cast<int>(state.range(0))) +
                                "' -frames:v 1 -an -f null -";
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) state.SkipWithError("the converter failed");
        const double ms = Ms(Clock::now() - start);
        state.SetIterationTime(ms / 1000.0);
        times.push_back(ms);
    }
    SetSeekCounters(state, times);
}
BENCHMARK(BM_ConverterSeek)->ArgNames({"h264"})->Arg(1)->Arg(2)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// One frame a step (`step` +1 or -1: to the start of the next or the previous frame, as the observation window's
// → and ← step by 33 ms) from the frame shown, paused, thirty times in a row from 20 s on.
void FrameSteps(benchmark::State& state, int step) {
    PausedPlayer p(static_cast<int>(state.range(0)));
    p.player.SeekGraph(TicksFromMs(20000));
    p.host.WaitForFrames(2, 10s);
    p.host.WaitForQuiet(300ms, 10s);
    std::vector<double> times;
    int frame = 600;
    int wrong = 0, unread = 0;
    for (auto _ : state) {
        frame += step;
        const std::int32_t position = (frame * 1000 + 29) / 30;  // the frame's start, rounded up to the ms
        TimeToNextFrame(state, p.host, times, [&] { p.player.SeekGraph(TicksFromMs(position)); });
        const FakeVideoHost::Frame shown = p.host.LastFrame();
        const std::int32_t number =
            murtesk::samples::readFrameNumber(shown.pixels.data(), shown.width * 4, shown.width, shown.height);
        unread += number < 0;
        wrong += number >= 0 && number != frame;
    }
    SetSeekCounters(state, times);
    state.counters["wrong"] = wrong;
    state.counters["unread"] = unread;
}

// Forward: frames 601 to 630, decoding on from the frame shown.
void BM_FrameForward(benchmark::State& state) { FrameSteps(state, 1); }
BENCHMARK(BM_FrameForward)
    ->ArgNames({"h264"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(6)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Back: frames 599 down to 570, all in the group that starts at frame 500 (H.264) and decoded on the way to 20 s;
// in open groups of 30 the first three steps are the pictures before the keyframe at 600.
void BM_FrameBack(benchmark::State& state) { FrameSteps(state, -1); }
BENCHMARK(BM_FrameBack)
    ->ArgNames({"h264"})
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(6)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------------------
// Conversions, wall time.

std::string Scratch(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// 30 s from 10 s on of the converter's AVI as a new AVI (MPEG-4 Visual at quantiser 3, 16-bit PCM).
void BM_ExtractSpan(benchmark::State& state) {
    const std::string target = Scratch("murtesk-bench-extract.avi");
    for (auto _ : state) {
        if (!murtesk::video::ExtractSpan(BenchClips().avi, target, 10000, 40000)) state.SkipWithError("failed");
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_ExtractSpan)->Iterations(3)->UseRealTime()->Unit(benchmark::kSecond);

// The converter doing the same, run in the same process environment: all cores, then one thread.
void BM_ConverterExtract(benchmark::State& state) {
    const std::string target = Scratch("murtesk-bench-converter.avi");
    const std::string command = "ffmpeg -nostdin -v error -y -threads " + std::to_string(state.range(0)) +
                                " -ss 10 -to 40 -i '" + BenchClips().avi +
                                "' -c:v mpeg4 -q:v 3 -c:a pcm_s16le '" + target + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("the converter failed");
    }
    std::filesystem::remove(target);
}
BENCHMARK(BM_ConverterExtract)
    ->ArgNames({"threads"})
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

// The picture at positions walking over the clip (as BM_PausedSeek walks) written as a bitmap.
void BM_CaptureFrame(benchmark::State& state) {
    const std::string& clip = ClipOf(static_cast<int>(state.range(0)));
    const std::string bitmap = Scratch("murtesk-bench-frame.bmp");
    std::vector<double> times;
    std::int32_t position = 8200;
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!murtesk::video::CaptureFrame(clip, bitmap, position)) state.SkipWithError("failed");
        const double ms = Ms(Clock::now() - start);
        state.SetIterationTime(ms / 1000.0);
        times.push_back(ms);
        position = (position * 7 + 3917) % 59000;
    }
    std::filesystem::remove(bitmap);
    SetSeekCounters(state, times);
}
BENCHMARK(BM_CaptureFrame)
    ->ArgNames({"h264"})
    ->Arg(0)
    ->Arg(1)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------------------
// 100,000 vehicle counts: a busy road's day.

using murtesk::playback::CCarCount;
using murtesk::playback::CCarCounts;

CCarCounts BusyDay(int vehicles) {
    CCarCounts list;
    for (int i = 0; i < vehicles; ++i) {
        CCarCount c;
        c.Course = static_cast<std::int16_t>(i % 2);
        c.RoadNo = static_cast<std::int16_t>(1 + i % 3);
        c.CarKind = static_cast<std::int16_t>(std::array{1, 2, 2, 2, 4, 5, 6, 8}[i % 8]);
        c.PosTime = i * 864;
        list.PlusCarNum(list.Add(c));
    }
    return list;
}

// Counting one vehicle (Add and PlusCarNum) with the list holding `range(0)` vehicles already.
void BM_CountVehicle(benchmark::State& state) {
    const int start = static_cast<int>(state.range(0));
    CCarCounts list = BusyDay(start);
    CCarCount c;
    c.CarKind = 4;
    for (auto _ : state) {
        if (list.count() >= start + 100000) {
            state.PauseTiming();
            list = BusyDay(start);
            state.ResumeTiming();
        }
        c.PosTime = list.count();
        benchmark::DoNotOptimize(list.PlusCarNum(list.Add(c)));
    }
}
BENCHMARK(BM_CountVehicle)->Arg(0)->Arg(100000);

void BM_ReCount(benchmark::State& state) {
    CCarCounts list = BusyDay(100000);
    CCarCount filter;
    filter.RoadNo = 2;
    for (auto _ : state) {
        list.ReCount(filter);
        benchmark::DoNotOptimize(list.CarNum(3));
    }
}
BENCHMARK(BM_ReCount)->Unit(benchmark::kMillisecond);

void BM_SelectDelete(benchmark::State& state) {
    const CCarCounts day = BusyDay(100000);
    for (auto _ : state) {
        state.PauseTiming();
        CCarCounts list = day;
        state.ResumeTiming();
        list.SelectDelete(43200000, 1);  // the afternoon of one direction
        benchmark::DoNotOptimize(list.count());
    }
}
BENCHMARK(BM_SelectDelete)->Unit(benchmark::kMillisecond);

std::string SideFile() { return (std::filesystem::temp_directory_path() / "murtesk-bench-busy-day.car").string(); }

void BM_CarFileWrite(benchmark::State& state) {
    const CCarCounts list = BusyDay(100000);
    for (auto _ : state) benchmark::DoNotOptimize(list.FileWrite(SideFile()));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(SideFile()));
}
BENCHMARK(BM_CarFileWrite)->Unit(benchmark::kMillisecond);

void BM_CarFileRead(benchmark::State& state) {
    BusyDay(100000).FileWrite(SideFile());
    for (auto _ : state) {
        CCarCounts list;
        benchmark::DoNotOptimize(list.FileRead(SideFile()));
    }
    std::filesystem::remove(SideFile());
}
BENCHMARK(BM_CarFileRead)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------------------
// The video observation window's model over an hour of video with a busy day's 100,000 counts and 10,000
// speeds, all the speeds in direction 0, lane 1 (the worst list to show); fake user-interface services.

struct BusyWindow {
    BusyWindow() {
        murtesk::g_VideoPath = Scratch("murtesk-bench-no-such-video.avi");
        murtesk::g_VideoStartTime = murtesk::platform::DateFromParts(2024, 5, 1, 9, 30, 0);
        murtesk::g_VideoStartMs = murtesk::g_VideoEndMs = 0;
        kinemo.duration = 3'600'000;
        ui.Show(form);
        ui.RunPendingActivations();
        form.cmdStop_Click(0);
        form.m_CarCounts = BusyDay(100000);
        for (int i = 0; i < 10000; ++i) {
            murtesk::playback::CSpeedInfo s;
            s.Course = 0;
            s.RoadNo = 1;
            s.SaveTime1 = i * 360;
            s.SaveTime2 = i * 360 + 1000 + i % 700;
            s.Distance = 20.0f;
            s.CarKind = static_cast<std::int16_t>(std::array{1, 2, 4, 5, 6, 7, 8}[i % 7]);
            form.m_SpeedInfos.Add(s);
        }
        SelectLane(1);
    }
    ~BusyWindow() { ui.Unload(form); }
    void SelectLane(int lane) {
        form.cmbRoadNo.ListIndex = lane;
        form.cmbRoadNo_Click();
    }
    murtesk::platform::testing::FakeUi ui;
    murtesk::playback::testing::ScriptedKinemo kinemo;
    murtesk::playback::frmPlayAVI form{ui, kinemo};
};

// One tick of the playing window: the read-out with its date, and the slider.
void BM_WindowTick(benchmark::State& state) {
    BusyWindow w;
    for (auto _ : state) {
        w.kinemo.position = (w.kinemo.position + 200) % 3'600'000;
        w.form.Timer1_Timer();
        benchmark::DoNotOptimize(w.form.lblTime.Caption);
    }
}
BENCHMARK(BM_WindowTick)->Unit(benchmark::kMicrosecond);

// From lane 2 to lane 1: the counts recounted, the 10,000 speeds of lane 1 listed.
void BM_WindowLaneChange(benchmark::State& state) {
    BusyWindow w;
    for (auto _ : state) {
        state.PauseTiming();
        w.SelectLane(2);
        state.ResumeTiming();
        w.SelectLane(1);
        benchmark::DoNotOptimize(w.form.lstSpeed.ListCount());
    }
}
BENCHMARK(BM_WindowLaneChange)->Unit(benchmark::kMillisecond);

// The four CSV writers with a known start (dates on every row), atomic replacement included (wall time).
void BM_WindowExport(benchmark::State& state) {
    using Writer = bool (murtesk::playback::frmPlayAVI::*)(const std::string&);
    static constexpr Writer kWriters[] = {
        &murtesk::playback::frmPlayAVI::WriteCarCountCSVAll, &murtesk::playback::frmPlayAVI::WriteCarCountCSVSelected,
        &murtesk::playback::frmPlayAVI::WriteSpeedCSVAll, &murtesk::playback::frmPlayAVI::WriteSpeedCSVList};
    BusyWindow w;
    const std::string csv = Scratch("murtesk-bench-export.csv");
    const Writer write = kWriters[state.range(0)];
    for (auto _ : state) {
        if (!(w.form.*write)(csv)) state.SkipWithError("failed");
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(csv));
    std::filesystem::remove(csv);
}
BENCHMARK(BM_WindowExport)
    ->ArgNames({"writer"})
    ->DenseRange(0, 3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
