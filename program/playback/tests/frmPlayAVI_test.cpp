// The video observation window's model with the fake user-interface services and a scripted video library: the
// span and slider scale, the failed loads, the end of the stream through the subclassed frame, frame steps,
// read-outs, counting, erasing, speeds, deleting rows, closing with and without saving, and the CSV files byte for
// byte.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "fake_ui.h"
#include "globals.h"
#include "platform/binary_file.h"
#include "platform/dates.h"
#include "platform/file_size_limit.h"
#include "platform/text_encoding.h"
#include "playback/dll_interface.h"
#include "playback/frmPlayAVI.h"
#include "playback/side_files.h"
#include "scripted_kinemo.h"
#include "side_file_bytes.h"

namespace murtesk::playback {
namespace {

using platform::MsgAnswer;
using platform::testing::FakeUi;
using testing::ReadAll;
using testing::Scratch;
using testing::ScriptedKinemo;
using testing::WriteAll;

const double kStart = platform::DateFromParts(2024, 5, 1, 9, 30, 0);

class PlayAvi : public ::testing::Test {
protected:
    void SetUp() override {
        g_VideoPath = dir.file("24-5-1-9_30_0.avi");
        g_VideoStartTime = 0;
        g_VideoStartMs = g_VideoEndMs = 0;
        // The frame's own procedure records what reaches it.
        SetVideoFrameFactory([this](platform::UiServices& services) {
            auto made = std::make_unique<PlainVideoFrame>(services);
            made->Target().SetWindowProc(
                [this](platform::WindowTarget&, std::uint32_t message, std::uintptr_t, std::intptr_t) -> std::intptr_t {
                    return passedOn.push_back(message), 0;
                });
            frame = made.get();
            return made;
        });
    }
    void TearDown() override {
        if (form && ui.IsLoaded(*form)) ui.Unload(*form);
        SetVideoFrameFactory({});
        g_VideoPath.clear();
        g_bVideoReadOnly = false;
    }
    void Load() {
        form = std::make_unique<frmPlayAVI>(ui, kinemo);
        ui.Show(*form);
        ui.RunPendingActivations();
    }
    // Loaded, paused at `ms` (the slider handling sought there).
    void LoadPausedAt(std::int32_t ms) {
        Load();
        form->cmdStop_Click(0);
        kinemo.position = ms;
    }
    void PostEndOfStream() {
        kinemo.host->window->post(kinemo.host->window->context, WM_AVIGRAPHEVENT, 0, 0);
        frame->DeliverPending();
    }
    void Count(std::int16_t course, std::int16_t lane, std::int16_t kind, std::int32_t ms) {
        form->optCourse.Select(course);
        form->cmbRoadNo.ListIndex = lane;
        form->cmbRoadNo_Click();
        kinemo.position = ms;
        int key = '0' + kind;
        form->Form_KeyPress(key);
    }
    void AddSpeed(std::int16_t course, std::int16_t lane, std::int32_t t1, std::int32_t t2, const char* distance) {
        form->optCourse.Select(course);
        form->cmbRoadNo.ListIndex = lane;
        form->cmbRoadNo_Click();
        g_SaveTime = {t1, t2};
        form->txtDistance.Text = distance;
        form->cmdCalcSpeed_Click();
    }
    std::string Csv(bool (frmPlayAVI::*write)(const std::string&)) {
        const std::string path = dir.file("out.csv");
        EXPECT_TRUE((form.get()->*write)(path));
        return ReadAll(path);
    }

    Scratch dir;
    FakeUi ui;
    ScriptedKinemo kinemo;
    std::unique_ptr<frmPlayAVI> form;
    PlainVideoFrame* frame = nullptr;
    std::vector<std::uint32_t> passedOn;
};

struct SpanCase {
    std::int32_t start, end, duration;
    bool opens;
    std::int32_t correctedStart, correctedEnd, sliderMax;
};

class Span : public PlayAvi, public ::testing::WithParamInterface<SpanCase> {};

TEST_P(Span, IsCorrectedAndScalesTheSlider) {
    const SpanCase& c = GetParam();
    kinemo.duration = c.duration;
    g_VideoStartMs = c.start;
    g_VideoEndMs = c.end;
    Load();
    ASSERT_EQ(ui.IsLoaded(*form), c.opens);
    if (!c.opens) {
        EXPECT_EQ(ui.MessageTexts(),
                  (std::vector<std::string>{"動画ファイルをオープンできませんでした.", "エラーが発生しました."}));
        return;
    }
    EXPECT_EQ(g_VideoStartMs, c.correctedStart);
    EXPECT_EQ(g_VideoEndMs, c.correctedEnd);
    EXPECT_EQ(form->Slider1.Max, c.sliderMax);
    EXPECT_EQ(kinemo.calls[2], "range " + std::to_string(c.correctedStart) + " " + std::to_string(c.correctedEnd));
    EXPECT_EQ(kinemo.calls[3], "seek " + std::to_string(c.correctedStart));  // the slider's handling at its minimum
    EXPECT_EQ(kinemo.calls[4], "start");
    EXPECT_TRUE(form->Timer1);
    EXPECT_FALSE(form->Slider1.Enabled);
}

INSTANTIATE_TEST_SUITE_P(Cases, Span,
                         ::testing::Values(SpanCase{0, 0, 60'000, true, 0, 60'000, 600},  // the whole video
                                           SpanCase{1000, 3'251'000, 4'000'000, true, 1000, 3'251'000, 32500},
                                           SpanCase{1000, 3'251'001, 4'000'000, true, 1000, 3'251'001, 32700},
                                           SpanCase{5000, 90'000, 60'000, true, 5000, 60'000, 550},  // end cut
                                           SpanCase{-50, 250, 60'000, true, 0, 250, 2},         // 2.5 steps: to even
                                           SpanCase{70'000, 90'000, 60'000, false, 0, 0, 0}));  // empty

TEST_F(PlayAvi, FailedOpenAndUnseekableVideoCloseWithTwoMessages) {
    kinemo.openResult = 0;
    Load();
    EXPECT_FALSE(ui.IsLoaded(*form));
    EXPECT_EQ(kinemo.calls.back(), "close");
    kinemo.openResult = 1;
    kinemo.canSeek = 0;
    ui.ClearTranscript();
    Load();
    EXPECT_FALSE(ui.IsLoaded(*form));
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{"シーク機能がサポートされていない動画ファイルです.", "エラーが発生しました."}));
}

// Proportional slider: value × span ÷ 32700 + start, used only inside the span; the tick maps back and clamps.
TEST_F(PlayAvi, ProportionalSliderAndTheTick) {
    g_VideoStartMs = 1000;
    g_VideoEndMs = 3'271'000;
    kinemo.duration = 4'000'000;
    Load();
    kinemo.position = 1'636'000;  // the middle
    form->Timer1_Timer();
    EXPECT_EQ(form->Slider1.Value, 16350);
    kinemo.position = 3'400'000;  // the clock ran past the end
    form->Timer1_Timer();
    EXPECT_EQ(form->Slider1.Value, 32700);
    form->cmdStop_Click(0);
    form->Slider1.Value = 100;
    form->Slider1_Scroll();
    EXPECT_EQ(kinemo.calls.back(), "seek 11000");
}

TEST_F(PlayAvi, EndOfStreamPausesAndRewindsToTheSpanStart) {
    g_VideoStartMs = 2000;
    g_VideoEndMs = 8000;
    Load();
    kinemo.position = 8000;
    form->Slider1.Value = 60;
    kinemo.graphEvent = 1;
    PostEndOfStream();
    EXPECT_EQ(std::vector(kinemo.calls.end() - 3, kinemo.calls.end()),
              (std::vector<std::string>{"event", "pause", "seek 2000"}));
    EXPECT_FALSE(form->Timer1);
    EXPECT_TRUE(form->Slider1.Enabled);
    EXPECT_EQ(form->Slider1.Value, 0);
    EXPECT_EQ(form->lblTime.Caption, "2Sec");
    EXPECT_EQ(passedOn, std::vector<std::uint32_t>{WM_AVIGRAPHEVENT});  // then on to the frame's own procedure

    // A message sent to the frame while the window handles one (here during its seek) is only passed on.
    kinemo.graphEvent = 2;
    kinemo.onSeek = [this] { kinemo.host->window->send(kinemo.host->window->context, WM_AVIGRAPHEVENT, 0, 0); };
    PostEndOfStream();
    EXPECT_EQ(std::count(kinemo.calls.begin(), kinemo.calls.end(), "event"), 2);
    EXPECT_EQ(passedOn.size(), 3u);
}

TEST_F(PlayAvi, UnloadStopsTheTimerAndClosesTheVideo) {
    Load();
    ui.Unload(*form);
    EXPECT_EQ(kinemo.calls.back(), "close");
    EXPECT_FALSE(form->Timer1);
    EXPECT_EQ(form->FrameAVI, nullptr);  // the frame went with the window
    EXPECT_EQ(g_frmPlayAVI, nullptr);
}

TEST(DLLInterFace, SubclassingPassesMessagesOnAndIsUndone) {
    platform::PumpedWindowTarget target;
    int own = 0;
    target.SetWindowProc([&](platform::WindowTarget&, std::uint32_t, std::uintptr_t, std::intptr_t) {
        return static_cast<std::intptr_t>(++own);
    });
    SubClassWindow(target, kSubClassVideo);
    EXPECT_EQ(target.Handle()->send(target.Handle()->context, WM_AVIGRAPHEVENT, 0, 0), 1);  // its result comes back
    UnSubClassWindow(target);
    EXPECT_EQ(target.Handle()->send(target.Handle()->context, 1, 0, 0), 2);
    SubClassWindow(target, kSubClassVideo);
    UnSubClassWindow(target);
    EXPECT_EQ(target.Handle()->send(target.Handle()->context, 1, 0, 0), 3);  // put back, not wrapped twice
}

TEST_F(PlayAvi, FrameStepsStayInsideTheSpan) {
    g_VideoStartMs = 1000;
    g_VideoEndMs = 5000;
    LoadPausedAt(1032);
    const std::size_t calls = kinemo.calls.size();
    form->cmdBack_Click();  // 999 < start
    kinemo.position = 4968;
    form->cmdForward_Click();  // 5001 > end
    EXPECT_EQ(kinemo.calls.size(), calls);
    kinemo.position = 2000;
    form->cmdForward_Click();
    EXPECT_EQ(kinemo.calls.back(), "seek 2033");
    EXPECT_EQ(form->Slider1.Value, 10);
    EXPECT_TRUE(form->Slider1.Enabled);
    form->cmdBack_Click();
    EXPECT_EQ(kinemo.calls.back(), "seek 2000");
}

struct ReadOut {
    double start;
    std::int32_t ms;
    const char* time;
    const char* saved;
};

class ReadOuts : public PlayAvi, public ::testing::WithParamInterface<ReadOut> {};

TEST_P(ReadOuts, ShowWholeSecondsAndSavedTimesToATenth) {
    LoadPausedAt(0);
    g_VideoStartTime = GetParam().start;
    kinemo.position = GetParam().ms;
    form->ShowPosTime();
    form->cmdSaveTime_Click(1);
    EXPECT_EQ(form->lblTime.Caption, GetParam().time);
    EXPECT_EQ(form->lblSaveTime[1].Caption, GetParam().saved);
    EXPECT_EQ(g_SaveTime[1], GetParam().ms);
    EXPECT_EQ(form->lblSaveTime[0].Caption, "---");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadOuts,
    ::testing::Values(ReadOut{0, 12'400, "12Sec", "12.4Sec"}, ReadOut{0, 12'340, "12Sec", "12.3Sec"},
                      ReadOut{kStart, 12'400, "2024/05/01 09:30'12 (12Sec)", "09:30'12 (12.4Sec)"},
                      ReadOut{kStart, 12'500, "2024/05/01 09:30'13 (13Sec)", "09:30'13 (12.5Sec)"},
                      ReadOut{kStart, 59'999, "2024/05/01 09:31'00 (60Sec)", "09:31'00 (60.0Sec)"}));

TEST_F(PlayAvi, CountsByKeysAndClicksForTheDirectionAndLaneOnScreen) {
    LoadPausedAt(0);
    Count(0, 2, 1, 1000);
    Count(0, 2, 4, 2000);
    Count(0, 1, 2, 3000);
    Count(1, 2, 5, 4000);
    int three = '3', nine = '9';
    form->Form_KeyPress(three);  // the total is no kind
    form->Form_KeyPress(nine);
    kinemo.position = 4500;
    form->lblCarKind_Click(8);  // direction 1, lane 2
    EXPECT_EQ(form->m_CarCounts.count(), 5);
    EXPECT_EQ(form->lblCarNum[3].Caption, "2");
    EXPECT_EQ(form->lblCarNum[8].Caption, "2");  // kinds 5 and 8 both count as small vehicles
    form->optCourse.Select(0);
    form->cmbRoadNo.ListIndex = 0;  // lane 0: every lane of the direction
    form->cmbRoadNo_Click();
    EXPECT_EQ(form->lblCarNum[3].Caption, "3");
    EXPECT_EQ(form->lblCarNum[7].Caption, "2");
    EXPECT_EQ(form->m_CarCounts.NowCarCount().PosTime, 3000);

    form->txtDistance_GotFocus();  // digits are the distance now
    EXPECT_FALSE(form->KeyPreview);
    EXPECT_EQ(form->FocusedControl, "txtDistance");
    form->txtDistance_LostFocus();
    EXPECT_TRUE(form->KeyPreview);
}

TEST_F(PlayAvi, ErasesByScopeAndSearchesTheLastCount) {
    LoadPausedAt(0);
    for (std::int32_t ms : {1000, 5000}) {
        Count(0, 0, 1, ms);
        Count(0, 2, 1, ms);
        Count(1, 2, 1, ms);
    }
    Count(0, 0, 1, 5000);  // lane 0 on screen: "車線別" erases lane 0 only
    kinemo.position = 3000;
    form->cmdBackErase_Click();
    EXPECT_EQ(form->m_CarCounts.count(), 5);
    form->optDell.Select(1);  // "方向別": every lane of direction 0
    form->cmdBackErase_Click();
    EXPECT_EQ(form->m_CarCounts.count(), 4);
    ui.AnswerNext(MsgAnswer::No);
    form->optDell.Select(2);
    form->cmdAllErase_Click();
    EXPECT_EQ(form->m_CarCounts.count(), 4);
    EXPECT_EQ(ui.Messages().back().Default, MsgAnswer::No);

    form->m_CarCounts.NowCarCount().PosTime = 70'000;  // outside the span
    form->cmdSearch_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "範囲外でした.");
    form->m_CarCounts.NowCarCount().PosTime = 12'340;
    form->cmdSearch_Click();
    EXPECT_EQ(form->Slider1.Value, 123);
    EXPECT_EQ(kinemo.calls.back(), "seek 12340");
    ui.AnswerNext(MsgAnswer::Yes);
    form->cmdAllErase_Click();
    EXPECT_EQ(form->m_CarCounts.count(), 0);
}

TEST_F(PlayAvi, SpeedsAreCheckedListedAndDeletedByRow) {
    LoadPausedAt(0);
    g_SaveTime = {-1, 2000};
    form->cmdCalcSpeed_Click();
    for (const char* distance : {"abc", "0", "1001"}) AddSpeed(0, 1, 1000, 2000, distance);
    AddSpeed(0, 1, 3000, 3000, "20");
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{"保存時間が設定されていません", "数値を入力してください。",
                                        "1以上、1000以下の数値を入力してください。",
                                        "1以上、1000以下の数値を入力してください。", "保存時間の差が足りません"}));
    EXPECT_EQ(ui.Messages()[1].Title, "入力訂正情報");
    form->cmbCarType.ListIndex = 3;    // 乗用車, kind 2
    AddSpeed(0, 1, 6000, 5000, "20");  // reversed: 72 km/h
    EXPECT_EQ(form->lstSpeed.Items, std::vector<std::string>{"72.0km/h 乗用車"});
    for (int i = 1; i < 5; ++i) AddSpeed(0, 1, 0, i * 1000, "10");
    ASSERT_EQ(form->lstSpeed.ListCount(), 5);
    form->lstSpeed.SetSelected(0, true);
    form->lstSpeed.SetSelected(2, true);
    form->cmdDelSpeed_Click();
    EXPECT_EQ(form->lstSpeed.Items, (std::vector<std::string>{"36.0km/h 乗用車", "12.0km/h 乗用車", "9.0km/h 乗用車"}));
    EXPECT_EQ(form->lstSpeed.ItemData, (std::vector<std::int32_t>{1, 2, 3}));
    form->cmdDelSpeed_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "一覧リストから削除したい日時を複数選択して下さい．");
}

TEST_F(PlayAvi, OkSavesBothSideFilesOrAsksWhenAWriteFails) {
    WriteAll(CarCountFilePath(g_VideoPath), "old");
    LoadPausedAt(0);
    EXPECT_EQ(form->m_CarCounts.count(), 0);  // an unreadable side file starts empty
    Count(0, 1, 4, 1500);
    platform::SetWriteLimitForTests(100);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::No);
    form->cmdOk_Click();
    platform::SetWriteLimitForTests(-1);
    ASSERT_TRUE(ui.IsLoaded(*form));
    const platform::testing::MessageRecord& question = ui.Messages().back();
    EXPECT_EQ(question.Text, "閉じますか？");
    EXPECT_EQ(question.Title, "エラー発生");
    EXPECT_EQ(question.Icon, platform::MsgIcon::Critical);
    EXPECT_EQ(question.Default, MsgAnswer::No);
    EXPECT_EQ(ReadAll(CarCountFilePath(g_VideoPath)), "old");
    form->cmdOk_Click();
    EXPECT_FALSE(ui.IsLoaded(*form));
    CCarCounts saved;
    ASSERT_TRUE(saved.FileRead(CarCountFilePath(g_VideoPath)));
    EXPECT_EQ(saved.count(), 1);
    EXPECT_TRUE(std::filesystem::exists(SpeedFilePath(g_VideoPath)));
}

// Under a file-size limit (`ulimit -f`) the set-up every program of ours makes turns OK's write into a failure
// that is told, in a child process: the side files from before stay as they were and nothing is left beside
// them, neither this save's temporary file nor the one a save killed earlier left.
TEST_F(PlayAvi, OkOverTheFileSizeLimitIsToldAndKeepsTheFilesOnDisk) {
    const std::string car = CarCountFilePath(g_VideoPath);
    const std::string speeds = SpeedFilePath(g_VideoPath);
    CCarCounts before;
    CCarCount one;
    one.CarKind = 2;
    before.PlusCarNum(before.Add(one));
    ASSERT_TRUE(before.FileWrite(car));
    ASSERT_TRUE(CSpeedInfos().FileWrite(speeds));
    const std::string carBytes = ReadAll(car), speedBytes = ReadAll(speeds);
    WriteAll(car + ".~0123456789ab", "left by a killed save");
    const std::vector<std::string> told{"情報の保存に失敗しました．", "閉じますか？"};
    EXPECT_EXIT(
        {
            platform::FailWritesPastTheFileSizeLimit();
            LoadPausedAt(0);
            Count(0, 1, 4, 1500);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 0;
            setrlimit(RLIMIT_FSIZE, &limit);
            ui.AnswerNext(MsgAnswer::OK);
            ui.AnswerNext(MsgAnswer::Yes);  // closes without the counts
            form->cmdOk_Click();
            std::_Exit(ui.MessageTexts() == told && !ui.IsLoaded(*form) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadAll(car), carBytes);
    EXPECT_EQ(ReadAll(speeds), speedBytes);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{car, speeds}));
}

// A side file that does not read is told about at once and kept whole under another name when OK writes anew.
TEST_F(PlayAvi, AnUnreadableSideFileIsToldAndKeptWhenTheNewOneIsWritten) {
    const std::string car = CarCountFilePath(g_VideoPath);
    const std::string damaged = "damaged counts \x01\x02";
    WriteAll(car, damaged);
    WriteAll(dir.file("24-5-1-9_30_0_unreadable.car"), "an earlier one");
    LoadPausedAt(0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "次のファイルを読めないので,空の状態で開きます.\r\n" + car +
                                         "\r\n保存するときは,元のファイルを「24-5-1-9_30_0_unreadable-2.car」という名前で"
                                         "残します.");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Exclamation);
    Count(0, 1, 4, 1500);
    form->cmdOk_Click();
    EXPECT_FALSE(ui.IsLoaded(*form));
    EXPECT_EQ(ReadAll(dir.file("24-5-1-9_30_0_unreadable-2.car")), damaged);
    EXPECT_EQ(ReadAll(dir.file("24-5-1-9_30_0_unreadable.car")), "an earlier one");
    CCarCounts saved;
    ASSERT_TRUE(saved.FileRead(car));
    EXPECT_EQ(saved.count(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("24-5-1-9_30_0_unreadable.kmh")));  // a missing file is no fault
}

// Side files that another measurement shares are shown as they are: no count, erasure or speed reaches them,
// and OK and Cancel close without writing or asking.
TEST_F(PlayAvi, ReadOnlyShowsTheSideFilesAndNeverChangesThem) {
    LoadPausedAt(0);
    Count(0, 1, 4, 1500);
    AddSpeed(0, 1, 1000, 2000, "10");
    form->cmdOk_Click();
    ASSERT_FALSE(ui.IsLoaded(*form));
    const std::string counts = ReadAll(CarCountFilePath(g_VideoPath));
    const std::string speeds = ReadAll(SpeedFilePath(g_VideoPath));
    ASSERT_FALSE(counts.empty() || speeds.empty());
    ui.ClearTranscript();

    g_bVideoReadOnly = true;
    for (const bool ok : {true, false}) {
        LoadPausedAt(3000);
        form->cmbRoadNo.ListIndex = 1;
        form->cmbRoadNo_Click();
        EXPECT_EQ(form->lblCarNum[4].Caption, "1");
        EXPECT_EQ(form->lstSpeed.Items, std::vector<std::string>{"36.0km/h 大型車"});
        for (int k : {1, 2, 4, 5, 6, 7, 8}) EXPECT_FALSE(form->lblCarKind[static_cast<std::size_t>(k)].Enabled);
        for (const platform::CommandButton* b :
             {&form->cmdBackErase, &form->cmdAllErase, &form->cmdCalcSpeed, &form->cmdDelSpeed})
            EXPECT_FALSE(b->Enabled);
        int key = '4';
        form->Form_KeyPress(key);
        form->lblCarKind_Click(2);
        EXPECT_EQ(form->m_CarCounts.count(), 1);
        ok ? form->cmdOk_Click() : form->cmdCancel_Click();
        EXPECT_FALSE(ui.IsLoaded(*form));
        EXPECT_EQ(ReadAll(CarCountFilePath(g_VideoPath)), counts);
        EXPECT_EQ(ReadAll(SpeedFilePath(g_VideoPath)), speeds);
    }
    EXPECT_TRUE(ui.MessageTexts().empty());
}

// Cancel and the close box ask the same question before unsaved counts go; with nothing to lose they close.
TEST_F(PlayAvi, CancelAndTheCloseBoxAskBeforeDroppingCounts) {
    LoadPausedAt(0);
    EXPECT_TRUE(ui.CloseByFrame(*form));
    EXPECT_TRUE(ui.MessageTexts().empty());
    LoadPausedAt(0);
    Count(0, 1, 4, 1500);
    for (bool byFrame : {false, true}) {
        ui.AnswerNext(MsgAnswer::No);
        byFrame ? (void)ui.CloseByFrame(*form) : form->cmdCancel_Click();
        EXPECT_TRUE(ui.IsLoaded(*form));
        EXPECT_EQ(ui.MessageTexts().back(), "データを保存しないで閉じますか？");
    }
    ui.AnswerNext(MsgAnswer::Yes);
    EXPECT_TRUE(ui.CloseByFrame(*form));
    EXPECT_FALSE(std::filesystem::exists(CarCountFilePath(g_VideoPath)));
    EXPECT_EQ(kinemo.calls.back(), "close");
}

TEST_F(PlayAvi, WindowSpringsBackToItsLeastSizeUnlessMinimised) {
    LoadPausedAt(0);
    form->Width = 6000;
    form->Height = 12000;
    form->Form_Resize();
    EXPECT_EQ(form->Width, 7830);
    EXPECT_EQ(form->Height, 12000);
    form->Minimized = true;
    form->Height = 300;
    form->Form_Resize();
    EXPECT_EQ(form->Height, 300);
    form->vsElastic1_ResizeChildren();
    EXPECT_EQ(kinemo.calls.back(), "resize");
}

std::string Cp932(const std::string& utf8) { return platform::Utf8ToCp932(utf8); }

TEST_F(PlayAvi, CsvFilesByteForByte) {
    LoadPausedAt(0);
    Count(0, 2, 4, 12'300);  // up, lane 2, kind 4 at 12.3 s: "上り,2,4,12.3"
    Count(1, 1, 2, 59'999);
    Count(0, 2, 7, 1'400);
    form->cmbCarType.ListIndex = 3;    // kind 2
    AddSpeed(1, 1, 5000, 6000, "20");  // 20 m in 1 s: 72 km/h
    AddSpeed(1, 1, 7000, 7000, "20");
    form->m_SpeedInfos.Add([] {  // equal times, as a side file may hold
        CSpeedInfo s;
        s.Course = 1, s.RoadNo = 1, s.SaveTime1 = s.SaveTime2 = 1400, s.Distance = 12.5f, s.CarKind = 8;
        return s;
    }());
    form->ShowSpeedList();
    form->lstSpeed.Clear();
    form->lstSpeed.AddItem("", 2);  // a list shows what it shows: its item data choose the records
    form->optCourse.Select(0);
    form->cmbRoadNo.ListIndex = 2;
    form->SetNowCourseRoad();

    EXPECT_EQ(Cp932("上り"), "\x8F\xE3\x82\xE8");
    EXPECT_EQ(Csv(&frmPlayAVI::WriteCarCountCSVAll),
              Cp932("方向, 車線番号, 車種番号, 経過時間(Sec)\r\n上り,2,4,12.3\r\n下り,1,2,60.0\r\n上り,2,7,1.4\r\n"));
    EXPECT_EQ(Csv(&frmPlayAVI::WriteCarCountCSVSelected),
              Cp932("方向, 車線番号, 車種番号, 経過時間(Sec)\r\n上り,2,4,12.3\r\n上り,2,7,1.4\r\n"));
    EXPECT_EQ(Csv(&frmPlayAVI::WriteSpeedCSVAll),
              Cp932("方向, 車線番号, 速度(Km/h), 車種番号, 距離(m), 経過時間１(Sec), 経過時間２(Sec)\r\n"
                    "下り,1,72.000,2,20.0,5.0,6.0\r\n下り,1,-1.000,8,12.5,1.4,1.4\r\n"));
    g_VideoStartTime = kStart;
    EXPECT_EQ(Csv(&frmPlayAVI::WriteCarCountCSVAll),
              Cp932("方向, 車線番号, 車種番号, 経過時間(Sec), 走行日時\r\n上り,2,4,12.3,2024/05/01 09:30:12\r\n"
                    "下り,1,2,60.0,2024/05/01 09:31:00\r\n上り,2,7,1.4,2024/05/01 09:30:01\r\n"));
    EXPECT_EQ(Csv(&frmPlayAVI::WriteSpeedCSVList),
              Cp932("方向, 車線番号, 速度(Km/h), 車種番号, 距離(m), 経過時間１(Sec), 経過時間２(Sec), 保存時間１, "
                    "保存時間２\r\n下り,1,-1.000,8,12.5,1.4,1.4,2024/05/01 09:30:01,2024/05/01 09:30:01\r\n"));
}

TEST_F(PlayAvi, ExportAsksForTheFileAndKeepsAnEarlierOneWhenWritingFails) {
    LoadPausedAt(0);
    Count(1, 1, 4, 1000);  // another direction than the one on screen below
    form->optCourse.Select(0);
    form->SetNowCourseRoad();
    ui.AnswerNext(MsgAnswer::Yes);
    form->cmdSaveCarNum_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "保存するカウント情報がありません．");
    EXPECT_TRUE(ui.Dialogs().empty());

    const std::string path = dir.file("counts.csv");
    WriteAll(path, "earlier");
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(path);
    ui.AnswerNext(MsgAnswer::OK);
    platform::SetWriteLimitForTests(10);
    form->mnuFileSaveCarNum_Click();
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ui.MessageTexts().back(), "テキストファイル出力が失敗しました．");
    EXPECT_EQ(ReadAll(path), "earlier");
    const platform::FileDialogRequest& request = ui.Dialogs().back().Request;
    EXPECT_EQ(request.Title, "出力するﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(request.Filter, "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv");
    EXPECT_TRUE(request.OverwritePrompt && request.PathMustExist && request.NoReadOnlyReturn && request.HideReadOnly);

    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(std::nullopt);  // cancelled: nothing written, nothing said
    form->cmdSaveCarNum_Click();
    ui.AnswerNext(MsgAnswer::No);
    ui.ChooseNext(path);
    form->cmdSaveCarNum_Click();
    EXPECT_EQ(ui.MessageTexts().back(), "テキストファイルを出力しました．");
    EXPECT_EQ(ReadAll(path), Cp932("方向, 車線番号, 車種番号, 経過時間(Sec)\r\n下り,1,4,1.0\r\n"));
    EXPECT_EQ(ui.Dialogs().back().Request.FileName, path);  // the dialog proposes the last file
}

}  // namespace
}  // namespace murtesk::playback
