// A video assigned through the real converter "ffmpeg" and the video library as the program binds it: clips of
// the sample tool, each picture showing its frame number, come out with every picture at its own time (the
// first at 0, none doubled or dropped, read back by the ffmpeg program itself) and their streams kept when they
// play as they are; a file of sound only and one still picture are refused; a source cut short is told by both lengths; a converter
// cut short by a file-size limit leaves the old video and says so.
#include "calc_fixture.h"
#include "video_clips.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>

namespace murtesk::testing {
namespace {

using samples::VideoContainer;

std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// The frame numbers of the pictures a player shows at 0, 1/fps, 2/fps … (the ffmpeg program fills the
// times a file leaves empty with the picture before, as a player shows it).
std::vector<std::int32_t> PictureNumbers(const fs::path& video, int width, int height) {
    const std::string bgra = Output("ffmpeg -nostdin -v error -i " + Quoted(video) +
                                    " -map 0:v:0 -fps_mode cfr -f rawvideo -pix_fmt bgra -");
    const std::size_t size = static_cast<std::size_t>(width) * height * 4;
    std::vector<std::int32_t> numbers;
    for (std::size_t at = 0; at + size <= bgra.size(); at += size) {
        numbers.push_back(samples::readFrameNumber(reinterpret_cast<const std::uint8_t*>(bgra.data() + at), width * 4,
                                                   width, height));
    }
    return numbers;
}

std::string VideoCodec(const fs::path& video) {
    std::string codec = Output("ffprobe -v error -select_streams v:0 -show_entries stream=codec_name -of csv=p=0 " +
                               Quoted(video));
    while (!codec.empty() && (codec.back() == '\n' || codec.back() == '\r')) codec.pop_back();
    return codec;
}

class VideoConversion : public CalcScreenTest {
protected:
    VideoConversion() {
        ::setenv("MURTESK_AUDIO", "null", 1);
        AddMeasure(120, {ChannelSpec{3, 10.0, 1200}}, platform::DateFromParts(2024, 3, 5, 9, 7, 3));
        Show(1);
        ui.ClearTranscript();
        fs::create_directories(folder / "RecWav");
    }
    void Assign(const fs::path& source) {
        ui.ChooseNext(source.string());
        ui.OnModal("frmVideoConvert", [](platform::Form&) {});
        calc.mnuVideoFile_Click();
    }
    fs::path video = folder / "RecWav" / "24-3-5-9_7_3.avi";
};

struct Clip {
    const char* name;
    VideoContainer container;
    const char* extension;
    const char* codec;  // of the assigned video
};

class Conversion : public VideoConversion, public ::testing::WithParamInterface<Clip> {};

TEST_P(Conversion, KeepsEveryPictureAtItsOwnTimeAndTheStreamsThatPlay) {
    samples::VideoClipOptions options;
    options.container = GetParam().container;
    options.width = 160;
    options.height = 120;
    options.fps = 30;
    options.seconds = 2.0;
    options.x264Preset = "fast";
    const fs::path source = folder / (std::string("clip") + GetParam().extension);
    ASSERT_TRUE(samples::writeVideoClip(source.string(), options));

    Assign(source);

    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
    std::vector<std::int32_t> expected(60);
    for (std::int32_t i = 0; i < 60; ++i) expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(PictureNumbers(video, 160, 120), expected);
    EXPECT_EQ(VideoCodec(video), GetParam().codec);
}

INSTANTIATE_TEST_SUITE_P(Clips, Conversion,
                         ::testing::Values(Clip{"CameraMp4", VideoContainer::H264AacMp4, ".mp4", "mpeg4"},
                                           Clip{"Mpeg4Avi", VideoContainer::Mpeg4Mp3Avi, ".avi", "mpeg4"},
                                           Clip{"MjpegAviKeptAsItIs", VideoContainer::MjpegPcmAvi, ".avi", "mjpeg"},
                                           Clip{"BareH264", VideoContainer::H264Raw, ".h264", "mpeg4"}),
                         [](const ::testing::TestParamInfo<Clip>& info) { return info.param.name; });

// A file of sound only plays, as a black picture: it is refused before the converter or the copy could put it
// in the video's place.
TEST_F(VideoConversion, AFileOfSoundOnlyIsRefusedAndTheVideoStays) {
    samples::VideoClipOptions options;
    const fs::path old = folder / "old.avi";
    ASSERT_TRUE(samples::writeVideoClip(old.string(), options));
    Assign(old);
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
    const std::string before = ReadFile(video);
    options.container = VideoContainer::H264AacMp4;
    options.video = false;
    const fs::path sound = folder / "sound.mp4";
    ASSERT_TRUE(samples::writeVideoClip(sound.string(), options));
    ui.ClearTranscript();

    Assign(sound);

    EXPECT_EQ(ReadFile(video), before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / "RecWav")) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"24-3-5-9_7_3.avi"});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "この動画ファイルには表示できる映像がないので,割り当てられません.");
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_FALSE(ui.Busy());
}

// One still picture plays, and its length (0, or one picture's) says nothing: an image file, or a video of one
// picture, even with sound, is refused before anything could take the video's place or set its counts aside.
struct StillPicture {
    const char* name;
    const char* ffmpeg;  // the ffmpeg program's arguments before the file's name
    const char* extension;
};

class StillPictures : public VideoConversion, public ::testing::WithParamInterface<StillPicture> {};

TEST_P(StillPictures, AreRefusedAndTheVideoWithItsCountsStays) {
    samples::VideoClipOptions options;
    const fs::path old = folder / "old.avi";
    ASSERT_TRUE(samples::writeVideoClip(old.string(), options));
    Assign(old);
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
    const std::string before = ReadFile(video);
    std::ofstream(folder / "RecWav" / "24-3-5-9_7_3.car") << "counts";
    const fs::path still = folder / (std::string("still") + GetParam().extension);
    ASSERT_EQ(std::system(("ffmpeg -nostdin -v error -y " + std::string(GetParam().ffmpeg) + " " + Quoted(still)).c_str()),
              0);
    ui.ClearTranscript();

    Assign(still);

    EXPECT_EQ(ReadFile(video), before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / "RecWav")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"24-3-5-9_7_3.avi", "24-3-5-9_7_3.car"}));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "この動画ファイルの映像は1枚の静止画なので,割り当てられません.");
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    EXPECT_FALSE(ui.Busy());
}

INSTANTIATE_TEST_SUITE_P(
    Files, StillPictures,
    ::testing::Values(
        StillPicture{"Png", "-f lavfi -i testsrc=size=320x240:rate=25:duration=0.04", ".png"},
        StillPicture{"Jpeg", "-f lavfi -i testsrc=size=320x240:rate=25:duration=0.04", ".jpg"},
        StillPicture{"OnePictureAndTwentySecondsOfSound",
                     "-f lavfi -i testsrc=size=320x240:rate=25:duration=0.04 -f lavfi -i sine=d=20 -c:v libx264 -c:a aac",
                     ".mp4"}),
    [](const ::testing::TestParamInfo<StillPicture>& info) { return info.param.name; });

// A camera's MP4 with its index at the front (faststart), cut at half as by a broken-off copy: the index still
// declares the whole length, the converter ends well with what the file holds, and the message says how long
// the video is against the declared length.
TEST_F(VideoConversion, AConversionMuchShorterThanItsSourceSaysBothLengths) {
    samples::VideoClipOptions options;
    options.container = VideoContainer::H264AacMp4;
    options.width = 160;
    options.height = 120;
    options.fps = 20;
    options.seconds = 6.0;
    options.keyframeInterval = 20;
    options.x264Preset = "fast";
    const fs::path clip = folder / "clip.mp4";
    const fs::path source = folder / "cut.mp4";
    ASSERT_TRUE(samples::writeVideoClip(clip.string(), options));
    ASSERT_EQ(
        std::system(("ffmpeg -nostdin -v error -i " + Quoted(clip) + " -c copy -movflags +faststart " + Quoted(source))
                        .c_str()),
        0);
    fs::resize_file(source, fs::file_size(source) / 2);

    Assign(source);

    // The length the player gives is the AVI's pictures at 20 a second.
    const std::string frames = Output(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames -of csv=p=0 " +
        Quoted(video));
    const double seconds = std::stod(frames) / 20.0;
    ASSERT_GT(seconds, 1.0);
    ASSERT_LT(seconds, 4.5);
    ASSERT_EQ(ui.Messages().size(), 1u);
    const std::string& text = ui.Messages()[0].Text;
    const std::string head = "動画ファイルの割り当てが完了しました.\r\n但し,割り当てた動画の長さは";
    const std::string tail = "秒で,元の動画ファイルが示す長さ6.0秒より短くなっています.";
    ASSERT_EQ(text.substr(0, head.size()), head) << text;
    ASSERT_GT(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << text;
    const std::string shown = text.substr(head.size(), text.size() - head.size() - tail.size());
    EXPECT_NEAR(std::stod(shown), seconds, 0.15) << shown;  // one picture and the rounding to a tenth
}

TEST_F(VideoConversion, AConverterCutShortByAFileSizeLimitLeavesTheOldVideoAndSaysSo) {
    samples::VideoClipOptions options;
    options.seconds = 4.0;
    const fs::path old = folder / "old.avi";
    const fs::path source = folder / "new.mp4";
    options.container = VideoContainer::Mpeg4Mp3Avi;
    ASSERT_TRUE(samples::writeVideoClip(old.string(), options));
    Assign(old);
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
    const std::string before = ReadFile(video);
    options.container = VideoContainer::H264AacMp4;
    options.seconds = 8.0;
    ASSERT_TRUE(samples::writeVideoClip(source.string(), options));
    ui.ClearTranscript();

    // Files may grow to a tenth of the new video, as on a nearly full disk; the converter inherits the limit.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = fs::file_size(source) / 10;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    Assign(source);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, SIG_DFL);

    EXPECT_EQ(ReadFile(video), before);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder / "RecWav")) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"24-3-5-9_7_3.avi"});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "動画ファイルの割り当てに失敗しました.\r\n"
                                     "「ffmpeg」の変換が途中で終了しました(シグナル 25).\r\n"
                                     "元の動画ファイルはそのまま残っています.");
}

}  // namespace
}  // namespace murtesk::testing
