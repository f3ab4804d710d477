// The calculation screen's playback hand-over and WAV outputs of the LE range and the mark ranges, on
// split recordings the tests write, through the built analysis library: the play record, the
// questions and the save dialog, the files written (their samples checked against the recordings read
// independently) and every way an output stops.
#include "calc_fixture.h"
#include "wav_fixture.h"

#include "model/scopes.h"

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

class WaveCommands : public CalcScreenTest {
protected:
    WaveCommands() { fs::create_directories(RecWav()); }
    ~WaveCommands() override { g_ShowPlayPartOfWave = nullptr; }

    std::string RecWav() const { return GetRecWavFolder(ProjectPath()); }
    // A measurement of `channels` channels at `levelHz`, each with a split recording of `seconds` at
    // `rate` Hz (channel c's samples of its own pattern); the screen shows it with channel 1 and band W.
    void Measure(int channels, double levelHz = 10.0, double seconds = 8.0, std::uint32_t rate = 48000) {
        ChannelSpec spec;
        spec.rate = levelHz;
        AddMeasure(600, std::vector<ChannelSpec>(static_cast<std::size_t>(channels), spec));
        for (int c = 1; c <= channels; ++c) {
            const auto samples = static_cast<std::size_t>(seconds * rate);
            WriteFile(Recording(c), MonoWav(rate, 16, samples, static_cast<unsigned>(c)));
        }
        Show(1);
    }
    std::ptrdiff_t FilesInFolder() const {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    }
    std::string Recording(int c) const { return RecWav() + "/ALLm1_" + std::to_string(c) + "ch.Wav"; }
    CBandLCalcInfo& Band() { return Channel(1, 1).BandLCalcInfos.Item(2); }
    void SetLE(std::int32_t s, std::int32_t e) {
        Band().LEScopes.AllDelete();
        Band().LEScopes.SimpleAdd(std::make_shared<CScope>(Variant(s), Variant(e)));
    }
    void SetMarks(const std::vector<std::pair<std::int32_t, std::int32_t>>& marks, int selected = -1) {
        Band().MarkScopes.AllDelete();
        for (const auto& [s, e] : marks) {
            Band().MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(s), Variant(e)));
        }
        calc.lstMarkArea.SetRows(static_cast<int>(marks.size()), {});
        calc.lstMarkArea.ListIndex = selected;
    }
    // Samples first..last (1-based) of channel c's recording, read from the file itself.
    std::string Samples(int c, std::int32_t first, std::int32_t last) const {
        return ReadFile(Recording(c))
            .substr(44 + 2 * static_cast<std::size_t>(first - 1), 2 * static_cast<std::size_t>(last - first + 1));
    }
    std::string Out(const std::string& name) const { return (folder / name).string(); }
};

struct PlaySpan {
    double levelHz;
    std::int32_t s;
    std::int32_t e;
    std::int32_t startMs;
    std::int32_t endMs;
};

class WavePlay : public WaveCommands, public ::testing::WithParamInterface<PlaySpan> {};

TEST_P(WavePlay, HandsTheLERangeOverInMilliseconds) {
    Measure(2, GetParam().levelHz, 1.0);
    Channel(1, 1).LevelData.SaveFileName = "abc_1ch.lvl";
    int shown = 0;
    g_ShowPlayPartOfWave = [&](platform::UiServices&) { ++shown; };
    calc.cmdWavePlay_Click();
    EXPECT_EQ(shown, 0);  // no LE range
    SetLE(GetParam().s, GetParam().e);
    calc.cmdWavePlay_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(g_PlayWavePath, RecWav() + "/ALLabc_1ch.Wav");
    EXPECT_EQ(g_PlayStartTime, kMeasureStart);
    EXPECT_EQ(g_PlayStartMs, GetParam().startMs);
    EXPECT_EQ(g_PlayEndMs, GetParam().endMs);
    calc.cmdRchMemoPlay_Click();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(g_PlayWavePath, Recording(2));
    EXPECT_TRUE(ui.Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Spans, WavePlay,
                         ::testing::Values(PlaySpan{10.0, 1, 101, 0, 10000}, PlaySpan{3.0, 3, 5, 667, 1333},
                                           PlaySpan{1000.0, 2, 3, 1, 2}),
                         [](const ::testing::TestParamInfo<PlaySpan>& info) {
                             return "At" + std::to_string(static_cast<int>(info.param.levelHz)) + "PerSecond";
                         });

TEST_F(WaveCommands, MemoPlaybackNeedsASecondChannel) {
    Measure(1);
    SetLE(1, 11);
    int shown = 0;
    g_ShowPlayPartOfWave = [&](platform::UiServices&) { ++shown; };
    calc.cmdRchMemoPlay_Click();
    EXPECT_EQ(shown, 0);
}

TEST_F(WaveCommands, LERangeOfOneChannelIsWrittenMonoWithoutAQuestion) {
    Measure(1);
    SetLE(11, 61);  // 1 s to 6 s
    ui.ChooseNext(Out("le.wav"));
    calc.cmdLEWaveOut_Click();
    EXPECT_EQ(g_PlayStartMs, 1000);
    EXPECT_EQ(g_PlayEndMs, 6000);
    EXPECT_EQ(g_PlayStartSample, 48000);
    EXPECT_EQ(g_PlayEndSample, 288000);
    const std::string header =
        "RIFF" + Le(2 * 240001 + 36, 4) + "WAVE" + FmtChunk(WavFmt{1, 1, 48000, 16}) + "data" + Le(2 * 240001, 4);
    EXPECT_EQ(ReadFile(Out("le.wav")), header + Samples(1, 48000, 288000));
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Ｗａｖｅファイル作成しました"});
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const platform::FileDialogRequest& r = ui.Dialogs()[0].Request;
    EXPECT_EQ(r.Title, "出力するWaveﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(r.Filter, "Waveﾌｧｲﾙ (*.wav)|*.wav");
    EXPECT_TRUE(r.OverwritePrompt && r.HideReadOnly && r.PathMustExist && r.NoReadOnlyReturn && !r.FileMustExist);
    EXPECT_FALSE(ui.Busy());

    // The name chosen is proposed the next time.
    ui.ChooseNext(std::nullopt);
    calc.cmdLEWaveOut_Click();
    EXPECT_EQ(ui.Dialogs()[1].Request.FileName, Out("le.wav"));
}

TEST_F(WaveCommands, MergedOutputHoldsEveryChannelInOrder) {
    Measure(4);
    SetLE(1, 11);  // samples 1 to 48000
    ui.AnswerNext(MsgAnswer::Yes);
    ui.ChooseNext(Out("all.wav"));
    calc.cmdLEWaveOut_Click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    const platform::testing::MessageRecord& q = ui.Messages()[0];
    EXPECT_EQ(q.Text,
              "全chﾃﾞｰﾀをﾏｰｼﾞしたWaveﾌｧｲﾙを出力しますか？\r\n「いいえ」なら表示ﾃﾞｰﾀのﾓﾉﾗﾙWaveﾌｧｲﾙを出力します.");
    EXPECT_EQ(q.Title, "出力内容を選択してください");
    EXPECT_EQ(q.Buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(q.Default, MsgAnswer::No);
    EXPECT_EQ(q.Icon, MsgIcon::None);
    const std::string merged = ReadFile(Out("all.wav"));
    ASSERT_EQ(merged.size(), 44u + 4 * 2 * 48000);
    EXPECT_EQ(merged.substr(22, 2), Le(4, 2));
    std::string expected;
    std::vector<std::string> channels;
    for (int c = 1; c <= 4; ++c) {
        channels.push_back(Samples(c, 1, 48000));
    }
    for (std::size_t j = 0; j < 48000; ++j) {
        for (const std::string& ch : channels) {
            expected += ch.substr(2 * j, 2);
        }
    }
    EXPECT_EQ(merged.substr(44), expected);
}

TEST_F(WaveCommands, CancelledQuestionsAndDialogWriteNothing) {
    Measure(2);
    SetLE(1, 11);
    const std::ptrdiff_t files = FilesInFolder();
    ui.AnswerNext(MsgAnswer::Cancel);
    calc.cmdLEWaveOut_Click();
    EXPECT_TRUE(ui.Dialogs().empty());
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(std::nullopt);
    calc.cmdLEWaveOut_Click();
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(std::string());
    calc.cmdLEWaveOut_Click();
    EXPECT_EQ(ui.Messages().size(), 3u);  // the three questions
    EXPECT_FALSE(ui.Busy());
    EXPECT_EQ(FilesInFolder(), files);
}

TEST_F(WaveCommands, MarkRangesGoIntoFilesNamedAfterTheChoice) {
    Measure(1);
    SetMarks({{1, 11}, {21, 31}, {41, 51}});
    ui.AnswerNext(MsgAnswer::Yes);
    ui.ChooseNext(Out("a.wav"));
    calc.cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.Messages()[0].Title, "出力内容を選択してください(1/2)");
    EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
    EXPECT_EQ(ui.MessageTexts().back(), "Ｗａｖｅファイル作成しました");
    EXPECT_FALSE(fs::exists(Out("a.wav")));
    EXPECT_EQ(ReadFile(Out("a_Mark1.Wav")).substr(44), Samples(1, 1, 48000));
    EXPECT_EQ(ReadFile(Out("a_Mark2.Wav")).substr(44), Samples(1, 96000, 144000));
    EXPECT_EQ(ReadFile(Out("a_Mark3.Wav")).substr(44), Samples(1, 192000, 240000));

    // One mark: no question; a name without an extension keeps all of it.
    SetMarks({{21, 31}});
    ui.ClearTranscript();
    ui.ChooseNext(Out("b"));
    calc.cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Ｗａｖｅファイル作成しました"});
    EXPECT_EQ(ReadFile(Out("b_Mark1.Wav")).substr(44), Samples(1, 96000, 144000));
}

// The names made from the chosen one are the project's own files under other names too: the dialog
// refuses a choice one of whose mark files is a hard link to the project file, and takes another.
TEST_F(WaveCommands, AMarkFileThatIsTheProjectIsRefusedWhileTheDialogIsOpen) {
    Measure(1);
    SetMarks({{1, 11}, {21, 31}});
    WriteFile(ProjectPath(), "the project");
    fs::create_directory(folder / "out");
    fs::create_hard_link(ProjectPath(), folder / "out" / "a_Mark2.Wav");
    ui.AnswerNext(MsgAnswer::Yes);
    ui.ChooseNext(Out("out/a.wav"));
    ui.ChooseNext(Out("out/b.wav"));
    calc.cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.Dialogs().size(), 1u);
    const std::vector<std::string> texts = ui.MessageTexts();  // after the question of all marks or one
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()),
              (std::vector<std::string>{
                  "a_Mark2.Wav\r\n開いているプロジェクトファイルには出力できません．\r\n別のファイル名を指定して下さい．",
                  "Ｗａｖｅファイル作成しました"}));
    EXPECT_EQ(ReadFile(ProjectPath()), "the project");
    EXPECT_FALSE(fs::exists(Out("out/a_Mark1.Wav")));
    EXPECT_EQ(ReadFile(Out("out/b_Mark2.Wav")).substr(44), Samples(1, 96000, 144000));
    EXPECT_FALSE(ui.Busy());
}

TEST_F(WaveCommands, TheSelectedMarkAloneAndNoSelection) {
    Measure(2);
    SetMarks({{1, 11}, {21, 31}});
    ui.AnswerNext(MsgAnswer::No);
    calc.cmdMarkWaveOut_Click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].Text, "Waveﾌｧｲﾙを出力したいマーク範囲を選択してください.");
    EXPECT_EQ(ui.Messages()[1].Title, "お知らせ");
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Information);
    EXPECT_TRUE(ui.Dialogs().empty());

    SetMarks({{1, 11}, {21, 31}}, 1);
    ui.ClearTranscript();
    ui.AnswerNext(MsgAnswer::No);
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(Out("s.wav"));
    calc.cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.Messages()[1].Title, "出力内容を選択してください(2/2)");
    EXPECT_FALSE(fs::exists(Out("s_Mark1.Wav")));
    EXPECT_EQ(ReadFile(Out("s_Mark2.Wav")).substr(44), Samples(1, 96000, 144000));
}

TEST_F(WaveCommands, AFailureStopsTheMarksAndLeavesNoPartialFile) {
    Measure(1, 1000.0, 2.0, 8000);  // a level position per millisecond, 8 samples each
    // The second span is 9 samples: past the range check, refused by the library.
    SetMarks({{1, 1000}, {101, 102}, {201, 1000}});
    const std::ptrdiff_t files = FilesInFolder();
    ui.AnswerNext(MsgAnswer::Yes);
    ui.ChooseNext(Out("f.wav"));
    calc.cmdMarkWaveOut_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "Ｗａｖｅファイル作成失敗");
    EXPECT_EQ(g_PlayEndSample - g_PlayStartSample, 8);
    EXPECT_EQ(ui.Messages().back().Icon, MsgIcon::None);
    EXPECT_EQ(ui.Messages().back().Title, "Murtesk");
    EXPECT_TRUE(fs::exists(Out("f_Mark1.Wav")));
    EXPECT_FALSE(fs::exists(Out("f_Mark2.Wav")));
    EXPECT_FALSE(fs::exists(Out("f_Mark3.Wav")));
    EXPECT_EQ(FilesInFolder(), files + 1);  // the first mark's file, no temporary one
    EXPECT_FALSE(ui.Busy());
}

TEST_F(WaveCommands, ASpanPastTheRecordingIsRefusedAndAnEarlierFileKept) {
    Measure(2, 10.0, 2.0);
    WriteFile(Out("keep.wav"), "earlier");
    SetLE(100, 200);  // 9.9 s to 19.9 s of a 2 s recording: both ends at its last sample
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(Out("keep.wav"));
    calc.cmdLEWaveOut_Click();
    EXPECT_EQ(ui.Messages().back().Text, "再生範囲が不適切です");
    EXPECT_EQ(ui.Messages().back().Title, "お知らせ");
    EXPECT_EQ(ui.Messages().back().Icon, MsgIcon::Critical);
    // A merge missing a channel's recording fails whole.
    fs::remove(Recording(2));
    SetLE(1, 11);
    ui.AnswerNext(MsgAnswer::Yes);
    ui.ChooseNext(Out("keep.wav"));
    calc.cmdLEWaveOut_Click();
    EXPECT_EQ(ui.Messages().back().Text, "Ｗａｖｅファイル作成失敗");
    EXPECT_EQ(ReadFile(Out("keep.wav")), "earlier");
}

}  // namespace
}  // namespace murtesk::testing
