// The measurement's video on the calculation screen: assignment through a converter that is a
// shell script the test puts on PATH as "ffmpeg" (converting, failing, writing nothing playable,
// or missing), under a scripted player that plays files beginning with "PLAYABLE"; the hand-over of
// the LE range to the observation window and to the extraction; and the change of the start date and
// time with the video's files renamed together or not at all.
#include "calc_fixture.h"
#include "date_scripts.h"
#include "video_library.h"

#include <sys/resource.h>
#include <sys/time.h>

#include "failing_renames.h"
#include "frmVideoConvert.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>

namespace murtesk::testing {
namespace {

using platform::MsgIcon;

constexpr const char* kPlayable = "PLAYABLE";
// A recording's start, with the part of a second that the date dialog does not show.
const Date kStart = platform::DateFromParts(2024, 3, 5, 9, 7, 3, 640);

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Plays what begins with "PLAYABLE"; refuses anything else with the library's message. What plays
// has pictures unless it says "SOUND ONLY", and they move unless it says "ONE PICTURE".
class ScriptedPlayer final : public VideoLibrary {
public:
    std::int32_t OpenAvi(const KinemoHost* host, const std::string& name) override {
        opened.push_back(name);
        if (ReadAll(name).rfind(kPlayable, 0) == 0) return 1;
        if (host != nullptr && host->message != nullptr) {
            host->message(host->context, "Cannot render video file stream", "DirectShow");
        }
        return 0;
    }
    std::int32_t CloseAvi() override { return ++closes, 1; }
    std::int32_t GetAviTime() override { return 2000; }
    std::int32_t GetVideoWithHeight(const std::string& name, std::int32_t& width, std::int32_t& height) override {
        const std::string bytes = ReadAll(name);
        if (bytes.rfind(kPlayable, 0) != 0 || bytes.find("SOUND ONLY") != std::string::npos) return 0;
        width = 320;
        height = 240;
        return 1;
    }
    std::int32_t GetVideoPictureCount(const std::string& name, std::int32_t most) override {
        std::int32_t width = 0;
        std::int32_t height = 0;
        if (GetVideoWithHeight(name, width, height) == 0) return 0;
        return ReadAll(name).find("ONE PICTURE") != std::string::npos ? std::min(most, 1) : most;
    }
    std::int32_t ExtractAvi(const std::string& source, const std::string& target, std::int32_t startMs,
                            std::int32_t endMs) override {
        extracted.push_back(source + "|" + target + "|" + std::to_string(startMs) + "|" + std::to_string(endMs));
        return extractAnswer;
    }

    std::vector<std::string> opened;
    int closes = 0;
    std::vector<std::string> extracted;
    std::int32_t extractAnswer = 1;
};

// The screen on one measurement started at 2024-03-05 09:07:03, with "ffmpeg" looked up in a
// folder of the test's own.
class VideoCommands : public CalcScreenTest {
protected:
    VideoCommands() {
        SetVideoLibrary(&player);
        fs::create_directories(bin);
        fs::create_directories(recWav);
        savedPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
        ::setenv("PATH", bin.c_str(), 1);  // the scripts use only the shell's own commands
        AddMeasure(120, {ChannelSpec{3, 10.0, 1200}}, kStart);
        Show(1);
        ui.ClearTranscript();
    }
    ~VideoCommands() override {
        SetVideoLibrary(nullptr);
        ::setenv("PATH", savedPath_.c_str(), 1);
    }

    // "ffmpeg … -i SOURCE … TARGET" as a script: `body` runs with the arguments "-i SOURCE TARGET".
    void Converter(const std::string& body) {
        const fs::path script = bin / "ffmpeg";
        WriteAll(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (folder / "argv").string() +
                             "\"\nfor a; do [ \"$previous\" = -i ] && source=$a; previous=$a; done\n"
                             "set -- -i \"$source\" \"$a\"\n" +
                             body + "\n");
        fs::permissions(script, fs::perms::owner_all);
    }
    // The user chooses `path` to assign; the progress window runs the conversion.
    void AssignVideo(const fs::path& path) {
        ui.ChooseNext(path.string());
        ui.OnModal("frmVideoConvert", [](platform::Form&) {});
        calc.mnuVideoFile_Click();
    }
    std::vector<std::string> ConverterArgs() const {
        std::ifstream in(folder / "argv");
        std::vector<std::string> args;
        for (std::string line; std::getline(in, line);) args.push_back(line);
        return args;
    }
    std::vector<std::string> RecWavNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(recWav)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ScriptedPlayer player;
    fs::path bin = folder / "bin";
    fs::path recWav = folder / "RecWav";
    fs::path video = recWav / "24-3-5-9_7_3.avi";

private:
    std::string savedPath_;
};

// ---- Assignment

struct Assignment {
    const char* name;
    const char* converter;  // the script's body; null: no converter on PATH
    const char* message;
    bool converted;  // the video is the converter's output, else the source's copy
};

class Assign : public VideoCommands, public ::testing::WithParamInterface<Assignment> {};

TEST_P(Assign, ReplacesTheOldVideoOnlyByAReadyOneAndLeavesNothingElse) {
    const Assignment& a = GetParam();
    if (a.converter != nullptr) Converter(a.converter);
    WriteAll(video, std::string(kPlayable) + " old");
    const fs::path source = folder / "-clip \"1\" $HOME 'x' 映像.mp4";
    WriteAll(source, std::string(kPlayable) + " source");
    AssignVideo(source);

    EXPECT_EQ(ReadAll(video),
              a.converted ? std::string(kPlayable) + " from " + source.string() : std::string(kPlayable) + " source");
    EXPECT_EQ(RecWavNames(), std::vector<std::string>{"24-3-5-9_7_3.avi"});
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{a.message});
    EXPECT_EQ(ReadAll(source), std::string(kPlayable) + " source");
    EXPECT_EQ(g_VideoPath, video.string());
    EXPECT_TRUE(calc.cmdVideoPlay.Visible);
    EXPECT_FALSE(ui.Busy());
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].Request.Title, "割り当てる動画ファイルを指定して下さい．");
    EXPECT_EQ(ui.Dialogs()[0].Request.Filter, "動画ﾌｧｲﾙ (*.*)|*.*");
    EXPECT_TRUE(ui.Dialogs()[0].Request.FileMustExist && ui.Dialogs()[0].Request.HideReadOnly);
    if (a.converter != nullptr) {
        const std::vector<std::string> args = ConverterArgs();
        const auto input = std::find(args.begin(), args.end(), "-i");
        ASSERT_TRUE(input != args.end() && input + 1 != args.end());
        EXPECT_EQ(input[1], source.string());
        EXPECT_EQ(fs::path(args.back()).parent_path(), recWav);
        EXPECT_EQ(fs::path(args.back()).extension(), ".avi");
        EXPECT_NE(args.back(), video.string());
    }
}

const char* const kCopiedText =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」がインストールされていないのでファイルをコピーしました.";

// A converter that ran and failed is named as such, never as missing; what it left is not the video.
const char* const kCopiedAfter =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」で変換できなかったのでファイルをコピーしました.\r\n";
const std::string kFailedWithOne = std::string(kCopiedAfter) + "「ffmpeg」の変換が失敗しました(終了コード 1).";
const std::string kCutShort = std::string(kCopiedAfter) + "「ffmpeg」の変換が途中で終了しました(シグナル 25).";
const std::string kUnplayable = std::string(kCopiedAfter) + "「ffmpeg」の変換結果が再生できませんでした.";

INSTANTIATE_TEST_SUITE_P(
    Paths, Assign,
    ::testing::Values(
        Assignment{"Converted", "printf 'PLAYABLE from %s' \"$2\" > \"$3\"", "動画ファイルの割り当てが完了しました。",
                   true},
        Assignment{"ConverterFails", "exit 1", kFailedWithOne.c_str(), false},
        Assignment{"ConverterFailsAfterAPlayablePart", "printf PLAYABLE > \"$3\"; exit 1", kFailedWithOne.c_str(),
                   false},
        Assignment{"ConverterCutShort", "printf PLAYABLE > \"$3\"; kill -XFSZ $$", kCutShort.c_str(), false},
        Assignment{"ConverterLeavesAnUnplayableFile", "echo broken > \"$3\"; exit 0", kUnplayable.c_str(), false},
        Assignment{"ConverterLeavesSoundOnly", "printf 'PLAYABLE SOUND ONLY' > \"$3\"", kUnplayable.c_str(), false},
        Assignment{"ConverterLeavesOnePicture", "printf 'PLAYABLE ONE PICTURE' > \"$3\"", kUnplayable.c_str(), false},
        Assignment{"NoConverter", nullptr, kCopiedText, false}),
    [](const ::testing::TestParamInfo<Assignment>& info) { return info.param.name; });

TEST_F(VideoCommands, AnUnplayableSourceIsRefusedWithTheLibrarysMessageAndChangesNothing) {
    Converter(": > \"$3\"");
    WriteAll(video, std::string(kPlayable) + " old");
    const fs::path source = folder / "notes.txt";
    WriteAll(source, "text");
    ui.ChooseNext(source.string());
    calc.mnuVideoFile_Click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Text, "Cannot render video file stream");
    EXPECT_EQ(ui.Messages()[0].Title, "DirectShow");
    EXPECT_EQ(ui.Messages()[1].Text, "この動画ファイルは開けません.");
    EXPECT_EQ(ui.Messages()[1].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Information);
    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " old");
    EXPECT_FALSE(fs::exists(folder / "argv"));
    EXPECT_EQ(player.closes, 1);
    EXPECT_FALSE(ui.Busy());
}

TEST_F(VideoCommands, TheMeasurementsOwnVideoChosenAgainIsKeptAsItIs) {
    Converter(": > \"$2\"; : > \"$3\"");
    WriteAll(video, std::string(kPlayable) + " own");
    ui.ChooseNext(video.string());
    calc.mnuVideoFile_Click();
    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " own");
    EXPECT_FALSE(fs::exists(folder / "argv"));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てが完了しました。"});
}

TEST_F(VideoCommands, ACopyThatFailsKeepsTheOldVideoAndLeavesNoPartialFile) {
    Converter("exit 1");
    WriteAll(video, std::string(kPlayable) + " old");
    const fs::path source = folder / "big.mp4";
    WriteAll(source, std::string(kPlayable) + std::string(100000, 'v'));
    ui.ChooseNext(source.string());
    ui.OnModal("frmVideoConvert", [](platform::Form&) {});
    // Files may grow to 1000 bytes, as on a full disk.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 1000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    calc.mnuVideoFile_Click();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " old");
    EXPECT_EQ(RecWavNames(), std::vector<std::string>{"24-3-5-9_7_3.avi"});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text,
              "動画ファイルの割り当てに失敗しました.\r\n「ffmpeg」の変換が失敗しました(終了コード 1).\r\n"
              "元の動画ファイルはそのまま残っています.");
    EXPECT_FALSE(ui.Busy());
}

TEST_F(VideoCommands, ALongConversionShowsItsProgressAndCancelEndsItKeepingTheOldVideo) {
    // Half a part written, 1.5 s of the 2 s converted, then no end: the converter waits for Cancel.
    Converter("echo $$ > \"" + (folder / "pid").string() +
              "\"; printf PLAYABLE > \"$3\"; printf 'out_time_us=1500000\\nprogress=continue\\n'; exec /bin/sleep 60");
    WriteAll(video, std::string(kPlayable) + " old");
    WriteAll(recWav / "24-3-5-9_7_3.car", "counts");
    const fs::path source = folder / "long.mp4";
    WriteAll(source, std::string(kPlayable) + " source");
    std::vector<std::string> shown;
    ui.OnDoEvents([&] {
        for (platform::Form* form : ui.LoadedForms()) {
            auto* window = dynamic_cast<frmVideoConvert*>(form);
            if (window == nullptr) continue;
            if (shown.empty() || shown.back() != window->lblProgress.Caption) shown.push_back(window->lblProgress.Caption);
            if (window->lblProgress.Caption.rfind("変換中", 0) == 0 && window->cmdCancel.Enabled) window->cmdCancel_Click();
        }
    });

    AssignVideo(source);

    EXPECT_EQ(shown, (std::vector<std::string>{"「ffmpeg」で動画ファイルを変換しています.", "変換中: 1秒 / 2秒 (75%)"}));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"動画ファイルの割り当てを中止しました.\r\n"
                                                          "元の動画ファイルはそのまま残っています."});
    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " old");
    EXPECT_EQ(RecWavNames(), (std::vector<std::string>{"24-3-5-9_7_3.avi", "24-3-5-9_7_3.car"}));
    const pid_t converter = std::stoi(ReadAll(folder / "pid"));
    EXPECT_TRUE(::kill(converter, 0) != 0 && errno == ESRCH);  // ended and reaped
    EXPECT_TRUE(ui.Events().end() != std::find(ui.Events().begin(), ui.Events().end(),
                                               "modal frmVideoConvert over frmOctCalc"));
    for (const platform::Form* form : ui.LoadedForms()) EXPECT_NE(form->Name(), "frmVideoConvert");
    EXPECT_FALSE(ui.Busy());
}

struct Progress {
    std::int64_t doneMs, lengthMs;
    const char* shown;
};

class ProgressFigures : public ::testing::TestWithParam<Progress> {};

// The converter's time may run past what the source declares (a damaged source) or before its start: the
// figures stay within the length.
TEST_P(ProgressFigures, NeverPassTheLength) {
    platform::testing::FakeUi ui;
    frmVideoConvert window(ui, {});
    window.ShowProgress(GetParam().doneMs, GetParam().lengthMs);
    EXPECT_EQ(window.lblProgress.Caption, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Times, ProgressFigures,
                         ::testing::Values(Progress{10'500, 20'000, "変換中: 10秒 / 20秒 (52%)"},
                                           Progress{20'000, 20'000, "変換中: 20秒 / 20秒 (100%)"},
                                           Progress{29'400, 20'000, "変換中: 20秒 / 20秒 (100%)"},
                                           Progress{-40, 20'000, "変換中: 0秒 / 20秒 (0%)"},
                                           Progress{29'400, 0, "変換中: 29秒"}));

TEST_F(VideoCommands, ANewVideoStartsWithoutCountsAndTheOldCountsStayAsideUnderTheOldVideosDate) {
    Converter("printf 'PLAYABLE from %s' \"$2\" > \"$3\"");
    WriteAll(video, std::string(kPlayable) + " old");
    WriteAll(recWav / "24-3-5-9_7_3.car", "old counts");
    WriteAll(recWav / "24-3-5-9_7_3.kmh", "old speeds");
    std::tm dated{};  // the old video was last written at 2024-03-06 18:30:05, local time
    dated.tm_year = 124, dated.tm_mon = 2, dated.tm_mday = 6, dated.tm_hour = 18, dated.tm_min = 30, dated.tm_sec = 5;
    dated.tm_isdst = -1;
    const timeval times[2] = {{std::mktime(&dated), 0}, {std::mktime(&dated), 0}};
    ASSERT_EQ(::utimes(video.c_str(), times), 0);
    const fs::path source = folder / "new.mp4";
    WriteAll(source, std::string(kPlayable) + " new");

    AssignVideo(source);

    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " from " + source.string());
    EXPECT_EQ(RecWavNames(), (std::vector<std::string>{"24-3-5-9_7_3.avi", "24-3-5-9_7_3_old240306183005.car",
                                                       "24-3-5-9_7_3_old240306183005.kmh"}));
    EXPECT_EQ(ReadAll(recWav / "24-3-5-9_7_3_old240306183005.car"), "old counts");
    EXPECT_EQ(ReadAll(recWav / "24-3-5-9_7_3_old240306183005.kmh"), "old speeds");
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"動画ファイルの割り当てが完了しました。\r\n"
                                       "以前の動画のカウント情報と速度情報は次の名前で残しました.\r\n"
                                       "24-3-5-9_7_3_old240306183005.car\r\n24-3-5-9_7_3_old240306183005.kmh"});
}

TEST_F(VideoCommands, AMeasurementWhoseStartAnotherSharesGetsNoVideoAndItsDateChangeLeavesTheSharedFiles) {
    Converter("printf 'PLAYABLE from %s' \"$2\" > \"$3\"");
    AddMeasure(120, {ChannelSpec{3, 10.0, 1200}}, kStart);  // the same recording imported again
    WriteAll(video, std::string(kPlayable) + " the first one's");
    WriteAll(recWav / "24-3-5-9_7_3.car", "its counts");
    const fs::path source = folder / "new.mp4";
    WriteAll(source, std::string(kPlayable) + " new");

    AssignVideo(source);

    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"同じ開始日時の測定が他にあるので,動画ファイルを割り当てられません.\r\n"
                                       "「実測開始日時の変更」で開始日時を変えてから割り当てて下さい."});
    EXPECT_FALSE(fs::exists(folder / "argv"));
    ui.ClearTranscript();
    ChooseDateNext(ui, platform::AddSeconds(kStart, 3600.0));
    calc.mnuChangeDate_Click();
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_NEAR(Records().Measures.Item(1).StartTime, platform::AddSeconds(kStart, 3600.0), 1e-6);
    EXPECT_EQ(RecWavNames(), (std::vector<std::string>{"24-3-5-9_7_3.avi", "24-3-5-9_7_3.car"}));
    ui.ClearTranscript();
    AssignVideo(source);  // a start of its own now
    EXPECT_EQ(ReadAll(recWav / "24-3-5-10_7_3.avi"), std::string(kPlayable) + " from " + source.string());
    EXPECT_EQ(ReadAll(video), std::string(kPlayable) + " the first one's");
    // Back to the other's start with its video: refused even when the other has no files, which
    // would give the other this video.
    fs::remove(video);
    fs::remove(recWav / "24-3-5-9_7_3.car");
    ui.ClearTranscript();
    ChooseDateNext(ui, kStart);
    calc.mnuChangeDate_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text.rfind("実測開始日時を変更できませんでした.\r\n", 0), 0u);
    EXPECT_EQ(RecWavNames(), std::vector<std::string>{"24-3-5-10_7_3.avi"});
}

TEST_F(VideoCommands, CancelOrAMissingFileEndsTheCommand) {
    Converter(": > \"$3\"");
    ui.ChooseNext(std::nullopt);
    calc.mnuVideoFile_Click();
    ui.ChooseNext((folder / "gone.mp4").string());
    calc.mnuVideoFile_Click();
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(player.opened.empty());
    EXPECT_FALSE(fs::exists(video));
    EXPECT_FALSE(ui.Busy());
}

// ---- Watching and extracting

// The screen on band W with an LE range; the observation window records what it was handed.
class VideoOfLE : public VideoCommands {
protected:
    VideoOfLE() {
        ui.Show(calc);
        ui.RunPendingActivations();
        ui.ClearTranscript();
        g_ShowPlayAVI = [this](platform::UiServices&, platform::Form* owner) {
            shown.push_back({g_VideoPath, g_VideoStartTime, g_VideoStartMs, g_VideoEndMs, owner, g_bVideoReadOnly});
        };
    }
    ~VideoOfLE() override { g_ShowPlayAVI = nullptr; }
    void SetLE(std::int32_t s, std::int32_t e) {
        CScopes& le = Channel(1, 1).BandLCalcInfos.Item(2).LEScopes;
        le.AllDelete();
        le.SimpleAdd(std::make_shared<CScope>(Variant(s), Variant(e)));
        le.SimpleAdd(std::make_shared<CScope>(Variant(s + 700), Variant(e + 700)));
    }

    struct Shown {
        std::string path;
        double start;
        std::int32_t startMs;
        std::int32_t endMs;
        platform::Form* owner;
        bool readOnly;
    };
    std::vector<Shown> shown;
};

// The same recording imported again starts in the same second: the video and its side files, named after the
// start, belong to both. Each command says so, naming the other measurement; the observation never changes them.
TEST_F(VideoOfLE, AVideoAnotherMeasurementOfTheSameSecondSharesIsWatchedReadOnlyAndSaysSo) {
    AddMeasure(60, {ChannelSpec{3, 10.0, 600}}, platform::DateFromParts(2024, 3, 5, 9, 7, 3, 100));
    WriteAll(video, std::string(kPlayable) + " video");
    SetLE(1, 601);
    calc.mnuToolVideo_Click();
    calc.cmdVideoPlay_Click();
    const fs::path cut = folder / "cut.avi";
    ui.ChooseNext(cut.string());
    calc.cmdVideoExtract_Click();

    const std::string others = "同じ開始日時の測定が他にあります.\r\nNo.2 measure 2 2024/03/05 09:07:03\r\n";
    const std::string watched =
        others +
        "動画ファイルとカウント情報・速度情報はその測定と共通なので,ビデオ観測は閲覧のみで開きます"
        "(カウント情報と速度情報は変更できません).\r\n"
        "その測定の開始日時を「実測開始日時の変更」で変えると,この測定だけのものになります.";
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{watched, watched, others + "動画ファイルはその測定と共通です.",
                                        "ビデオ抽出処理が成功しました."}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].readOnly && shown[1].readOnly);
    EXPECT_EQ(player.extracted, std::vector<std::string>{video.string() + "|" + cut.string() + "|0|60000"});

    // Alone at its start again: nothing to tell, and the observation may write.
    Records().Measures.Item(2).StartTime = platform::DateFromParts(2024, 3, 5, 9, 7, 4, 100);
    ui.ClearTranscript();
    calc.mnuToolVideo_Click();
    EXPECT_TRUE(ui.MessageTexts().empty());
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_FALSE(shown[2].readOnly);
}

// Moving one of several others' starts leaves the video shared: the words say that each must move.
TEST_F(VideoOfLE, AVideoSeveralOthersShareSaysThatEveryOneOfThemMustMove) {
    AddMeasure(60, {ChannelSpec{3, 10.0, 600}}, kStart);
    AddMeasure(60, {ChannelSpec{3, 10.0, 600}}, platform::DateFromParts(2024, 3, 5, 9, 7, 3, 900));
    WriteAll(video, std::string(kPlayable) + " video");
    SetLE(1, 601);
    calc.mnuToolVideo_Click();
    ui.ChooseNext((folder / "cut.avi").string());
    calc.cmdVideoExtract_Click();

    const std::string others = "同じ開始日時の測定が他にあります.\r\nNo.2 measure 2 2024/03/05 09:07:03\r\n"
                               "No.3 measure 3 2024/03/05 09:07:03\r\n";
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{
                  others + "動画ファイルとカウント情報・速度情報はそれらの測定と共通なので,ビデオ観測は閲覧のみで開きます"
                           "(カウント情報と速度情報は変更できません).\r\n"
                           "それらの測定すべての開始日時を「実測開始日時の変更」で変えると,この測定だけのものになります.",
                  others + "動画ファイルはそれらの測定と共通です.", "ビデオ抽出処理が成功しました."}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].readOnly);
}

TEST_F(VideoOfLE, TheFirstLERangeIsWatchedOverTheScreenAndTheWholeVideoWithoutOwner) {
    calc.cmdVideoPlay_Click();
    calc.mnuToolVideo_Click();
    ASSERT_EQ(shown.size(), 1u);  // no LE range: only the whole video
    EXPECT_EQ(shown[0].owner, nullptr);
    EXPECT_EQ(shown[0].startMs, 0);
    EXPECT_EQ(shown[0].endMs, 0);

    SetLE(1, 601);
    calc.cmdVideoPlay_Click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].path, video.string());
    EXPECT_EQ(shown[1].start, Records().Measures.Item(1).StartTime);
    EXPECT_EQ(shown[1].startMs, 0);
    EXPECT_EQ(shown[1].endMs, 60000);
    EXPECT_EQ(shown[1].owner, &calc);
    EXPECT_EQ(ui.Events(), (std::vector<std::string>{"focus frmOctCalc", "focus frmOctCalc"}));
}

struct Extraction {
    std::int32_t answer;
    bool toTheVideo;  // the file chosen is the measurement's own video, under a hard link's name
    const char* message;
};

class Extract : public VideoOfLE, public ::testing::WithParamInterface<Extraction> {};

TEST_P(Extract, TheLERangeGoesToTheChosenFileUnderTheHourglass) {
    player.extractAnswer = GetParam().answer;
    calc.cmdVideoExtract_Click();  // no LE range: no dialog
    SetLE(11, 596);
    ui.ChooseNext(std::nullopt);
    calc.cmdVideoExtract_Click();
    WriteAll(video, "video");
    const std::string out = (folder / "cut.avi").string();
    if (GetParam().toTheVideo) {
        fs::create_hard_link(video, out);
    }
    ui.ChooseNext(out);
    calc.cmdVideoExtract_Click();

    EXPECT_EQ(player.extracted, GetParam().toTheVideo
                                    ? std::vector<std::string>{}
                                    : std::vector<std::string>{video.string() + "|" + out + "|1000|59500"});
    EXPECT_EQ(ReadAll(video), "video");
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{GetParam().message});
    ASSERT_EQ(ui.Dialogs().size(), 2u);
    const platform::FileDialogRequest& r = ui.Dialogs()[1].Request;
    EXPECT_EQ(r.Title, "出力するAviﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(r.Filter, "Aviﾌｧｲﾙ (*.avi)|*.avi");
    EXPECT_TRUE(r.OverwritePrompt && r.HideReadOnly && r.PathMustExist && r.NoReadOnlyReturn);
    const std::vector<std::string>& e = ui.Events();
    const auto on = std::find(e.begin(), e.end(), "busy on");
    ASSERT_NE(on, e.end());
    EXPECT_EQ(std::vector<std::string>(on, e.end()),
              (std::vector<std::string>{"busy on", "busy off", std::string("msg ") + GetParam().message}));
    EXPECT_EQ(g_VideoStartMs, 1000);
    EXPECT_EQ(g_VideoEndMs, 59500);
    EXPECT_TRUE(shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Answers, Extract,
                         ::testing::Values(Extraction{1, false, "ビデオ抽出処理が成功しました."},
                                           Extraction{0, false, "ビデオ抽出処理が失敗しました."},
                                           Extraction{1, true, "ビデオ抽出処理が失敗しました."}));

// ---- Change of the start date and time

struct DateChange {
    const char* name;
    int hours;                            // the new start, hours after the old one
    std::vector<const char*> oldFiles;    // extensions present under the old name
    std::vector<const char*> takenFiles;  // extensions present under the new name
    const char* newStem;
    bool changes;
};

class ChangeDate : public VideoCommands, public ::testing::WithParamInterface<DateChange> {};

TEST_P(ChangeDate, MovesEveryDateAndTheVideoFilesTogetherOrNothing) {
    const DateChange& c = GetParam();
    CChMeasure& ch = Channel(1, 1);
    for (int i = 0; i < 100; ++i) {
        CWaveFile& file = ch.RecWaveFiles.Add(CWaveFile());
        file.StartTime = platform::AddSeconds(kStart, i);
        file.EndTime = platform::AddSeconds(kStart, i + 1);
    }
    CBandLCalcInfo& info = ch.BandLCalcInfos.Item(1);
    info.LEScopes.SimpleAdd(std::make_shared<CScope>(Variant(std::int32_t{11}), Variant(std::int32_t{601})));
    const CMeasure before = Records().Measures.Item(1);
    for (const char* e : c.oldFiles) WriteAll(recWav / (std::string("24-3-5-9_7_3") + e), e);
    for (const char* e : c.takenFiles) WriteAll(recWav / (std::string(c.newStem) + e), "other");
    const std::vector<std::string> filesBefore = RecWavNames();
    const Date chosen = platform::AddSeconds(kStart, c.hours * 3600.0);
    ChooseDateNext(ui, chosen);  // whole seconds
    calc.log.clear();

    calc.mnuChangeDate_Click();

    const CMeasure& after = Records().Measures.Item(1);
    const CChMeasure& a = after.ChMeasures.Item(1);
    const double shift = c.changes ? c.hours / 24.0 : 0.0;
    EXPECT_NEAR(after.StartTime, before.StartTime + shift, 1e-9);
    EXPECT_NEAR(after.EndTime, before.EndTime + shift, 1e-9);
    EXPECT_NEAR(a.CalcXYAxis.XAxisMin.AsDouble(), before.ChMeasures.Item(1).CalcXYAxis.XAxisMin.AsDouble() + shift,
                1e-9);
    EXPECT_NEAR(a.CalcXYAxis.XAxisMax.AsDouble(), before.ChMeasures.Item(1).CalcXYAxis.XAxisMax.AsDouble() + shift,
                1e-9);
    EXPECT_TRUE(a.CalcXYAxis.XAxisMin.IsDate());
    for (std::int32_t i = 1; i <= 100; i += 99) {
        EXPECT_NEAR(a.RecWaveFiles.Item(i).StartTime, before.ChMeasures.Item(1).RecWaveFiles.Item(i).StartTime + shift,
                    1e-9);
        EXPECT_NEAR(a.RecWaveFiles.Item(i).EndTime, before.ChMeasures.Item(1).RecWaveFiles.Item(i).EndTime + shift,
                    1e-9);
    }
    EXPECT_TRUE(a.BandLCalcInfos.IsMeEqualTo(before.ChMeasures.Item(1).BandLCalcInfos));
    if (!c.changes) {
        EXPECT_EQ(RecWavNames(), filesBefore);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text.rfind("実測開始日時を変更できませんでした.\r\n", 0), 0u);
        EXPECT_TRUE(calc.log.empty());
        return;
    }
    EXPECT_TRUE(ui.Messages().empty());
    std::vector<std::string> expected;
    for (const char* e : c.oldFiles) expected.push_back(c.newStem + std::string(e));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(RecWavNames(), expected);
    for (const char* e : c.oldFiles) EXPECT_EQ(ReadAll(recWav / (c.newStem + std::string(e))), e);
    EXPECT_EQ(calc.lblStartymdhms.Caption, platform::FormatDisplayDate(chosen));
    EXPECT_NE(std::find(calc.log.begin(), calc.log.end(), "setFormOfLE"), calc.log.end());
    EXPECT_EQ(g_VideoPath, (recWav / (std::string(c.newStem) + ".avi")).string());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeDate,
    ::testing::Values(DateChange{"Unchanged", 0, {".avi", ".car"}, {}, "24-3-5-9_7_3", true},
                      DateChange{"HourEarlier", -1, {".avi", ".car", ".kmh"}, {}, "24-3-5-8_7_3", true},
                      DateChange{"HourLater", 1, {".avi", ".car", ".kmh"}, {}, "24-3-5-10_7_3", true},
                      DateChange{"NoVideo", 1, {}, {}, "24-3-5-10_7_3", true},
                      DateChange{"TakenSideFile", 1, {".avi", ".car", ".kmh"}, {".kmh"}, "24-3-5-10_7_3", false},
                      DateChange{"TakenWithoutAVideo", 1, {}, {".avi"}, "24-3-5-10_7_3", false}),
    [](const ::testing::TestParamInfo<DateChange>& info) { return info.param.name; });

// A start in use is refused the same way whether the measurement was alone at its old start or shared it
// (then its files stay with the other and it moves without them): it would take as its own what lies under
// the new start's name, or give its own files to the measurement of the new start.
struct StartInUse {
    const char* name;
    bool oldShared;        // another measurement starts at the old start
    bool ownFiles;         // ".avi" and ".car" under the old start's name
    bool newMeasure;       // another measurement starts at the new one
    const char* newFiles;  // extensions under the new start's name
    const char* refusal;   // the message's lines after the first; null: the date changes
};

class DateOntoAStartInUse : public VideoCommands, public ::testing::WithParamInterface<StartInUse> {};

TEST_P(DateOntoAStartInUse, IsRefusedWithItsReasonWhateverTheOldStart) {
    const StartInUse& c = GetParam();
    const Date later = platform::AddSeconds(kStart, 3600.0);
    if (c.oldShared) AddMeasure(120, {ChannelSpec{3, 10.0, 1200}}, kStart);
    if (c.newMeasure) AddMeasure(60, {ChannelSpec{3, 10.0, 600}}, later);
    if (c.ownFiles) {
        WriteAll(video, std::string(kPlayable) + " old start's");
        WriteAll(recWav / "24-3-5-9_7_3.car", "old start's counts");
    }
    for (const char* e = c.newFiles; *e != '\0'; e += 4) {
        WriteAll(recWav / ("24-3-5-10_7_3" + std::string(e, 4)), "new start's");
    }
    const std::vector<std::string> filesBefore = RecWavNames();
    ChooseDateNext(ui, later);

    calc.mnuChangeDate_Click();

    const Date start = Records().Measures.Item(1).StartTime;
    if (c.refusal != nullptr) {
        std::string refusal = c.refusal;
        if (const std::size_t at = refusal.find("RECWAV"); at != std::string::npos) refusal.replace(at, 6, recWav);
        ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"実測開始日時を変更できませんでした.\r\n" + refusal});
        EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Exclamation);
        EXPECT_NEAR(start, kStart, 1e-9);
        EXPECT_EQ(RecWavNames(), filesBefore);
        return;
    }
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_NEAR(start, platform::AddSeconds(kStart, 3600.0), 1e-9);
    const std::vector<std::string> moved = {"24-3-5-10_7_3.avi", "24-3-5-10_7_3.car"};
    EXPECT_EQ(RecWavNames(), c.ownFiles && !c.oldShared ? moved : filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateOntoAStartInUse,
    ::testing::Values(
        StartInUse{"SharedOntoAnothersVideo", true, true, true, ".avi.car",
                   "変更後の開始日時には次の測定の動画ファイルがあります.\r\nNo.3 measure 3 2024/03/05 10:07:03\r\n"
                   "RECWAV/24-3-5-10_7_3.avi"},
        StartInUse{"AloneOntoAnothersVideo", false, true, true, ".avi.car",
                   "変更後の開始日時には次の測定の動画ファイルがあります.\r\nNo.2 measure 2 2024/03/05 10:07:03\r\n"
                   "RECWAV/24-3-5-10_7_3.avi"},
        StartInUse{"SharedWithoutFilesOntoAnothersCounts", true, false, true, ".car",
                   "変更後の開始日時には次の測定のカウント情報があります.\r\nNo.3 measure 3 2024/03/05 10:07:03\r\n"
                   "RECWAV/24-3-5-10_7_3.car"},
        StartInUse{"SharedOntoAFileOfNoMeasurement", true, true, false, ".kmh",
                   "変更後の開始日時の速度情報が既にあります.\r\nRECWAV/24-3-5-10_7_3.kmh"},
        StartInUse{"AloneOntoAFileOfNoMeasurement", false, true, false, ".kmh",
                   "変更後の開始日時の速度情報が既にあります.\r\nRECWAV/24-3-5-10_7_3.kmh"},
        StartInUse{"AloneWithFilesOntoAnotherWithout", false, true, true, "",
                   "変更後の開始日時は次の測定と同じなので,この測定の動画ファイルとカウント情報・速度情報が"
                   "共通になってしまいます.\r\nNo.2 measure 2 2024/03/05 10:07:03"},
        StartInUse{"SharedOntoAnotherWithout", true, true, true, "", nullptr},
        StartInUse{"AloneWithoutFilesOntoAnotherWithout", false, false, true, "", nullptr}),
    [](const ::testing::TestParamInfo<StartInUse>& info) { return info.param.name; });

// A rename the folder refuses undoes those done before it; the message names the file that could not be renamed
// (here the speeds of a measurement whose video is gone) and why.
TEST_F(VideoCommands, ADateChangeWhoseRenameFailsNamesThatFileAndWhy) {
    WriteAll(recWav / "24-3-5-9_7_3.car", "counts");
    WriteAll(recWav / "24-3-5-9_7_3.kmh", "speeds");
    const std::string speeds = (recWav / "24-3-5-9_7_3.kmh").string();
    const std::vector<std::string> filesBefore = RecWavNames();
    ChooseDateNext(ui, platform::AddSeconds(kStart, 3600.0));
    platform::testing::FailingRenames readOnly([&](const std::string& from) { return from == speeds; }, EROFS);

    calc.mnuChangeDate_Click();

    EXPECT_EQ(readOnly.failed(), 1);
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"実測開始日時を変更できませんでした.\r\n"
                                       "速度情報の名前を変更できませんでした(フォルダが読み取り専用です).\r\n" +
                                       speeds});
    EXPECT_NEAR(Records().Measures.Item(1).StartTime, kStart, 1e-9);
    EXPECT_EQ(RecWavNames(), filesBefore);
    EXPECT_EQ(ReadAll(recWav / "24-3-5-9_7_3.car"), "counts");
}

TEST_F(VideoCommands, ClosingTheDateDialogByItsFrameChangesNothing) {
    WriteAll(video, "v");
    const CMeasure before = Records().Measures.Item(1);
    calc.log.clear();
    calc.mnuChangeDate_Click();  // no script: the dialog is closed by its frame
    EXPECT_TRUE(Records().Measures.Item(1).IsMeEqualTo(before));
    EXPECT_TRUE(fs::exists(video));
    EXPECT_TRUE(calc.log.empty());
}

}  // namespace
}  // namespace murtesk::testing
