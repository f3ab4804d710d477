// The import run against a scripted library: set-up of each group, every status path with its
// messages, the records built at each group end, the split, stops, and group and file chaining.
#include "band_frequency.h"
#include "file_times.h"
#include "import_fakes.h"
#include "platform/dates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <tuple>

namespace murtesk::import::testing {
namespace {

// 2024-03-05 09:07:12 in local time, the modification time the start tests give their recordings.
std::time_t RecordingModifiedTime()
{
    struct tm local {};
    local.tm_year = 124;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 9;
    local.tm_min = 7;
    local.tm_sec = 12;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

using platform::MsgIcon;
using Strings = std::vector<std::string>;

class Run : public ::testing::Test, public DialogFixture {
protected:
    std::vector<std::string> recs;

    // The condition page after a check of `files` recordings of `channels` channels.
    frmWavFileReadAD& Prepare(int channels, int files = 1, bool split = false)
    {
        const std::string cal = folder.Touch("cal.wav");
        library.Add(cal, channels);
        for (int i = 1; i <= files; ++i) {
            recs.push_back(folder.Touch("rec" + std::to_string(i) + ".wav"));
            library.Add(recs.back(), channels);
        }
        frmWavFileReadAD& f = Open();
        f.txtCSVPathName.Text = cal;
        for (const std::string& r : recs) f.lstWaveFile.AddItem(r);
        f.chkWaveOut.Value = split;
        f.cmdNext_Click();
        EXPECT_TRUE(f.vsElastic2.Visible) << ::testing::PrintToString(ui.MessageTexts());
        ui.ClearTranscript();
        library.calls.clear();
        return f;
    }
    frmWavFileReadAD& Start(int channels, int files = 1, bool split = false)
    {
        frmWavFileReadAD& f = Prepare(channels, files, split);
        f.cmdStart_Click();
        return f;
    }
    void Send(std::int32_t status)
    {
        MurteskWindow* w = form->StatusWindowHandle();
        ASSERT_NE(w, nullptr) << "the dialog is closed";
        w->send(w->context, WM_WAVSTATUS, 0, status);
    }
    bool Closed() const { return !ui.IsLoaded(*form); }
    FakeMeasure& Measure(std::size_t i) const { return *document.measures.at(i); }
};

TEST_F(Run, EightChannelsInOneGroup)
{
    document.channels.resize(8);
    for (int c = 0; c < 8; ++c) document.channels[static_cast<std::size_t>(c)].ZeroPlus = c;
    frmWavFileReadAD& f = Start(8);
    EXPECT_EQ(library.CallsStartingWith("pre"), (Strings{"pre 8 48000"}));
    EXPECT_EQ(library.preOffsets.front(), (std::vector<double>{0, 0, 0, 0, 0, 0, 0, 0}));  // set by the check
    EXPECT_EQ(library.CallsStartingWith("cond").size(), 8u);
    EXPECT_EQ(library.CallsStartingWith("cond 7"), (Strings{"cond 7 w3 m1 bands"}));
    EXPECT_EQ(library.CallsStartingWith("path").size(), 8u * 17u);
    EXPECT_EQ(library.calls.back(), "start " + recs[0]);
    EXPECT_FALSE(f.cmbCh.Enabled);
    EXPECT_FALSE(f.cmdBack.Enabled);
    EXPECT_FALSE(f.cmdCommonW.Enabled);
    EXPECT_EQ(f.cmdStart.Caption, "測定停止(&C)");
    EXPECT_EQ(f.cmdStart.ToolTipText, "測定停止");
    EXPECT_EQ(f.cmdStartIcon, kStopIcon);

    library.secondsDone = 120;
    Send(300);
    EXPECT_EQ(f.lblSate.Caption, "1/1番目Waveファイル  (8ch分割:1/1) 120秒データ処理完了");
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    const FakeMeasure& m = Measure(0);
    EXPECT_EQ(m.account, recs[0]);
    for (const FakeMeasure::Channel& c : m.channels) {
        EXPECT_EQ(c.statisticsSlots.size(), 17u);
        EXPECT_EQ(c.condition.BandIndex, 2);
    }
    EXPECT_EQ(ui.MessageTexts(), (Strings{"終了しました."}));
    EXPECT_EQ(ui.Messages().back().Title, "Murtesk");
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(f.m_bDialogOk);
}

TEST_F(Run, NineChannelsRunInTwoGroups)
{
    Start(9);
    EXPECT_EQ(library.CallsStartingWith("cond 8"), (Strings{"cond 8 w3 m-1"}));
    EXPECT_TRUE(library.CallsStartingWith("path 8").empty());
    EXPECT_EQ(library.preOffsets.front().size(), 9u);
    library.secondsDone = 7;
    Send(300);
    EXPECT_EQ(form->lblSate.Caption, "1/1番目Waveファイル  (8ch分割:1/2) 7秒データ処理完了");
    library.calls.clear();
    Send(9899);
    EXPECT_TRUE(document.measures.empty());
    EXPECT_EQ(library.CallsStartingWith("cond 0"), (Strings{"cond 0 w3 m-1"}));
    EXPECT_EQ(library.CallsStartingWith("cond 8"), (Strings{"cond 8 w3 m1 bands"}));
    EXPECT_EQ(library.CallsStartingWith("path").size(), 17u);
    Send(300);
    EXPECT_EQ(form->lblSate.Caption, "1/1番目Waveファイル  (8ch分割:2/2) 7秒データ処理完了");
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    for (const FakeMeasure::Channel& c : Measure(0).channels) EXPECT_EQ(c.statisticsSlots.size(), 17u);
    EXPECT_TRUE(Closed());
}

TEST_F(Run, NamesLevelFilesAfterTheStartAndTheRun)
{
    ui.SetNow(platform::DateFromParts(2024, 3, 5, 10, 15, 0));
    frmWavFileReadAD& f = Prepare(2, 2);
    // Modified at 2024-03-05 09:07:12 local; the recording lasted 10 s (frames / rate).
    const std::time_t when = RecordingModifiedTime();
    for (const std::string& r : recs) {
        std::filesystem::last_write_time(
            r, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)));
    }
    f.cmdStart_Click();
    EXPECT_EQ(library.CallsStartingWith("path 1 0 "), (Strings{"path 1 0 /proj/F/24-3-5-9_7_2_1_240305101500_1ch.lvl"}));
    EXPECT_EQ(library.CallsStartingWith("path 1 16 "),
              (Strings{"path 1 16 /proj/o17/24-3-5-9_7_2_1_240305101500_1ch.lvl"}));
    EXPECT_EQ(document.channels[0].Account, "");  // the template keeps its own memo
    ui.SetNow(platform::DateFromParts(2024, 3, 5, 10, 16, 30));
    library.calls.clear();
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(Measure(0).channels[0].condition.Account,
              recs[0] + "\r\n更新日時:2024/03/05 09:07:12\r\n作成日時:2024/03/05 09:07:02");
    EXPECT_EQ(Measure(0).start, platform::DateFromParts(2024, 3, 5, 9, 7, 2));
    EXPECT_EQ(library.CallsStartingWith("path 0 1 "), (Strings{"path 0 1 /proj/W/24-3-5-9_7_2_2_240305101630_0ch.lvl"}));
    Send(9899);
    EXPECT_EQ(document.measures.size(), 2u);
    EXPECT_TRUE(Closed());
}

// A file system keeps parts of a second; a measurement's start is the whole second it shows, from
// the modification time (less the recording's 10 s) or, without a readable header, the creation.
class WholeSecondStart : public Run, public ::testing::WithParamInterface<bool> {};

TEST_P(WholeSecondStart, FromEitherFileTime)
{
    const bool headerRead = GetParam();
    frmWavFileReadAD& f = Prepare(1);
    if (!headerRead) library.files[recs[0]].result = 0;
    const auto modified = std::chrono::system_clock::from_time_t(RecordingModifiedTime()) + std::chrono::milliseconds(700);
    std::filesystem::last_write_time(recs[0], std::chrono::file_clock::from_sys(modified));
    f.cmdStart_Click();
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    const std::int64_t ms = platform::DateToMilliseconds(Measure(0).start);
    EXPECT_EQ(ms % 1000, 0) << platform::FormatDisplayDate(Measure(0).start) << " +" << ms % 1000 << " ms";
    if (headerRead) {
        EXPECT_EQ(Measure(0).start, platform::DateFromParts(2024, 3, 5, 9, 7, 2));
    }
}

INSTANTIATE_TEST_SUITE_P(HeaderReadOrNot, WholeSecondStart, ::testing::Bool());

TEST_F(Run, StartFallsBackToTheCreationTimeWhenTheHeaderCannotBeRead)
{
    frmWavFileReadAD& f = Prepare(1);
    library.files[recs[0]].result = 0;
    f.cmdStart_Click();
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(Measure(0).start, ReadFileTimes(recs[0]).created);
}

TEST_F(Run, EndTimeAndAxesFromTheLevelData)
{
    document.channels.resize(1);
    document.channels[0].LVL = 94.0;
    document.channels[0].LevelOutHz = 10.0;
    Start(1);
    const std::string name = library.CallsStartingWith("path 0 0").front().substr(std::string("path 0 0 /proj/F/").size());
    document.levelFiles["/proj/F/" + name] = std::vector<float>(605, 50.0f);
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    const FakeMeasure& m = Measure(0);
    EXPECT_EQ(platform::WholeSecondsBetween(m.start, m.end), 60);  // 60.5 s, halves to even
    EXPECT_EQ(m.channels[0].yMin, 50.0);
    EXPECT_EQ(m.channels[0].yMax, 100.0);
    EXPECT_EQ(platform::WholeSecondsBetween(m.channels[0].xMin, m.channels[0].xMax), 60);
}

TEST_F(Run, OneChannelGetsAPlaceholderSecondChannel)
{
    document.condition1.LVL = 77.0;
    document.condition1.oct1or3 = 3;
    document.condition1.WaveFileOut.OkFlg = 1;
    Start(1);
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    ASSERT_EQ(Measure(0).channels.size(), 2u);
    const CChMeasureCondition& second = Measure(0).channels[1].condition;
    EXPECT_EQ(second.LVL, 77.0);
    EXPECT_EQ(second.oct1or3, 0);
    EXPECT_EQ(second.WaveFileOut.OkFlg, 0);
}

TEST_F(Run, HandsTheLibraryOffsetsCorrectionsAndWeightings)
{
    document.channels.resize(3);
    document.channels[0].w = 6;   // user characteristic
    document.channels[1].w = -1;  // none
    document.channels[2].w = 4;
    document.channels[2].oct1or3 = 3;
    document.channels[2].StartHz = 0.0;  // no band analysis
    document.userCurves = {{0.0, 200.0}};
    document.userNames = {"u1"};
    Start(3);
    EXPECT_EQ(library.CallsStartingWith("cond"), (Strings{"cond 0 w-1 m1 bands", "cond 1 w-1 m1 bands", "cond 2 w4 m3"}));
    ASSERT_EQ(library.corrections.size(), 3u);
    EXPECT_EQ(library.corrections[0].front(), 101.0);
    EXPECT_EQ(library.corrections[0].back(), 115.0);
    EXPECT_EQ(library.corrections[2].front(), 301.0);
    EXPECT_EQ(library.corrections[2].back(), 345.0);
    EXPECT_EQ(library.CallsStartingWith("path 2").size(), 47u);
}

struct FailCase {
    const char* name;
    std::int32_t FakeLibrary::*result;
    const char* message;
};

class SetUpFailure : public Run, public ::testing::WithParamInterface<FailCase> {};

TEST_P(SetUpFailure, EndsTheRunAndLeavesTheDocument)
{
    frmWavFileReadAD& f = Prepare(2);
    library.*(GetParam().result) = 0;
    f.cmdStart_Click();
    EXPECT_EQ(
        ui.MessageTexts(),
        (Strings{GetParam().message, "測定を中止しました.\r\n1/1番目Waveファイル rec1.wav は取り込んでいません."}));
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::None);
    EXPECT_TRUE(document.measures.empty());
    EXPECT_TRUE(Closed());
}

INSTANTIATE_TEST_SUITE_P(Calls, SetUpFailure,
                         ::testing::Values(FailCase{"Pre", &FakeLibrary::preResult, "準備失敗"},
                                           FailCase{"Condition", &FakeLibrary::condResult, "準備失敗"},
                                           FailCase{"Path", &FakeLibrary::pathResult, "準備失敗"},
                                           FailCase{"Start", &FakeLibrary::startResult, "開始失敗"}),
                         [](const ::testing::TestParamInfo<FailCase>& info) { return std::string(info.param.name); });

struct StatusCase {
    const char* name;
    std::int32_t status;
    Strings messages;
    bool kept;  // the measurement of the last group is added
};

class FinalStatus : public Run, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(FinalStatus, EndsTheRunWithItsMessages)
{
    Start(2, 2);
    Send(GetParam().status);
    EXPECT_EQ(ui.MessageTexts(), GetParam().messages);
    EXPECT_EQ(document.measures.size(), GetParam().kept ? 1u : 0u);
    EXPECT_TRUE(Closed());
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, FinalStatus,
    ::testing::Values(
        StatusCase{"Stopped",
                   -1,
                   {"測定を停止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."},
                   true},
        StatusCase{"GaveUp",
                   -9800,
                   {"測定を停止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."},
                   true},
        StatusCase{"Overrun",
                   -9888,
                   {"計算処理速度がデータ取り込み速度に追いつかなかった為、測定を停止します.",
                    "測定を中止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."},
                   true},
        StatusCase{"ReadError",
                   -9811,
                   {"異常が発生した為、測定を停止します.",
                    "測定を中止しました.\r\n1/2番目Waveファイル rec1.wav は取り込んでいません."},
                   false},
        StatusCase{
            "NoData",
            -9801,
            {"データ件数が足りません.", "測定を中止しました.\r\n1/2番目Waveファイル rec1.wav は取り込んでいません."},
            false}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.name); });

TEST_F(Run, MessagesOfTheFailingStatusesCarryTheirTitles)
{
    Start(1);
    Send(-9801);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Title, "お知らせ");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
    form.reset();
    ui.ClearTranscript();
    Start(1);
    Send(-9811);
    EXPECT_EQ(ui.Messages()[0].Title, "お詫び");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
}

TEST_F(Run, AnyOtherStatusOnlyShowsItsNumber)
{
    Start(1);
    Send(1234);
    EXPECT_EQ(form->lblSate.Caption, "1234");
    EXPECT_FALSE(Closed());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(Run, StopInAnEarlierGroupDropsTheMeasurement)
{
    frmWavFileReadAD& f = Start(9);
    f.cmdStart_Click();
    EXPECT_EQ(library.calls.back(), "stop");
    EXPECT_FALSE(f.cmdStart.Enabled);
    EXPECT_EQ(f.cmdStart.Caption, "測定開始(&M)");
    EXPECT_EQ(f.cmdStartIcon, kStartIcon);
    Send(-1);
    EXPECT_TRUE(document.measures.empty());
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"測定を停止しました.\r\n1/1番目Waveファイル rec1.wav は取り込んでいません."}));
    EXPECT_TRUE(Closed());
}

// Former bug: a stopped import kept part of a recording and ended with the "終了しました." of a whole one.
TEST_F(Run, AStopSaysHowMuchOfWhichFileWasKept)
{
    document.levelCount = 42;  // 4.2 s at 10 values a second
    frmWavFileReadAD& f = Start(2, 2);
    f.cmdStart_Click();
    Send(-1);
    ASSERT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"測定を停止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 4秒分を取り込みました."}));
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
    EXPECT_TRUE(Closed());
}

TEST_F(Run, CloseDuringTheRunPollsAndStaysOpen)
{
    frmWavFileReadAD& f = Start(2);
    library.lastStatus = 300;
    library.secondsDone = 3;
    EXPECT_FALSE(ui.CloseByFrame(f));
    EXPECT_EQ(f.lblSate.Caption, "1/1番目Waveファイル  (8ch分割:1/1) 3秒データ処理完了");
    EXPECT_TRUE(library.CallsStartingWith("stop").empty());
    f.cmdStart_Click();  // stop
    EXPECT_FALSE(ui.CloseByFrame(f));
    EXPECT_EQ(library.CallsStartingWith("stop").size(), 2u);
    // The close finds the worker's end already waiting: it is handled, and the dialog closes.
    library.lastStatus = -1;
    EXPECT_TRUE(ui.CloseByFrame(f));
    EXPECT_EQ(document.measures.size(), 1u);
}

TEST_F(Run, SplitComesBeforeTheLastGroupsRecords)
{
    Start(2, 1, true);
    Send(9899);
    const std::string stem = library.CallsStartingWith("path 0 0").front().substr(std::string("path 0 0 /proj/F/").size());
    const std::string expected = stem.substr(0, stem.size() - std::string("_0ch.lvl").size());
    EXPECT_EQ(library.CallsStartingWith("split"), (Strings{"split " + recs[0] + " ALL" + expected + ".Wav /proj/RecWav/"}));
    EXPECT_EQ(form->lblSate.Caption, "1/1番目Waveファイル モノラル分離中");
    EXPECT_TRUE(document.measures.empty());
    Send(9999);
    ASSERT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(Measure(0).channels[0].statisticsSlots.size(), 17u);
    EXPECT_TRUE(Closed());
}

TEST_F(Run, FailedSplitCompletesTheMeasurementThenEnds)
{
    frmWavFileReadAD& f = Prepare(2, 2, true);
    library.splitResult = 0;
    f.cmdStart_Click();
    Send(9899);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"全録音対応処理が失敗しました。", "異常が発生した為、測定を停止します.",
                       "測定を中止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."}));
    EXPECT_EQ(ui.Messages()[0].Title, "お知らせ");
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);
}

TEST_F(Run, StopDuringTheSplitCompletesAndEndsWithoutASecondSplit)
{
    Start(2, 2, true);
    Send(9899);
    form->cmdStart_Click();
    Send(-1);
    EXPECT_EQ(library.CallsStartingWith("split").size(), 1u);
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);
    EXPECT_TRUE(Closed());
}

TEST_F(Run, StopDuringTheLastGroupStillSplitsThenEnds)
{
    Start(2, 2, true);
    form->cmdStart_Click();
    Send(-1);
    EXPECT_EQ(library.CallsStartingWith("split").size(), 1u);
    EXPECT_TRUE(document.measures.empty());
    Send(9999);
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);  // the second file is not started
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"測定を停止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."}));
    EXPECT_TRUE(Closed());
}

// The start button and the condition controls follow the run's phase: analysing, splitting (the stop
// still works), stopping (the button off) and idle again.
TEST_F(Run, ControlsFollowThePhase)
{
    frmWavFileReadAD& f = Start(2, 2, true);
    const auto shown = [&f] {
        return std::make_tuple(f.cmdStart.Caption, f.cmdStartIcon, f.cmdStart.Enabled, f.cmbCh.Enabled);
    };
    EXPECT_EQ(shown(), std::make_tuple(std::string("測定停止(&C)"), kStopIcon, true, false));
    Send(9899);
    EXPECT_EQ(library.CallsStartingWith("split").size(), 1u);
    EXPECT_EQ(shown(), std::make_tuple(std::string("測定停止(&C)"), kStopIcon, true, false));
    f.cmdStart_Click();
    EXPECT_EQ(shown(), std::make_tuple(std::string("測定開始(&M)"), kStartIcon, false, false));
    f.cmdStart_Click();  // the button is off: nothing more is asked of the library
    EXPECT_EQ(library.CallsStartingWith("stop").size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);
    Send(9999);
    EXPECT_EQ(shown(), std::make_tuple(std::string("測定開始(&M)"), kStartIcon, true, true));
    EXPECT_TRUE(Closed());
}

TEST_F(Run, OverrunBeforeTheSplitIsReportedAfterIt)
{
    Start(2, 2, true);
    Send(-9888);
    Send(9999);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"計算処理速度がデータ取り込み速度に追いつかなかった為、測定を停止します.",
                       "測定を中止しました.\r\n1/2番目Waveファイル rec1.wav は 10秒のうち 10秒分を取り込みました."}));
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 1u);
}

// A split so quick that its end arrives while the group end that started it is still being handled.
class InstantSplitLibrary : public FakeLibrary {
public:
    MurteskWindow* window = nullptr;
    std::int32_t StartSeparateChWaveFile(MurteskWindow* w, const std::string& s, const std::string& n,
                                         const std::string& f) override
    {
        FakeLibrary::StartSeparateChWaveFile(w, s, n, f);
        w->send(w->context, WM_WAVSTATUS, 0, 9999);
        w->send(w->context, WM_WAVSTATUS, 0, 9999);  // and a stray second delivery
        return 1;
    }
};

TEST(RunOrder, AStatusDuringAnotherWaitsItsTurnAndIsHandledOnce)
{
    platform::testing::FakeUi ui;
    FakeDocument document;
    InstantSplitLibrary library;
    ScratchFolder folder;
    const std::string cal = folder.Touch("cal.wav");
    const std::string rec = folder.Touch("rec.wav");
    library.Add(cal, 1);
    library.Add(rec, 1);
    frmWavFileReadAD form(ui, document, library);
    ui.Load(form);
    form.txtCSVPathName.Text = cal;
    form.lstWaveFile.AddItem(rec);
    form.lstWaveFile.AddItem(rec);
    form.chkWaveOut.Value = true;
    form.cmdNext_Click();
    form.cmdStart_Click();
    MurteskWindow* w = form.StatusWindowHandle();
    w->send(w->context, WM_WAVSTATUS, 0, 9899);  // file 1 analysed, split, file 2 started
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_EQ(library.CallsStartingWith("start").size(), 2u);
    EXPECT_TRUE(ui.IsLoaded(form));
    w->send(w->context, WM_WAVSTATUS, 0, 9899);
    EXPECT_EQ(document.measures.size(), 2u);
    EXPECT_FALSE(ui.IsLoaded(form));
}

TEST_F(Run, EmptyLevelDataStopsTheRun)
{
    document.levelCount = 0;
    Start(1);
    Send(9899);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"生成レベルデータ数ゼロ件エラーの為、測定を停止します.",
                       "測定を中止しました.\r\n1/1番目Waveファイル rec1.wav は取り込んでいません."}));
    EXPECT_EQ(ui.Messages()[0].Title, "お詫び");
    EXPECT_TRUE(document.measures.empty());
    EXPECT_FALSE(ui.Busy());
}

// Former bug: an import on a nearly full disk ended with "終了しました." although most bands of the
// new measurement had no statistics. The run stops there and keeps the measurements before it whole.
TEST_F(Run, StatisticsThatCannotBeStoredStopTheRunWithoutTheMeasurement)
{
    Start(1, 2);
    Send(9899);
    ASSERT_EQ(document.measures.size(), 1u);
    document.fullFolders.insert("/proj/o5");
    Send(9899);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"統計データの保存に失敗しました.測定を停止します.",
                       "測定を中止しました.\r\n2/2番目Waveファイル rec2.wav は取り込んでいません."}));
    EXPECT_EQ(ui.Messages()[0].Title, "お詫び");
    EXPECT_EQ(document.measures.size(), 1u);
    EXPECT_TRUE(Closed());
    EXPECT_FALSE(ui.Busy());
}

TEST_F(Run, StartChecksEveryChannelsStoredCondition)
{
    document.channels.resize(3);
    document.channels[2].LVL = -30.0;
    frmWavFileReadAD& f = Start(3);
    EXPECT_EQ(ui.MessageTexts(), (Strings{"-20以上、170以下の数値を入力してください。"}));
    EXPECT_EQ(f.cmbCh.ListIndex, 2);
    EXPECT_EQ(f.m_ShownCh, 2);
    EXPECT_EQ(f.FocusedControl, "txtCalLevel");
    EXPECT_TRUE(library.calls.empty());
    EXPECT_TRUE(f.cmbCh.Enabled);
}

class UserCharacteristic : public Run {
protected:
    // The "W" series written for a one-channel octave recording with characteristic 1.
    std::vector<float> WSeries()
    {
        document.channels.resize(1);
        document.channels[0].w = 6;
        document.userNames = {"u1"};
        document.levelCount = 4;
        Start(1);
        Send(9899);
        if (document.measures.empty()) return {};
        const std::string key = "/proj/W/" + Measure(0).channels[0].levelFile;
        return document.levelFiles[key];
    }
};

TEST_F(UserCharacteristic, SumsTheCorrectedBandsInPower)
{
    document.userCurves = {{0.0, 200.0}};
    const std::vector<float> w = WSeries();
    ASSERT_EQ(w.size(), 4u);
    // 15 bands of 50 dB each (the -100 dB start adds nothing visible).
    EXPECT_NEAR(w[0], 50.0 + 10.0 * std::log10(15.0), 1e-4);
    EXPECT_EQ(Measure(0).channels[0].statisticsSlots.back(), 2);
}

TEST_F(UserCharacteristic, LimitsEachBandToItsCeiling)
{
    document.userCurves = {{5.0, 40.0}};
    const std::vector<float> w = WSeries();
    ASSERT_EQ(w.size(), 4u);
    EXPECT_NEAR(w[3], 40.0 + 10.0 * std::log10(15.0), 1e-4);
}

TEST_F(UserCharacteristic, NoContributingBandGivesTheFloor)
{
    document.userCurves = {{-100.0, 0.0}};
    const std::vector<float> w = WSeries();
    EXPECT_EQ(w, std::vector<float>(4, -60.0f));
}

TEST_F(UserCharacteristic, BandOfAnotherLengthStopsTheRun)
{
    document.userCurves = {{0.0, 200.0}};
    document.channels.resize(1);
    document.channels[0].w = 6;
    document.userNames = {"u1"};
    document.levelCount = 4;
    Start(1);
    const std::string name = library.CallsStartingWith("path 0 0").front().substr(std::string("path 0 0 /proj/F/").size());
    document.levelFiles["/proj/o9/" + name] = std::vector<float>(3, 50.0f);
    Send(9899);
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"生成バンドレベルデータ個数不一致エラーの為、測定を停止します.",
                       "測定を中止しました.\r\n1/1番目Waveファイル rec1.wav は取り込んでいません."}));
    EXPECT_TRUE(document.measures.empty());
}

TEST_F(UserCharacteristic, FailuresStopTheRun)
{
    document.userCurves = {{0.0, 200.0}};
    document.project = "/readonly";
    WSeries();
    EXPECT_EQ(ui.MessageTexts(),
              (Strings{"オリジナル補正特性レベルデータの保存に失敗しました.測定を停止します.",
                       "測定を中止しました.\r\n1/1番目Waveファイル rec1.wav は取り込んでいません."}));
}

}  // namespace
}  // namespace murtesk::import::testing
