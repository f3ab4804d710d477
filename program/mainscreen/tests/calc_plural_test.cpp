// The combined calculation of several measurements: the choosing dialog, the condition checks of
// the command, and job 4's new measurement, whose statistics the test computes from the source
// values themselves.
#include "jobs_fixture.h"

#include "frmSelectCalcPlural.h"

#include "model/level_calc.h"
#include "model/project_files.h"
#include "model/shared_procedures.h"
#include "platform/binary_file.h"
#include "platform/dates.h"

#include <set>

namespace murtesk::testing {
namespace {

using platform::MsgIcon;

// ---- The dialog

class SelectDialog : public JobsTest {
protected:
    void Open(int measures) {
        for (int i = 0; i < measures; ++i) {
            AddMeasure({{1, 10, 10.0, 2}});
        }
        Start();
        ui.Load(dialog);
    }
    void Add(const std::string& start, const std::string& end) {
        dialog.txtStartNo.Text = start;
        dialog.txtEndNo.Text = end;
        dialog.cmdAdd_Click();
    }
    std::vector<int> MarkedNumbers() const {
        std::vector<int> marked;
        for (std::size_t k = 1; k < g_bPluralSelect.size(); ++k) {
            if (g_bPluralSelect[k]) {
                marked.push_back(static_cast<int>(k));
            }
        }
        return marked;
    }
    frmSelectCalcPlural dialog{ui};
};

TEST_F(SelectDialog, OpensWithTheWholeRangeSelected) {
    Open(4);
    EXPECT_EQ(dialog.Caption, "複数測定組合せ計算...");
    EXPECT_EQ(dialog.txtMEMO.Text,
              "＜制限事項＞\r\n選択する測定のチャンネル数、分析バンド幅、\r\n補正特性、動特性は\r\n同じでなければなりま"
              "せん。\r\n");
    EXPECT_EQ(dialog.Label3.Caption, "複数組合せ計算対象　測定番号一覧");
    EXPECT_EQ(dialog.txtStartNo.Text, "1");
    EXPECT_EQ(dialog.txtEndNo.Text, "4");
    EXPECT_EQ(dialog.FocusedControl, "txtStartNo");
    EXPECT_TRUE(dialog.FocusSelectsAll);
    EXPECT_EQ(g_bPluralSelect, std::vector<bool>(5, false));
}

struct EntryCase {
    int measures;
    std::vector<std::pair<std::string, std::string>> adds;
    std::vector<std::string> entries;
    std::vector<int> marked;
};

class SelectEntries : public SelectDialog, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(SelectEntries, MarkEveryListedNumberOnce) {
    const EntryCase& c = GetParam();
    Open(c.measures);
    for (const auto& [start, end] : c.adds) {
        Add(start, end);
    }
    EXPECT_EQ(dialog.lstNoCondition.Items, c.entries);
    dialog.cmdOK_Click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_EQ(MarkedNumbers(), c.marked);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectEntries,
                         ::testing::Values(EntryCase{3, {{"1", "3"}, {"3", "3"}}, {"1-->3", "3"}, {1, 2, 3}},
                                           EntryCase{7, {{"2", "4"}, {"6", "6"}}, {"2-->4", "6"}, {2, 3, 4, 6}},
                                           EntryCase{3, {{" 2 ", "2.0"}}, {"2"}, {2}}));

TEST_F(SelectDialog, RefusesWhatItCannotList) {
    Open(5);
    struct Refusal {
        std::string start, end, text, focus;
        MsgIcon icon;
        std::string title;
    };
    const std::vector<Refusal> refusals{
        {"5", "3", "終了測定番号は開始測定番号以上を入力してください。", "txtEndNo", MsgIcon::None, "Murtesk"},
        {"0", "3", "1以上、5以下の数値を入力してください。", "txtStartNo", MsgIcon::Information, "入力訂正情報"},
        {"1", "6", "1以上、5以下の数値を入力してください。", "txtEndNo", MsgIcon::Information, "入力訂正情報"},
        {"1.5", "3", "1以上、5以下の数値を入力してください。", "txtStartNo", MsgIcon::Information, "入力訂正情報"},
        {"x", "3", "数値を入力してください。", "txtStartNo", MsgIcon::Information, "入力訂正情報"},
    };
    for (const Refusal& r : refusals) {
        ui.ClearTranscript();
        dialog.FocusedControl.clear();
        Add(r.start, r.end);
        ASSERT_EQ(ui.Messages().size(), 1u) << r.start;
        EXPECT_EQ(ui.Messages()[0].Text, r.text);
        EXPECT_EQ(ui.Messages()[0].Icon, r.icon);
        EXPECT_EQ(ui.Messages()[0].Title, r.title);
        EXPECT_EQ(dialog.FocusedControl, r.focus);
        EXPECT_TRUE(dialog.FocusSelectsAll);
    }
    EXPECT_EQ(dialog.lstNoCondition.ListCount(), 0);

    ui.ClearTranscript();
    dialog.cmdOK_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"計算対象測定番号がひとつも定義されていません．"});
    EXPECT_TRUE(ui.IsLoaded(dialog));
}

TEST_F(SelectDialog, DeleteRemovesEverySelectedEntry) {
    Open(5);
    Add("1", "2");
    Add("3", "3");
    Add("4", "5");
    dialog.lstNoCondition.SetSelected(0, true);
    dialog.lstNoCondition.SetSelected(2, true);
    dialog.cmdDelete_Click();
    EXPECT_EQ(dialog.lstNoCondition.Items, std::vector<std::string>{"3"});
}

TEST_F(SelectDialog, CancelAndTheFrameCloseAnswerNo) {
    Open(2);
    Add("1", "2");
    g_bDialogOk = true;
    dialog.cmdCancel_Click();
    EXPECT_FALSE(g_bDialogOk);
    ui.Load(dialog);
    g_bDialogOk = true;
    EXPECT_TRUE(ui.CloseByFrame(dialog));
    EXPECT_FALSE(g_bDialogOk);
    EXPECT_EQ(MarkedNumbers(), std::vector<int>{});
}

// ---- The command's checks

class CombineCommand : public JobsTest {
protected:
    // The dialog lists the entries (start, end) and answers Ok.
    void Choose(std::vector<std::pair<std::string, std::string>> entries) {
        ui.OnModal("frmSelectCalcPlural", [entries](platform::Form& f) {
            auto& d = static_cast<frmSelectCalcPlural&>(f);
            for (const auto& [start, end] : entries) {
                d.txtStartNo.Text = start;
                d.txtEndNo.Text = end;
                d.cmdAdd_Click();
            }
            d.cmdOK_Click();
        });
    }
    std::set<std::string> LCalcFiles() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(GetLCalcFolder(project))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(CombineCommand, MeasurementsOfOtherConditionsAreRefused) {
    struct Mismatch {
        std::function<void(CChMeasureCondition&)> change;
        std::string ending;
    };
    const std::vector<Mismatch> mismatches{
        {[](CChMeasureCondition& c) { c.w = 4; }, " の補正特性が異なります."},
        {[](CChMeasureCondition& c) { c.oct1or3 = 3; }, " の分析バンド幅が異なります."},
        {[](CChMeasureCondition& c) { c.CR = 1.0; }, " の動特性が異なります."},
        {[](CChMeasureCondition& c) { c.LevelOutHz = 100.0; }, " のレベル波形サンプル間隔秒数が異なります."},
    };
    AddMeasure({{1, 10, 10.0, 2}, {1, 10, 10.0, 2}});
    AddMeasure({{1, 10, 10.0, 2}, {1, 10, 10.0, 2}});
    AddMeasure({{1, 10, 10.0, 2}});
    Start();
    const std::string head = "計算する測定の組合せは、同じ条件の測定でなければなりません.\r\n測定番号1 と測定番号";
    for (const Mismatch& m : mismatches) {
        ui.ClearTranscript();
        CChMeasureCondition kept = Channel(2, 2).ChMeasureCondition.MeCopy();
        m.change(Channel(2, 2).ChMeasureCondition);
        Choose({{"1", "2"}});
        Main().mnuToolCalcPlural_Click();
        ASSERT_EQ(ui.Messages().size(), 1u) << m.ending;
        EXPECT_EQ(ui.Messages()[0].Text, head + "2 のチャンネル番号（ゼロはじまり）1\r\n" + m.ending);
        EXPECT_EQ(ui.Messages()[0].Title, "複数測定組合せ計算制限事項");
        EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
        kept.MeMove(Channel(2, 2).ChMeasureCondition);
    }
    ui.ClearTranscript();
    Choose({{"1", "3"}});
    Main().mnuToolCalcPlural_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{head + "3\r\n の測定チャンネル数が異なります."});
    EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "modal frmLongJob"), 0);
    EXPECT_EQ(Doc().Measures.count(), 3);
}

TEST_F(CombineCommand, AFrameCloseOfTheDialogStartsNoJob) {
    AddMeasure({{1, 10, 10.0, 2}});
    Start();
    Main().mnuToolCalcPlural_Click();  // no script: the frame closes the dialog
    EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "modal frmLongJob"), 0);
    EXPECT_EQ(Doc().Measures.count(), 1);
}

// ---- Job 4

// The Lx of values on the 0.1 dB grid, from the values sorted: the first level whose running
// count reaches total x (100 - X) / 100.
double SortedLx(std::vector<float> values, int X) {
    std::sort(values.begin(), values.end());
    const double threshold = static_cast<double>(values.size()) * (100 - X) / 100.0;
    const auto rank = static_cast<std::size_t>(std::max(1.0, std::ceil(threshold)));
    return std::round(values[rank - 1] * 10.0) / 10.0;
}

TEST_F(CombineCommand, TheNewMeasurementSumsTheChosenTargetStatistics) {
    AddMeasure({{1, 1000}, {3, 300}});
    AddMeasure({{1, 500}, {3, 200}});
    AddMeasure({{1, 1000}, {3, 400}});
    Start();
    // The sources' excluded ranges stay excluded: their target statistics are what is summed.
    Band(1, 1, 4).Scopes.Add(CScope(std::int32_t{1}, std::int32_t{100}));
    Band(1, 1, 4).LCalc.resetNew(Band(1, 1, 4).Scopes.getReverse(std::int32_t{1}, std::int32_t{1000}),
                                 Channel(1, 1).LevelData, BandFolder(1, 1, 4));
    ui.SetNow(45500.25);
    std::vector<std::string> progress;
    ui.OnDoEvents([&] {
        if (progress.empty() || progress.back() != Main().lblLp0.Caption) {
            progress.push_back(Main().lblLp0.Caption);
        }
    });
    Choose({{"1", "1"}, {"3", "3"}});
    RunJobs();
    Main().mnuToolCalcPlural_Click();

    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Title, "お知らせ");
    ASSERT_EQ(Doc().Measures.count(), 4);
    EXPECT_EQ(Main().m_MeasureIndex, 4);
    EXPECT_EQ(Main().ListView1.Rows.size(), 4u);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 3);
    CPreserve saved(ProgramStatsContext());
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_TRUE(saved.Measures.IsMeEqualTo(Doc().Measures));
    EXPECT_EQ(progress.size(), 18u);  // "", Band1..Band17 on channel 1, then none on channel 2
    EXPECT_EQ(progress.back(), "Band17");

    const CMeasure& m = Doc().Measures.Item(4);
    EXPECT_EQ(m.StartTime, 45500.25);
    EXPECT_EQ(platform::WholeSecondsBetween(m.StartTime, m.EndTime), 200);  // 1000 + 1000 values at 10 Hz
    ASSERT_EQ(m.ChMeasures.count(), 2);
    for (int c = 1; c <= 2; ++c) {
        const CChMeasure& ch = m.ChMeasures.Item(c);
        const int mode = c == 1 ? 1 : 3;
        EXPECT_EQ(ch.ChMeasureCondition.Account, "<<複数測定組合せ計算結果>>\r\n測定No = 1+3");
        EXPECT_EQ(ch.LevelData.SaveFileName,
                  platform::FormatFileNameDate(45500.25) + "_" + std::to_string(c - 1) + "ch.lvl");
        EXPECT_EQ(ch.ChMeasureCondition.WaveFileOut.OkFlg, 0);
        EXPECT_EQ(ch.ChMeasureCondition.BandIndex, 2);
        EXPECT_EQ(ch.CalcXYAxis.XAxisUnit, 3);
        EXPECT_EQ(ch.CalcXYAxis.getXWidthSec(), 60);
        ASSERT_EQ(ch.BandLCalcInfos.count(), SlotCount(static_cast<std::int16_t>(mode)));
        const int n1 = c == 1 ? 1000 : 300;
        const int n3 = c == 1 ? 1000 : 400;
        for (int b = 1; b <= ch.BandLCalcInfos.count(); ++b) {
            SCOPED_TRACE("channel " + std::to_string(c) + " slot " + std::to_string(b));
            std::vector<float> values = Inside(Levels(1, c, b, n1), {{c == 1 && b == 4 ? 101 : 1, n1}});
            const auto third = Levels(3, c, b, n3);
            values.insert(values.end(), third.begin(), third.end());
            const Expected e = ExpectedOf(values);
            const CBandLCalcInfo& band = ch.BandLCalcInfos.Item(b);
            for (const CLCalc* calc : {&band.LCalc, &band.AllLCalc}) {
                EXPECT_EQ(calc->ValueCount(), e.n);
                EXPECT_NEAR(calc->getLeq(), e.leq, 1e-9);
                EXPECT_DOUBLE_EQ(calc->getLmax(), e.lmax);
                EXPECT_EQ(calc->LmaxPos, 0);
                EXPECT_EQ(calc->Scope.S.AsDouble(), 1.0);
                EXPECT_EQ(calc->Scope.E.AsDouble(), static_cast<double>(e.n));
                for (const int X : {5, 50, 90, 100}) {
                    EXPECT_NEAR(calc->getLx(X), SortedLx(values, X), 1e-9) << "L" << X;
                }
            }
            EXPECT_NE(band.LCalc.LxData.SaveFileName, band.AllLCalc.LxData.SaveFileName);
            EXPECT_EQ(band.Scopes.count(), 0);
        }
    }
}

// Energy sums and durations set on the sources' records: the sum starts from the first source
// that has one, a sum at or above -60 dB takes every later one, and the end time is rounded to
// the even second.
struct SumCase {
    double first, second;
    double sum;
    std::int32_t count1, count2;
    std::int64_t seconds;
};

class CombineSums : public CombineCommand, public ::testing::WithParamInterface<SumCase> {};

TEST_P(CombineSums, FollowTheSummingRules) {
    const SumCase& c = GetParam();
    AddMeasure({{1, 10, 10.0, 2}});
    AddMeasure({{1, 10, 10.0, 2}});
    Start();
    Band(1, 1, 2).LCalc.m_dBSum = c.first;
    Band(2, 1, 2).LCalc.m_dBSum = c.second;
    Band(1, 1, 1).AllLCalc.Scope.E = c.count1;
    Band(2, 1, 1).AllLCalc.Scope.E = c.count2;
    Choose({{"1", "2"}});
    RunJobs();
    Main().mnuToolCalcPlural_Click();
    ASSERT_EQ(Doc().Measures.count(), 3);
    const CMeasure& m = Doc().Measures.Item(3);
    EXPECT_NEAR(m.ChMeasures.Item(1).BandLCalcInfos.Item(2).LCalc.m_dBSum, c.sum, 1e-4);
    EXPECT_EQ(platform::WholeSecondsBetween(m.StartTime, m.EndTime), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(Cases, CombineSums,
                         ::testing::Values(SumCase{70.0, 70.0, 73.0103, 6000, 6000, 1200},
                                           SumCase{-65.0, 70.0, 70.0, 6000, 6005, 1200},
                                           SumCase{-70.0, -70.0, -70.0, 6010, 6005, 1202},
                                           SumCase{60.0, -70.0, 60.0, 0, 0, 0}));

TEST_F(CombineCommand, CountsThatWouldPassTheLargestHistogramCountStopThere) {
    AddMeasure({{1, 10, 10.0, 2}});
    AddMeasure({{1, 10, 10.0, 2}});
    Start();
    LevelHistogram near{};
    near[1200] = INT32_MAX - 10;
    for (int i = 1; i <= 2; ++i) {
        ASSERT_TRUE(Band(i, 1, 2).LCalc.LxData.SaveData(near, GetLCalcFolder(project)));
    }
    Choose({{"1", "2"}});
    RunJobs();
    Main().mnuToolCalcPlural_Click();
    const CLCalc& calc = Doc().Measures.Item(3).ChMeasures.Item(1).BandLCalcInfos.Item(2).LCalc;
    EXPECT_EQ(calc.LxData.getData(GetLCalcFolder(project))[1200], INT32_MAX);
    EXPECT_EQ(calc.Scope.E.AsDouble(), static_cast<double>(INT32_MAX));
}

TEST_F(CombineCommand, CancelDropsTheMeasurementAndTheHistogramsItWrote) {
    AddMeasure({{1, 20}});
    AddMeasure({{1, 20}});
    Start();
    const std::set<std::string> before = LCalcFiles();
    const std::string project_before = Bytes(project);
    CancelAtTestPoint(7);  // two test points per band: bands 1 to 3 are written
    Choose({{"1", "2"}});
    RunJobs();
    Main().mnuToolCalcPlural_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"途中キャンセルしました．"});
    EXPECT_EQ(Doc().Measures.count(), 2);
    EXPECT_EQ(LCalcFiles(), before);
    EXPECT_EQ(Bytes(project), project_before);
    EXPECT_FALSE(Main().lblLp0.Visible);
}

// Former bug: a source band whose histogram file was gone was summed with no values but with its
// energy and maximum, so the new measurement's Leq of that band was stored too high. Such a source
// is named and nothing is combined; one that goes while the job runs fails the job.
TEST_F(CombineCommand, ASourceWhoseHistogramIsMissingIsNamedAndCombinedIntoNothing) {
    AddMeasure({{1, 20}});
    AddMeasure({{1, 20}});
    AddMeasure({{1, 20}});
    Start();
    const auto drop = [this](int i, int k) {
        ASSERT_TRUE(fs::remove(fs::path(GetLCalcFolder(project)) / Band(i, 1, k).LCalc.LxData.SaveFileName));
    };
    drop(2, 4);
    drop(2, 6);
    drop(3, 5);  // not chosen
    const std::string bytes = Bytes(project);
    Choose({{"1", "2"}});
    Main().mnuToolCalcPlural_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "次の測定とバンドの統計データがありません．\r\n組合せ計算はできません．\r\n"
                                     "\r\nNo.2 rec2.wav　1ch " +
                                         std::string(GetBandName(1, 4)) + ", " + std::string(GetBandName(1, 6)));
    EXPECT_EQ(ui.Messages()[0].Title, "複数測定組合せ計算制限事項");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "modal frmLongJob"), 0);

    ui.ClearTranscript();
    const std::set<std::string> before = LCalcFiles();
    ui.OnDoEvents([&] {
        if (++pumps == 3) drop(1, 2);  // in the job, before slot 2 is summed
    });
    Choose({{"1", "1"}});
    RunJobs();
    Main().mnuToolCalcPlural_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"処理中にエラーが発生しました．"});
    EXPECT_EQ(Doc().Measures.count(), 3);
    std::set<std::string> left = before;
    left.erase(Band(1, 1, 2).LCalc.LxData.SaveFileName);
    EXPECT_EQ(LCalcFiles(), left);
    EXPECT_EQ(Bytes(project), bytes);
}

// Former bug: a band whose summed histogram did not fit on the disk kept its count without a file,
// and the job ended as done. The job fails, with no measurement and no file of it left.
TEST_F(CombineCommand, AHistogramThatCannotBeStoredAddsNoMeasurement) {
    AddMeasure({{1, 20}});
    AddMeasure({{1, 20}});
    Start();
    const std::set<std::string> before = LCalcFiles();
    const std::string bytes = Bytes(project);
    Choose({{"1", "2"}});
    RunJobs();
    platform::SetDiskSpaceForTests(5 * static_cast<std::int64_t>(sizeof(LevelHistogram)));
    Main().mnuToolCalcPlural_Click();
    platform::SetDiskSpaceForTests(-1);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"処理中にエラーが発生しました．"});
    EXPECT_EQ(Doc().Measures.count(), 2);
    EXPECT_EQ(LCalcFiles(), before);
    EXPECT_EQ(Bytes(project), bytes);
}

}  // namespace
}  // namespace murtesk::testing
