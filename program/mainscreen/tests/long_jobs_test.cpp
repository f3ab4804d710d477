// The long-job framework and the jobs that change every measurement: recalculation (1), the
// level-over ranges of channel 1 (7) and their change into excluded ranges (3). Each job is walked
// to its normal end, cancelled at a test point, and made to fail.
#include "jobs_fixture.h"

#include "frmLevelOverArea.h"
#include "long_job.h"

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;

constexpr const char* kCancelled = "途中キャンセルしました．";
constexpr const char* kFailed = "処理中にエラーが発生しました．";
constexpr const char* kRecalcDone = "全測定の再計算を終了しました．";
constexpr const char* kOrangeDone = "全測定Ｌcｈ補正特性のオレンジ範囲を作成しました．";
constexpr const char* kOrangeDeleteDone = "全測定Ｌcｈの補正特性オレンジ範囲を全バンドの計算除外範囲に変更しました．";

void ExpectStatistics(const CLCalc& calc, const std::vector<float>& values, const std::string& where) {
    const Expected e = ExpectedOf(values);
    EXPECT_EQ(calc.ValueCount(), e.n) << where;
    EXPECT_NEAR(calc.getLeq(), e.leq, 1e-9) << where;
    EXPECT_DOUBLE_EQ(calc.getLmax(), e.lmax) << where;
}

// ---- The framework

struct EndCase {
    std::int16_t code;
    JobOutcome outcome;
    const char* text;  // null: no message
    MsgIcon icon;
    const char* title;
};

class EndJobMessages : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndJobMessages, TellTheOutcomeByCode) {
    const EndCase& c = GetParam();
    platform::testing::FakeUi ui;
    frmLongJob window(ui);
    g_JobNo = c.code;
    g_frmLongJob = &window;
    ui.Load(window);
    window.EndJob(c.outcome);
    EXPECT_EQ(g_frmLongJob, nullptr);
    EXPECT_FALSE(ui.IsLoaded(window));
    if (c.text == nullptr) {
        EXPECT_TRUE(ui.Messages().empty());
        return;
    }
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, c.text);
    EXPECT_EQ(ui.Messages()[0].Icon, c.icon);
    EXPECT_EQ(ui.Messages()[0].Title, c.title);
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
}

constexpr const char* kCombined =
    "複数測定組合せ計算結果が、レベル波形の無い測定として追加されました.\r\n計算除外範囲などの変更はしないでください.";

INSTANTIATE_TEST_SUITE_P(
    Codes, EndJobMessages,
    ::testing::Values(EndCase{1, JobOutcome::Done, kRecalcDone, MsgIcon::None, "Murtesk"},
                      EndCase{3, JobOutcome::Done, kOrangeDeleteDone, MsgIcon::None, "Murtesk"},
                      EndCase{7, JobOutcome::Done, kOrangeDone, MsgIcon::None, "Murtesk"},
                      EndCase{4, JobOutcome::Done, kCombined, MsgIcon::Information, "お知らせ"},
                      EndCase{5, JobOutcome::Done, "テキストファイルを出力しました．", MsgIcon::None, "Murtesk"},
                      EndCase{12, JobOutcome::Failed, "テキストファイル出力が失敗しました．", MsgIcon::None, "Murtesk"},
                      EndCase{8, JobOutcome::Cancelled, kCancelled, MsgIcon::None, "Murtesk"},
                      EndCase{1, JobOutcome::Cancelled, kCancelled, MsgIcon::None, "Murtesk"},
                      EndCase{4, JobOutcome::Failed, kFailed, MsgIcon::Critical, "Murtesk"},
                      EndCase{7, JobOutcome::Failed, kFailed, MsgIcon::Critical, "Murtesk"},
                      EndCase{6, JobOutcome::Done, nullptr, MsgIcon::None, ""}));

TEST(LongJobWindow, CodesWithoutAJobCloseSilently) {
    for (const std::int16_t code : {0, 2, 6, 5, 13}) {
        platform::testing::FakeUi ui;
        frmLongJob window(ui);
        g_JobNo = code;
        g_frmLongJob = &window;
        ui.OnModal("frmLongJob", [](platform::Form&) {});
        ui.ShowModal(window);
        EXPECT_FALSE(ui.IsLoaded(window)) << code;
        EXPECT_EQ(g_frmLongJob, nullptr) << code;
        EXPECT_TRUE(ui.Messages().empty()) << code;
        EXPECT_EQ(window.Caption, "処理実行中");
        EXPECT_EQ(window.cmdCancel.Caption, "Cancel");
    }
}

// ---- Job 1: recalculation

class RecalcJob : public JobsTest {
protected:
    // Two measurements of two channels: an octave one of 17 slots and a one-third-octave one.
    void Build() {
        AddMeasure({{1, 120}, {3, 90}});
        AddMeasure({{1, 100}, {3, 80}});
        Start();
        // New excluded ranges, which only a recalculation takes into the statistics.
        for (int i = 1; i <= 2; ++i) {
            for (int c = 1; c <= 2; ++c) {
                for (int k = 1; k <= Channel(i, c).BandLCalcInfos.count(); ++k) {
                    Band(i, c, k).Scopes.Add(CScope(std::int32_t{k}, std::int32_t{k + 20}));
                }
            }
        }
    }
    int Values(int i, int c) { return Channel(i, c).LevelData.getDataNumNoWait(BandFolder(i, c, 1)); }
};

TEST_F(RecalcJob, RecomputesEveryBandOverItsTargetsAndSavesOnce) {
    Build();
    Main().m_JobSettings.threads = 3;
    std::vector<std::string> progress;
    ui.OnDoEvents([&] {
        if (progress.empty() || progress.back() != Main().lblLp0.Caption) {
            progress.push_back(Main().lblLp0.Caption);
        }
    });
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    const std::string before = Bytes(project);
    Main().mnuToolAllCalc_Click();
    EXPECT_EQ(progress, (std::vector<std::string>{"", "測定1", "測定2"}));

    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Text, "全測定の再計算をしますか？");
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::None);
    EXPECT_EQ(ui.Messages()[1].Text, kRecalcDone);
    for (int i = 1; i <= 2; ++i) {
        for (int c = 1; c <= 2; ++c) {
            const int n = Values(i, c);
            for (int k = 1; k <= Channel(i, c).BandLCalcInfos.count(); ++k) {
                const auto all = Levels(i, c, k, n);
                ExpectStatistics(Band(i, c, k).LCalc, Inside(all, {{1, k - 1}, {k + 21, n}}),
                                 "m" + std::to_string(i) + " c" + std::to_string(c) + " slot " + std::to_string(k));
                // The whole-series statistics stay.
                EXPECT_EQ(Band(i, c, k).AllLCalc.ValueCount(), n);
            }
        }
    }
    EXPECT_NE(Bytes(project), before);
    CPreserve saved(ProgramStatsContext());
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_TRUE(saved.Measures.IsMeEqualTo(Doc().Measures));
    EXPECT_FALSE(Main().lblLp0.Visible);
    EXPECT_EQ(Main().lblLp0.Caption, "");
    EXPECT_EQ(g_frmLongJob, nullptr);
}

TEST_F(RecalcJob, NoStartsNothing) {
    Build();
    ui.AnswerNext(MsgAnswer::No);
    Main().mnuToolAllCalc_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"全測定の再計算をしますか？"});
    EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "modal frmLongJob"), 0);
}

// Test points come before each slot of each channel: 17 + 47 of the first measurement, then
// those of the second. A cancel leaves the slots before it recomputed and the rest untouched.
class RecalcCancel : public RecalcJob, public ::testing::WithParamInterface<int> {};

TEST_P(RecalcCancel, LeavesEachSlotRecomputedOrUntouchedAndSavesNothing) {
    Build();
    Main().m_JobSettings.threads = 4;
    const int k = GetParam();
    CancelAtTestPoint(k);
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    const std::string before = Bytes(project);
    Main().mnuToolAllCalc_Click();

    EXPECT_EQ(ui.MessageTexts().back(), kCancelled);
    EXPECT_EQ(Bytes(project), before);
    int point = 0;
    for (int i = 1; i <= 2; ++i) {
        for (int c = 1; c <= 2; ++c) {
            const int n = Values(i, c);
            for (int slot = 1; slot <= Channel(i, c).BandLCalcInfos.count(); ++slot) {
                const bool recomputed = ++point < k;
                EXPECT_EQ(Band(i, c, slot).LCalc.ValueCount(), recomputed ? n - 21 : n) << "test point " << point;
            }
        }
    }
    EXPECT_FALSE(Main().lblLp0.Visible);
}

INSTANTIATE_TEST_SUITE_P(TestPoints, RecalcCancel, ::testing::Values(1, 2, 17, 18, 64, 65, 128));

TEST_F(RecalcJob, AChannelWithoutBandsEndsItsMeasurementAndShortListsStopAtTheirEnd) {
    AddMeasure({{0, 100}, {1, 100}});
    AddMeasure({{1, 100, 10.0, 5}});
    Start();
    for (int i = 1; i <= 2; ++i) {
        for (int c = 1; c <= Doc().Measures.Item(i).ChMeasures.count(); ++c) {
            for (int k = 1; k <= Channel(i, c).BandLCalcInfos.count(); ++k) {
                Band(i, c, k).Scopes.Add(CScope(std::int32_t{1}, std::int32_t{10}));
            }
        }
    }
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolAllCalc_Click();
    EXPECT_EQ(ui.MessageTexts().back(), kRecalcDone);
    EXPECT_EQ(Band(1, 2, 1).LCalc.ValueCount(), 100);  // after a channel of band mode 0: skipped
    ASSERT_EQ(Channel(2, 1).BandLCalcInfos.count(), 5);
    EXPECT_EQ(Band(2, 1, 5).LCalc.ValueCount(), 90);
}

// Former bug: level files moved away left the recalculation's old statistics and the output's
// "---" without a word. Each job that reads level files ends as before, then names once what has none.
TEST_F(RecalcJob, JobsThatReadLevelFilesNameTheMissingOnesOnce) {
    Build();
    fs::remove_all(BandFolder(1, 1, 1));  // the "F" folder of every measurement
    fs::remove(fs::path(BandFolder(2, 2, 3)) / Channel(2, 2).LevelData.SaveFileName);
    const std::string missing =
        "次の測定とバンドのレベル波形データがありません．\r\nレベル波形データから求める値は計算されていません．\r\n"
        "\r\nNo.1 rec1.wav　1ch Ｆ特性　2ch Ｆ特性"
        "\r\nNo.2 rec2.wav　1ch Ｆ特性　2ch Ｆ特性, 20kHz帯域";
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolAllCalc_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"全測定の再計算をしますか？", kRecalcDone, missing}));
    EXPECT_EQ(ui.Messages().back().Icon, MsgIcon::Exclamation);
    EXPECT_EQ(Band(1, 1, 1).LCalc.ValueCount(), 120);  // the statistics it had

    ui.ClearTranscript();
    ui.ChooseNext((home / "values.csv").string());
    RunJobs();
    Main().mnuFileCalcValueTextOut_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"テキストファイルを出力しました．", missing}));
}

TEST_F(RecalcJob, AHistogramThatCannotBeSavedFailsTheJobAndNothingIsSaved) {
    Build();
    const std::string before = Bytes(project);
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    platform::SetWriteLimitForTests(0);
    Main().mnuToolAllCalc_Click();
    platform::SetWriteLimitForTests(-1);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].Text, kFailed);
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(Bytes(project), before);
    EXPECT_FALSE(Main().lblLp0.Visible);
}

TEST_F(RecalcJob, ACloseByTheFrameAsksTheJobToStop) {
    Build();
    ui.OnDoEvents([this] {
        if (++pumps == 4 && g_frmLongJob != nullptr) {
            EXPECT_FALSE(ui.CloseByFrame(*g_frmLongJob));               // the window stays until the job ends
            static_cast<frmLongJob*>(g_frmLongJob)->cmdCancel_Click();  // a second request is the same
        }
    });
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolAllCalc_Click();
    EXPECT_EQ(ui.MessageTexts().back(), kCancelled);
    EXPECT_EQ(Band(1, 1, 2).LCalc.ValueCount(), 120 - 21);
    EXPECT_EQ(Band(1, 1, 3).LCalc.ValueCount(), 120);
}

// ---- Job 7: level-over ranges of channel 1's weighted level, from the level dialog

class OrangeJob : public JobsTest {
protected:
    // The runs at or above the threshold, found by the test over the whole series at once.
    static std::vector<std::pair<double, double>> Runs(const std::vector<float>& v, double threshold) {
        std::vector<std::pair<double, double>> runs;
        for (std::size_t p = 0; p < v.size(); ++p) {
            if (v[p] < threshold) {
                continue;
            }
            if (!runs.empty() && runs.back().second == static_cast<double>(p)) {
                runs.back().second = static_cast<double>(p + 1);
            } else {
                runs.emplace_back(static_cast<double>(p + 1), static_cast<double>(p + 1));
            }
        }
        return runs;
    }
    // The level dialog answers with the button; for "表示" the level typed first.
    void Answer(const std::string& button, const std::string& level = {}) {
        ui.OnModal("frmLevelOverArea", [button, level, this](platform::Form& f) {
            auto& d = static_cast<frmLevelOverArea&>(f);
            dialogText = d.txtLevel.Text;
            if (button == "表示") {
                d.txtLevel.Text = level;
                d.cmdOK_Click();
            } else if (button == "非表示") {
                d.cmdNo_Click();
            } else if (button == "Cancel") {
                d.cmdCancel_Click();
            }  // otherwise the frame closes it
        });
    }
    std::string dialogText;
};

TEST_F(OrangeJob, MarksTheRunsAtOrAboveTheLevelAcrossChunks) {
    AddMeasure({{1, 300}, {1, 300}});
    AddMeasure({{0, 50}});
    AddMeasure({{3, 250}});
    AddMeasure({{1, 60}});
    Start();
    Main().m_JobSettings.levelOverChunk = 7;
    // A missing level file: no ranges, but the level.
    fs::remove(fs::path(BandFolder(4, 1, 2)) / Channel(4, 1).LevelData.SaveFileName);
    Band(4, 1, 2).LevelOverScopes.Add(CScope(std::int32_t{1}, std::int32_t{5}));
    const std::string before = Bytes(project);
    Answer("表示", "62.5");
    RunJobs();
    Main().mnuToolTestCommand2_Click();
    EXPECT_EQ(dialogText, "75");
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{
                  kOrangeDone,
                  "次の測定とバンドのレベル波形データがありません．\r\n"
                  "レベル波形データから求める値は計算されていません．\r\n\r\nNo.4 rec4.wav　1ch 補正特性"}));
    for (const int i : {1, 3}) {
        const auto expected = Runs(Levels(i, 1, 2, i == 1 ? 300 : 250), 62.5);
        ASSERT_GT(expected.size(), 3u);
        EXPECT_EQ(RangesOf(Band(i, 1, 2).LevelOverScopes), expected) << i;
        EXPECT_EQ(Band(i, 1, 2).OverLevel, 62.5);
    }
    EXPECT_EQ(Band(1, 2, 2).OverLevel, 75.0);  // channel 2 is not the job's
    EXPECT_EQ(Band(2, 1, 2).OverLevel, 75.0);  // band mode 0: passed over
    EXPECT_EQ(Band(4, 1, 2).LevelOverScopes.count(), 0);
    EXPECT_EQ(Band(4, 1, 2).OverLevel, 62.5);
    EXPECT_EQ(g_ChMeasure, nullptr);
    EXPECT_NE(Bytes(project), before);
}

TEST_F(OrangeJob, HideEmptiesTheRangesAndKeepsTheLevels) {
    AddMeasure({{1, 100}});
    AddMeasure({{3, 100}});
    draft.Measures.Item(1).ChMeasures.Item(1).BandLCalcInfos.Item(2).LevelOverScopes.Add(
        CScope(std::int32_t{4}, std::int32_t{9}));
    draft.Measures.Item(2).ChMeasures.Item(1).BandLCalcInfos.Item(2).OverLevel = 82.5;
    Start();
    Answer("非表示");
    RunJobs();
    Main().mnuToolTestCommand2_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kOrangeDone});
    EXPECT_EQ(Band(1, 1, 2).LevelOverScopes.count(), 0);
    EXPECT_EQ(Band(1, 1, 2).OverLevel, 75.0);
    EXPECT_EQ(Band(2, 1, 2).OverLevel, 82.5);
}

TEST_F(OrangeJob, CancelOrAFrameCloseOfTheDialogRunsNoJob) {
    AddMeasure({{1, 100}});
    Start();
    for (const char* way : {"Cancel", "frame"}) {
        Answer(way);
        Main().mnuToolTestCommand2_Click();
        EXPECT_TRUE(ui.Messages().empty()) << way;
        EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "modal frmLongJob"), 0) << way;
        EXPECT_EQ(Band(1, 1, 2).OverLevel, 75.0) << way;
    }
}

TEST_F(OrangeJob, CancelAtAChunkKeepsThatBandAsItWasAndSavesNothing) {
    AddMeasure({{1, 40}});
    AddMeasure({{1, 40}});
    Start();
    Main().m_JobSettings.levelOverChunk = 10;
    const std::string before = Bytes(project);
    CancelAtTestPoint(6);  // the second chunk of measurement 2
    Answer("表示", "50");
    RunJobs();
    Main().mnuToolTestCommand2_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kCancelled});
    EXPECT_EQ(RangesOf(Band(1, 1, 2).LevelOverScopes), Runs(Levels(1, 1, 2, 40), 50.0));
    EXPECT_EQ(Band(1, 1, 2).OverLevel, 50.0);
    EXPECT_EQ(Band(2, 1, 2).LevelOverScopes.count(), 0);
    EXPECT_EQ(Band(2, 1, 2).OverLevel, 75.0);
    EXPECT_EQ(Bytes(project), before);
}

// ---- Job 3: level-over ranges of channel 1 become excluded ranges of all its bands

TEST_F(OrangeJob, LevelOverRangesBecomeExcludedRangesOfEveryBand) {
    AddMeasure({{1, 400}});
    AddMeasure({{1, 400}});
    Start();
    Band(1, 1, 2).LevelOverScopes.Add(CScope(std::int32_t{100}, std::int32_t{200}));
    Band(1, 1, 5).Scopes.Add(CScope(std::int32_t{150}, std::int32_t{300}));
    const std::string question = "全測定Ｌcｈの補正特性オレンジ範囲を全バンドの計算除外範囲に変更しますか？";
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolTestCommand1_Click();
    ASSERT_EQ(ui.MessageTexts(), (std::vector<std::string>{question, kOrangeDeleteDone}));
    EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
    EXPECT_EQ(RangesOf(Band(1, 1, 5).Scopes), (std::vector<std::pair<double, double>>{{100, 300}}));
    ExpectStatistics(Band(1, 1, 5).LCalc, Inside(Levels(1, 1, 5, 400), {{1, 99}, {301, 400}}), "slot 5");
    for (const int k : {1, 2, 17}) {
        EXPECT_EQ(RangesOf(Band(1, 1, k).Scopes), (std::vector<std::pair<double, double>>{{100, 200}})) << k;
        ExpectStatistics(Band(1, 1, k).LCalc, Inside(Levels(1, 1, k, 400), {{1, 99}, {201, 400}}),
                         "slot " + std::to_string(k));
    }
    EXPECT_EQ(Band(1, 1, 2).LevelOverScopes.count(), 0);
    EXPECT_EQ(Band(2, 1, 1).Scopes.count(), 0);  // no level-over ranges: nothing to do

    // Once the ranges are gone a second run changes nothing.
    const CMeasures after = Doc().Measures.MeCopy();
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolTestCommand1_Click();
    EXPECT_TRUE(Doc().Measures.IsMeEqualTo(after));
}

// Former bug: a band whose statistics did not fit on the disk kept them beside its new excluded ranges,
// which the next save stored. Now each band's list is the one its statistics count, whichever band
// the disk filled up at.
TEST_F(OrangeJob, ABandWhoseStatisticsCannotBeSavedKeepsItsRanges) {
    AddMeasure({{1, 400}});
    Start();
    Band(1, 1, 2).LevelOverScopes.Add(CScope(std::int32_t{100}, std::int32_t{200}));
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    platform::SetDiskSpaceForTests(3 * static_cast<std::int64_t>(sizeof(LevelHistogram)));
    Main().mnuToolTestCommand1_Click();
    platform::SetDiskSpaceForTests(-1);
    EXPECT_EQ(ui.MessageTexts().back(), kFailed);
    int edited = 0;
    for (int k = 1; k <= 17; ++k) {
        const auto ranges = RangesOf(Band(1, 1, k).Scopes);
        const bool excluded = !ranges.empty();
        edited += excluded ? 1 : 0;
        using Ranges = std::vector<std::pair<double, double>>;
        EXPECT_EQ(ranges, excluded ? Ranges({{100, 200}}) : Ranges()) << k;
        using Kept = std::vector<std::pair<int, int>>;
        const Kept kept = excluded ? Kept({{1, 99}, {201, 400}}) : Kept({{1, 400}});
        ExpectStatistics(Band(1, 1, k).LCalc, Inside(Levels(1, 1, k, 400), kept), "slot " + std::to_string(k));
    }
    EXPECT_EQ(edited, 3);
    EXPECT_EQ(Band(1, 1, 2).LevelOverScopes.count(), 1);
}

// Former bug: a band whose level file was gone took the excluded ranges its statistics, which
// nothing could recompute, did not count. It keeps its list; the job is done for the others.
TEST_F(OrangeJob, ABandWhoseLevelFileIsGoneKeepsItsRanges) {
    AddMeasure({{1, 400}});
    Start();
    Band(1, 1, 2).LevelOverScopes.Add(CScope(std::int32_t{100}, std::int32_t{200}));
    ASSERT_TRUE(fs::remove(*Channel(1, 1).LevelData.PathIn(BandFolder(1, 1, 6))));
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolTestCommand1_Click();
    ASSERT_EQ(ui.MessageTexts().size(), 3u);
    EXPECT_EQ(ui.MessageTexts()[1], kOrangeDeleteDone);
    EXPECT_EQ(ui.MessageTexts()[2].rfind("次の測定とバンドのレベル波形データがありません．", 0), 0u);
    EXPECT_EQ(Band(1, 1, 6).Scopes.count(), 0);
    ExpectStatistics(Band(1, 1, 6).LCalc, Levels(1, 1, 6, 400), "slot 6");
    EXPECT_EQ(RangesOf(Band(1, 1, 7).Scopes), (std::vector<std::pair<double, double>>{{100, 200}}));
}

TEST_F(OrangeJob, CancelOfTheRangeChangeKeepsTheLevelOverRanges) {
    AddMeasure({{1, 100}});
    Start();
    Band(1, 1, 2).LevelOverScopes.Add(CScope(std::int32_t{10}, std::int32_t{20}));
    const std::string before = Bytes(project);
    CancelAtTestPoint(3);
    ui.AnswerNext(MsgAnswer::Yes);
    RunJobs();
    Main().mnuToolTestCommand1_Click();
    EXPECT_EQ(ui.MessageTexts().back(), kCancelled);
    EXPECT_EQ(Band(1, 1, 2).Scopes.count(), 1);  // slots 1 and 2 were done
    EXPECT_EQ(Band(1, 1, 3).Scopes.count(), 0);
    EXPECT_EQ(Band(1, 1, 2).LevelOverScopes.count(), 1);
    EXPECT_EQ(Bytes(project), before);
}

}  // namespace
}  // namespace murtesk::testing
