// Range editing on the calculation screen over real project folders: the five procedures on the
// band set, their statistics against values worked out here from the written levels, the whole-
// series commands, the date-range commands through scripted dialogs, the saved video times, the
// mark statistics hand-over and the three messages.
#include "calc_fixture.h"
#include "date_scripts.h"
#include "range_work.h"

#include "model/level_calc.h"

#include <cmath>
#include <functional>
#include <numeric>

namespace murtesk::testing {
namespace {

// Levels of the test's band files: position p of a six-value file.
constexpr float kSix[] = {40.0f, 50.0f, 60.0f, 70.0f, 80.0f, 90.0f};
float Six(std::int64_t p) { return kSix[(p - 1) % 6]; }

double EnergyLevel(std::initializer_list<double> levels) {
    double sum = 0.0;
    for (const double l : levels) {
        sum += std::pow(10.0, l / 10.0);
    }
    return 10.0 * std::log10(sum);
}

std::vector<std::pair<std::int64_t, std::int64_t>> Ranges(const CScopes& list) {
    std::vector<std::pair<std::int64_t, std::int64_t>> out;
    for (const auto& r : list) {
        out.emplace_back(*ScopePosition(r->S), *ScopePosition(r->E));
    }
    return out;
}
using RangeList = std::vector<std::pair<std::int64_t, std::int64_t>>;

// One-third-octave channel at one value per second: slots 1, 2 and 3 hold the six levels, slot 5
// one value, slot 4 no file; the screen shows slot 2.
class RangeEditing : public CalcScreenTest {
protected:
    RangeEditing() {
        ChannelSpec spec;
        spec.rate = 1.0;
        AddMeasure(60, {spec});
        for (const std::int16_t slot : {1, 2, 3}) {
            WriteLevels(Ch(), slot, 6, Six);
        }
        WriteLevels(Ch(), 5, 1, Six);
        Show(1);
        ChooseBand(2);
        ui.ClearTranscript();
        calc.log.clear();
    }
    static CChMeasure& Ch() { return Channel(1, 1); }
    static CBandLCalcInfo& Band(std::int16_t slot) { return Ch().BandLCalcInfos.Item(slot); }
    void ShownBandOnly() { calc.optAreaBand.Select(1); }
};

TEST_F(RangeEditing, ExcludedRangeOnAllBandsRecomputesTheTargetOfBandsWithValues) {
    calc.addCalcDelArea(4, 6);
    for (const std::int16_t slot : {1, 2, 3, 4, 5, 47}) {
        EXPECT_EQ(Ranges(Band(slot).Scopes), (RangeList{{4, 6}})) << slot;  // kept even without values
    }
    for (const std::int16_t slot : {1, 2, 3}) {
        EXPECT_NEAR(Band(slot).LCalc.getLeq(), 55.682, 0.0005);
        EXPECT_EQ(Band(slot).LCalc.getLmax(), 60.0);
    }
    EXPECT_FALSE(Band(5).LCalc.Scope.E.AsDouble() >= 1.0);
    // The read-outs, from the levels 40, 50 and 60 counted by hand.
    const std::vector<std::string> shown = {calc.lblLeq.Caption, calc.lblLmax.Caption, calc.lblL5.Caption,
                                            calc.lblL10.Caption, calc.lblL25.Caption,  calc.lblL50.Caption,
                                            calc.lblL75.Caption, calc.lblL90.Caption,  calc.lblL95.Caption};
    EXPECT_EQ(shown, (std::vector<std::string>{"55.7dB", "60.0dB", "60.0dB", "60.0dB", "60.0dB", "50.0dB", "40.0dB",
                                               "40.0dB", "40.0dB"}));
    EXPECT_EQ(calc.lstCalcDelArea.ListCount(), 1);
    EXPECT_EQ(calc.lstCalcDelArea.List(0), "No.001 2023/03/15 09:00:03 ～ 2023/03/15 09:00:05");
    EXPECT_EQ(calc.log.front(), "setFormOfGraphArea");
}

TEST_F(RangeEditing, ShownBandOnlyLeavesTheOtherBandsAlone) {
    ShownBandOnly();
    calc.addCalcDelArea(1, 2);
    calc.addMarkArea(3, 4);
    calc.setLEArea(1, 6);
    for (const std::int16_t slot : {1, 3}) {
        EXPECT_EQ(Band(slot).Scopes.count() + Band(slot).MarkScopes.count() + Band(slot).LEScopes.count(), 0);
    }
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{1, 2}}));
    EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{3, 4}}));
    EXPECT_EQ(Ranges(Band(2).LEScopes), (RangeList{{1, 6}}));
}

TEST_F(RangeEditing, TargetRangeInsideAnExcludedRangeSplitsItAndCountsThatStretch) {
    calc.addCalcDelArea(1, 6);
    calc.addCalcArea(3, 4);
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{1, 2}, {5, 6}}));
    EXPECT_NEAR(Band(2).LCalc.getLeq(), EnergyLevel({60, 70}) - 10.0 * std::log10(2.0), 0.0005);
    // Slot 5 (one value) keeps its excluded range: a target edit skips it.
    EXPECT_EQ(Ranges(Band(5).Scopes), (RangeList{{1, 6}}));
    EXPECT_EQ(calc.lstCalcDelArea.List(1), "No.002 2023/03/15 09:00:04 ～ 2023/03/15 09:00:05");
}

TEST_F(RangeEditing, WholeSeriesExcludedThenIncluded) {
    for (const std::int16_t slot : {1, 2, 3, 5}) {
        CScopes all;
        all.Add(CScope(Variant(std::int32_t{1}), Variant(std::int32_t{6})));
        Band(slot).AllLCalc.resetNew(all, Ch().LevelData, GetBandFolder(ProjectPath(), 3, slot));
    }
    calc.cmdDelCalc_Click();
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{1, 6}}));
    EXPECT_EQ(Ranges(Band(5).Scopes), (RangeList{{1, 1}}));
    EXPECT_EQ(Band(4).Scopes.count(), 0);  // no statistics of a series: nothing to exclude
    EXPECT_EQ(calc.lblLeq.Caption, "---dB");
    EXPECT_EQ(calc.lblL95.Caption, "---dB");
    EXPECT_EQ(calc.lstCalcDelArea.List(0), "No.001 2023/03/15 09:00:00 ～ 2023/03/15 09:00:05");

    calc.cmdAllCalc_Click();
    EXPECT_EQ(Band(2).Scopes.count(), 0);
    EXPECT_EQ(Ranges(Band(5).Scopes), (RangeList{{1, 1}}));  // one value: left as it was
    EXPECT_NEAR(Band(2).LCalc.getLeq(), EnergyLevel({40, 50, 60, 70, 80, 90}) - 10.0 * std::log10(6.0), 0.0005);
    EXPECT_EQ(calc.lblLmax.Caption, "90.0dB");
    EXPECT_FALSE(calc.lstCalcDelArea.Enabled);
    EXPECT_EQ(ui.Events(), (std::vector<std::string>{"busy on", "busy off", "busy on", "busy off"}));
}

// Former bug: statistics that could not be stored (a read-only project) were shown as no data, with
// no message.
TEST_F(RangeEditing, StatisticsThatCannotBeStoredKeepTheLastOnesAndTellTheUserOnce) {
    calc.addCalcDelArea(4, 6);
    const auto readOuts = [this] {
        return std::vector<std::string>{calc.lblLeq.Caption, calc.lblLmax.Caption, calc.lblL5.Caption,
                                        calc.lblL50.Caption, calc.lblL95.Caption};
    };
    const std::vector<std::string> before = readOuts();
    ASSERT_EQ(before, (std::vector<std::string>{"55.7dB", "60.0dB", "60.0dB", "50.0dB", "40.0dB"}));
    ASSERT_TRUE(ui.Messages().empty());

    platform::SetWriteLimitForTests(0);  // no histogram file can be written
    calc.addCalcDelArea(1, 1);
    platform::SetWriteLimitForTests(-1);
    ASSERT_EQ(ui.Messages().size(), 1u);  // once for the three bands
    EXPECT_EQ(ui.Messages()[0].Text, "統計データを保存できませんでした．\r\n表示は前回保存した統計値のままです．");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(readOuts(), before);
    for (const std::int16_t slot : {1, 2, 3}) {
        EXPECT_NEAR(Band(slot).LCalc.getLeq(), 55.682, 0.0005) << slot;  // 40, 50 and 60 dB
        EXPECT_EQ(Band(slot).LCalc.getNum(), 3) << slot;
    }
}

// Former bug: on a disk that filled up during an edit, the bands whose new histograms fitted took the
// new statistics while the others kept the old ones, and every band kept the new ranges, so the next
// save stored ranges beside statistics of other ranges. Each edit that recomputes statistics, with
// room for one new histogram: every band keeps its list and statistics, and the files are as before.
TEST_F(RangeEditing, AnEditWhoseStatisticsDoNotAllFitOnTheDiskChangesNothing) {
    g_PreserveDoc().BeginProject();  // the histograms of the open project, as the program keeps them
    calc.addCalcDelArea(4, 6);
    Band(2).LevelOverScopes.SimpleAdd(calc::NewRange(1, 2));
    CScopes file;
    file.SimpleAdd(calc::NewRange(2, 2));
    const std::string rangeFile = (folder / "one.dla").string();
    ASSERT_TRUE(file.FileWrite(rangeFile, kMeasureStart, 1.0));
    struct Edit {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Edit> edits = {
        {"drag, excluded", [&] { calc.addCalcDelArea(1, 1); }},
        {"drag, target", [&] { calc.addCalcArea(5, 5); }},
        {"whole target", [&] { calc.cmdAllCalc_Click(); }},
        {"orange ranges", [&] { calc.cmdLevelOverDelete_Click(); }},
        {"range file", [&] {
             ui.ChooseNext(rangeFile);
             calc.cmdDelOpen_Click();
         }},
    };
    const auto state = [this] {
        std::vector<std::string> lines;
        for (const std::int16_t slot : {1, 2, 3, 4, 5}) {
            const CBandLCalcInfo& band = Band(slot);
            std::string line = std::to_string(slot) + ":";
            for (const auto& [S, E] : Ranges(band.Scopes)) line += " " + std::to_string(S) + "-" + std::to_string(E);
            line += " | " + band.LCalc.LxData.SaveFileName + " " + std::to_string(band.LCalc.getNum()) + " " +
                    std::to_string(band.LCalc.getLeq()) + " " + std::to_string(band.LCalc.getLmax());
            lines.push_back(line);
        }
        lines.push_back("orange " + std::to_string(Band(2).LevelOverScopes.count()));
        for (const auto& entry : fs::directory_iterator(GetLCalcFolder(ProjectPath()))) {
            lines.push_back(entry.path().filename().string());
        }
        lines.push_back(calc.lblLeq.Caption + " " + calc.lblL50.Caption + " " + calc.lstCalcDelArea.List(0));
        return lines;
    };
    const std::vector<std::string> before = state();
    for (const Edit& edit : edits) {
        ui.ClearTranscript();
        platform::SetDiskSpaceForTests(sizeof(LevelHistogram));
        edit.run();
        platform::SetDiskSpaceForTests(-1);
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{"統計データを保存できませんでした．\r\n表示は前回保存した統計値のままです．"})
            << edit.what;
        EXPECT_EQ(state(), before) << edit.what;
    }
    g_PreserveDoc().EndProject();
}

// Former bug: a band whose level file was gone took a new excluded range while its statistics,
// which nothing could recompute, still counted the old list: a list beside statistics of another.
// Such a band keeps its list; the bands with values take the edit.
TEST_F(RangeEditing, ABandWhoseLevelFileIsGoneKeepsTheListItsStatisticsCount) {
    CScopes whole;
    whole.Add(CScope(Variant(std::int32_t{1}), Variant(std::int32_t{6})));
    ASSERT_TRUE(Band(3).LCalc.resetNew(whole, Ch().LevelData, GetBandFolder(ProjectPath(), 3, 3)));
    ASSERT_TRUE(fs::remove(*Ch().LevelData.PathIn(GetBandFolder(ProjectPath(), 3, 3))));
    calc.addCalcDelArea(4, 6);
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{4, 6}}));
    EXPECT_EQ(Ranges(Band(4).Scopes), (RangeList{{4, 6}}));  // no statistics to keep true
    EXPECT_EQ(Band(3).Scopes.count(), 0);
    EXPECT_EQ(Band(3).LCalc.getNum(), 6);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(RangeEditing, LERangeIsReplacedAndItsLevelReadsWhatTheFileHolds) {
    Ch().ChMeasureCondition.LevelOutHz = 2.0;
    calc.setLEArea(2, 3);
    calc.setLEArea(3, 9);  // past the end of the six values
    EXPECT_EQ(Ranges(Band(1).LEScopes), (RangeList{{3, 9}}));
    const double expected = EnergyLevel({60, 70, 80, 90}) - 10.0 * std::log10(2.0);
    for (const std::int16_t slot : {1, 2, 3}) {
        EXPECT_NEAR(Band(slot).AllLCalc.LE, expected, 1e-9);
    }
    EXPECT_EQ(calc.lblLE.Caption, "87.4dB");  // 90.457 - 3.010
    EXPECT_EQ(calc.lblLEStart.Caption, "2023/03/15 09:00:01");
    EXPECT_EQ(calc.lblLEEnd.Caption, "2023/03/15 09:00:04");

    calc.cmdDelLE_Click();
    EXPECT_EQ(Band(2).LEScopes.count(), 0);
    EXPECT_NEAR(Band(2).AllLCalc.LE, expected, 1e-9);  // kept; the read-out says there is none
    EXPECT_EQ(calc.lblLE.Caption, "---dB");
    EXPECT_EQ(calc.lblLEStart.Caption, "----/--/-- --:--:--");

    calc.setLEArea(7, 9);  // no value there
    EXPECT_EQ(calc.lblLE.Caption, "-60.0dB");
    EXPECT_EQ(Band(4).AllLCalc.LE, -60.0);
}

TEST_F(RangeEditing, MarksAreAddedUnclippedAndErasedWithinTheSeries) {
    calc.addMarkArea(1, 3);
    calc.addMarkArea(5, 9);
    EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{1, 3}, {5, 9}}));
    EXPECT_EQ(Ranges(Band(4).MarkScopes), (RangeList{{1, 3}, {5, 9}}));
    calc.deleteMarkArea(2, 2);
    EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{1, 1}, {3, 3}, {5, 6}}));  // split, and cut to 1..N
    EXPECT_EQ(Ranges(Band(4).MarkScopes), (RangeList{{1, 3}, {5, 9}}));          // no values: untouched
    calc.deleteMarkArea(1, 6);
    EXPECT_EQ(Band(2).MarkScopes.count(), 0);
    EXPECT_FALSE(calc.cmdShowMarkCalc.Enabled);
    calc.cmdClearAllMark_Click();
    EXPECT_EQ(Band(4).MarkScopes.count(), 0);
}

TEST_F(RangeEditing, RemoveDeletesTheSelectedRangeOfTheShownBandOnly) {
    calc.addCalcDelArea(1, 1);
    calc.addCalcDelArea(4, 6);
    calc.lstCalcDelArea.ListIndex = 1;
    calc.cmdReverse_Click();  // "全バンド共通" is chosen, yet only the shown band changes
    EXPECT_EQ(Ranges(Band(2).Scopes), (RangeList{{1, 1}}));
    EXPECT_EQ(Ranges(Band(3).Scopes), (RangeList{{1, 1}, {4, 6}}));
    EXPECT_NEAR(Band(2).LCalc.getLeq(), EnergyLevel({50, 60, 70, 80, 90}) - 10.0 * std::log10(5.0), 0.0005);
}

// A damaged project whose band list is shorter than the band type needs: the missing slots are
// left out of every edit.
TEST_F(RangeEditing, ABandListShorterThanTheBandTypeNeedsIsEditedAsFarAsItGoes) {
    while (Ch().BandLCalcInfos.count() > 3) {
        Ch().BandLCalcInfos.Delete(Ch().BandLCalcInfos.count());
    }
    calc.addCalcDelArea(4, 6);
    calc.addCalcArea(5, 5);
    calc.setLEArea(1, 2);
    calc.addMarkArea(1, 3);
    calc.deleteMarkArea(2, 2);
    calc.cmdDelCalc_Click();
    calc.cmdAllCalc_Click();
    calc.cmdDelLE_Click();
    calc.cmdClearAllMark_Click();
    EXPECT_EQ(Ch().BandLCalcInfos.count(), 3);
    EXPECT_EQ(Band(3).Scopes.count() + Band(3).LEScopes.count() + Band(3).MarkScopes.count(), 0);
    EXPECT_NEAR(Band(3).LCalc.getLeq(), EnergyLevel({40, 50, 60, 70, 80, 90}) - 10.0 * std::log10(6.0), 0.0005);
    EXPECT_TRUE(ui.Messages().empty());
}

struct MessageCase {
    const char* name;
    void (frmOctCalc::*command)();
    const char* text;
    const char* title;
    platform::MsgIcon icon;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class RangeMessages : public RangeEditing, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(RangeMessages, ShowTheirTextAndChangeNothing) {
    const MessageCase& c = GetParam();
    g_SaveTime = {1000, -1};
    calc.lstCalcDelArea.ListIndex = -1;
    calc.lstMarkArea.ListIndex = -1;
    (calc.*c.command)();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, c.text);
    EXPECT_EQ(ui.Messages()[0].Title, c.title);
    EXPECT_EQ(ui.Messages()[0].Icon, c.icon);
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
    EXPECT_EQ(ui.Events().size(), 1u);  // no busy pointer
    EXPECT_EQ(Band(2).Scopes.count() + Band(2).MarkScopes.count() + Band(2).LEScopes.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RangeMessages,
    ::testing::Values(MessageCase{"Remove", &frmOctCalc::cmdReverse_Click, "削除したい範囲を選択してください.",
                                  "お知らせ", platform::MsgIcon::Information},
                      MessageCase{"MarkCalc", &frmOctCalc::cmdShowMarkCalc_Click,
                                  "計算値を表示したいマーク範囲を選択してください.", "お知らせ",
                                  platform::MsgIcon::Information},
                      MessageCase{"SavedTimes", &frmOctCalc::mnuToolArea_Click, "保存時間①②が設定されていません",
                                  "Murtesk", platform::MsgIcon::None}),
    [](const auto& info) { return std::string(info.param.name); });

// The saved video times make a range by the drag option, tested in the order 1, 0, 2, 3, else 4:
// 1,250 ms and 2,750 ms at 2 values/s are round(2.5) + 1 = 3 and round(5.5) + 1 = 7 (halves to even).
TEST_F(RangeEditing, SavedTimesInEitherOrderGoToTheChosenProcedure) {
    Ch().ChMeasureCondition.LevelOutHz = 2.0;
    ShownBandOnly();
    struct Case {
        int option;  // -1: none chosen
        CScopes CBandLCalcInfo::*list;
        RangeList expected;
    };
    const Case cases[] = {{0, &CBandLCalcInfo::Scopes, {{1, 7}}},     {1, &CBandLCalcInfo::Scopes, {{1, 2}}},
                          {2, &CBandLCalcInfo::LEScopes, {{3, 7}}},   {3, &CBandLCalcInfo::MarkScopes, {{1, 7}}},
                          {4, &CBandLCalcInfo::MarkScopes, {{1, 2}}}, {-1, &CBandLCalcInfo::MarkScopes, {{1, 2}}}};
    for (const Case& c : cases) {
        for (const std::array<std::int32_t, 2> times : {std::array<std::int32_t, 2>{1250, 2750}, {2750, 1250}}) {
            CBandLCalcInfo& band = Band(2);
            band.LEScopes.AllDelete();
            for (CScopes* list : {&band.Scopes, &band.MarkScopes}) {
                list->AllDelete();
                list->Add(CScope(Variant(std::int32_t{1}), Variant(std::int32_t{6})));
            }
            calc.optMouseAction.Select(c.option);
            g_SaveTime = times;
            calc.mnuToolArea_Click();
            EXPECT_EQ(Ranges(band.*c.list), c.expected) << c.option << " " << times[0];
        }
    }
    EXPECT_TRUE(ui.Messages().empty());
}

struct DateCommandCase {
    const char* name;
    void (frmOctCalc::*command)();
    CScopes CBandLCalcInfo::*list;
    RangeList before;  // of each band's list
    RangeList after;
};

void PrintTo(const DateCommandCase& c, std::ostream* os) { *os << c.name; }

class DateRangeCommands : public RangeEditing, public ::testing::WithParamInterface<DateCommandCase> {};

TEST_P(DateRangeCommands, DatesBecomePositionsOfEveryBand) {
    const DateCommandCase& c = GetParam();
    Ch().ChMeasureCondition.LevelOutHz = 10.0;
    for (const std::int16_t slot : {1, 2, 3}) {
        WriteLevels(Ch(), slot, 600, Six);
        for (const auto& [s, e] : c.before) {
            (Band(slot).*c.list).Add(CScope(Variant(std::int32_t(s)), Variant(std::int32_t(e))));
        }
    }
    // 09:00:01 and 09:00:59 at 10 values/s: positions 11 and 591. The dialog opens on the whole
    // measurement.
    ui.OnModal("frmDateArea", [&](platform::Form& form) {
        auto& dialog = static_cast<frmDateArea&>(form);
        EXPECT_EQ(dialog.lblStartTime.Caption, "2023/03/15 09:00:00");
        EXPECT_EQ(dialog.lblEndTime.Caption, "2023/03/15 09:01:00");
        ChooseDateNext(ui, platform::AddSeconds(kMeasureStart, 1));
        dialog.cmdStartTime_Click();
        ChooseDateNext(ui, platform::AddSeconds(kMeasureStart, 59));
        dialog.cmdEndTime_Click();
        dialog.cmdOK_Click();
    });
    (calc.*c.command)();
    for (const std::int16_t slot : {1, 3, 47}) {  // slot 47 has no values: only the target skips it
        EXPECT_EQ(Ranges(Band(slot).*c.list), slot == 47 && !c.before.empty() ? RangeList{} : c.after) << slot;
    }
    EXPECT_FALSE(g_DateAreaScope || g_DateAreaLimit);
    EXPECT_EQ(ui.Events().back(), "busy off");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_P(DateRangeCommands, CancelledOrClosedDialogChangesNothing) {
    const DateCommandCase& c = GetParam();
    for (const bool closeBox : {false, true}) {
        ui.OnModal("frmDateArea", [&](platform::Form& form) {
            auto& dialog = static_cast<frmDateArea&>(form);
            ChooseDateNext(ui, platform::AddSeconds(kMeasureStart, 10));
            dialog.cmdStartTime_Click();
            if (closeBox) {
                ui.CloseByFrame(dialog);
            } else {
                dialog.cmdCancel_Click();
            }
        });
        (calc.*c.command)();
        EXPECT_EQ((Band(2).*c.list).count(), 0);
        EXPECT_FALSE(g_DateAreaScope || g_DateAreaLimit);
    }
    EXPECT_EQ(std::count(ui.Events().begin(), ui.Events().end(), "busy on"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DateRangeCommands,
    ::testing::Values(
        DateCommandCase{"Excluded", &frmOctCalc::cmdAddDel_Click, &CBandLCalcInfo::Scopes, {}, {{11, 591}}},
        DateCommandCase{
            "Target", &frmOctCalc::cmdAddCalc_Click, &CBandLCalcInfo::Scopes, {{1, 600}}, {{1, 10}, {592, 600}}},
        DateCommandCase{"LE", &frmOctCalc::cmdChangeLEArea_Click, &CBandLCalcInfo::LEScopes, {}, {{11, 591}}},
        DateCommandCase{"Mark", &frmOctCalc::cmdAddMark_Click, &CBandLCalcInfo::MarkScopes, {}, {{11, 591}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RangeEditing, MarkStatisticsHandTheShownChannelAndMarkToTheChosenWindow) {
    // More marks than a 16-bit number counts.
    CScopes& marks = Band(2).MarkScopes;
    for (std::int32_t i = 1; i <= 40000; ++i) {
        marks.SimpleAdd(std::make_shared<CScope>(Variant(2 * i), Variant(2 * i)));
    }
    calc.setFormOfMarkArea();
    struct Seen {
        BandResultWindow window;
        CChMeasure* channel;
        std::int16_t band;
        std::int32_t mark;
        std::int16_t influence;
    };
    std::vector<Seen> seen;
    struct Restore {
        ~Restore() { g_ShowBandResult = ShowBandResultNotAvailable; }
    } restore;
    g_ShowBandResult = [&](platform::UiServices&, BandResultWindow window) {
        seen.push_back({window, g_ChMeasure.get(), g_BandIndex, g_SelectNo, g_CalcAreaInfluence});
    };
    calc.lstMarkArea.ListIndex = 39999;
    calc.chkCalcAreaInfluence.Value = true;
    calc.chkAllBandMarkCalc.Value = true;
    calc.cmdShowMarkCalc_Click();
    calc.chkCalcAreaInfluence.Value = false;
    calc.chkAllBandMarkCalc.Value = false;
    calc.cmdShowMarkCalc_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].window, BandResultWindow::frmAllBandL);
    EXPECT_EQ(seen[0].channel, &Ch());
    EXPECT_EQ(seen[0].band, 2);
    EXPECT_EQ(seen[0].mark, 40000);
    EXPECT_EQ(seen[0].influence, 1);
    EXPECT_EQ(seen[1].window, BandResultWindow::frmOneBandL);
    EXPECT_EQ(seen[1].influence, 0);
    EXPECT_FALSE(g_ChMeasure);
    EXPECT_TRUE(ui.Events().empty());  // no busy pointer

    g_ShowBandResult = ShowBandResultNotAvailable;
    calc.cmdShowMarkCalc_Click();  // until the windows exist
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"この機能はまだ使用できません."}));
}

}  // namespace
}  // namespace murtesk::testing
