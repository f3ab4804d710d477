// Recordings made by the samples tool, imported through the built analysis library into the
// program's document, then opened with "演算" from the main screen: the level chart shows the
// level file's values, and moving to the other measurement saves a project that reads back equal;
// an excluded range entered by dates gives every band the statistics of the rest of its level file;
// the mark-range files hold the statistics of the imported level files.
#include "frmDateArea.h"
#include "frmInputDate.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/band_layout.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "model/testing/mark_table_oracle.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/project_lock.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>

namespace murtesk::testing {
namespace {

class CalcEndToEnd : public MainScreenTest {
protected:
    static std::string ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    CalcEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }

    // Starts the program on an empty project named on the command line, then imports recordings of
    // the given lengths into it.
    std::string StartAndImport(const std::vector<double>& seconds) {
        const std::string project = Data("road.qvd");
        PreserveDocument empty;
        empty.SetSaveFilePath(project);
        EXPECT_TRUE(empty.FileWrite(project));
        Start({project});
        EXPECT_FALSE(g_bStartSelect);
        EXPECT_EQ(Records().SaveFilePath, project);
        ImportRecordings(ui, (home / "data").string(), seconds);
        EXPECT_EQ(Records().Measures.count(), static_cast<std::int32_t>(seconds.size()));
        return project;
    }
};

TEST_F(CalcEndToEnd, ImportedRecordingsShowTheirLevelsAndNavigationSavesTheProject) {
    const std::string project = StartAndImport({4.0, 5.0});
    ASSERT_EQ(Records().Measures.count(), 2);
    Main().ShowLastMeasure();  // as after the main screen's import command

    // "演算" on the first measurement.
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_FALSE(Main().Visible);
    const CChMeasure& ch = Records().Measures.Item(1).ChMeasures.Item(1);
    const std::vector<float> levels =
        ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, ch.ChMeasureCondition.oct1or3, 2)));
    ASSERT_EQ(levels.size(), static_cast<std::size_t>(4 * ch.ChMeasureCondition.LevelOutHz));
    const platform::LevelChartModel& chart = Calc().Chart2DLevelWave;
    ASSERT_EQ(chart.LevelCount(), static_cast<std::int32_t>(levels.size()));  // the file ends inside the minute
    EXPECT_TRUE(std::equal(levels.begin(), levels.end(), chart.Levels().begin()));
    // The filters' first steps read far below -60 dB: no level, as in the panels.
    EXPECT_EQ(Calc().lblCLp.Caption,
              "Ｌp " + (levels[0] > -60.0f ? platform::FormatNumber(levels[0], "0.0") : std::string("---")) + "dB");

    // To the second measurement and back to the main screen: the project reads back equal.
    Calc().txtMEMO.Text = "road, first channel";
    Calc().cmdNext_Click();
    EXPECT_EQ(Calc().Shown().measureIndex, 2);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Calc().Chart2DLevelWave.LevelCount(), static_cast<std::int32_t>(5 * ch.ChMeasureCondition.LevelOutHz));
    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(project));
    EXPECT_TRUE(reread.Preserve().Measures.IsMeEqualTo(Records().Measures));
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(1).ChMeasureCondition.Account, "road, first channel");
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

// Leq, Lmax and L50 of levels by the statistics' rules, worked out here: a value counts when it
// falls in a 0.1 dB class from -60 dB (halves away from zero); the energy sum starts at the first
// value of -60 dB or more and takes every value after it; Leq is that sum over the count; Lmax the
// largest value, -60 at least; L50 the class at which the count from the lowest reaches half.
struct Statistics {
    double leq = -60.0;
    double lmax = -60.0;
    double l50 = -60.0;
    std::int64_t count = 0;
};

Statistics StatisticsOf(const std::vector<float>& levels) {
    Statistics s;
    double energy = 0.0;
    bool started = false;
    std::vector<std::int64_t> classes(2300);
    for (const float v : levels) {
        started = started || v >= -60.0f;
        energy += started ? std::pow(10.0, v / 10.0) : 0.0;
        s.lmax = std::max(s.lmax, static_cast<double>(v));
        const double k = std::round((v + 60.0) * 10.0);
        if (k >= 0 && k < 2300) {
            ++classes[static_cast<std::size_t>(k)];
            ++s.count;
        }
    }
    if (s.count == 0) {
        return s;
    }
    s.leq = 10.0 * std::log10(energy / static_cast<double>(s.count));
    std::int64_t counted = 0;
    for (std::size_t k = 0; k < classes.size(); ++k) {
        counted += classes[k];
        if (2 * counted >= s.count) {
            s.l50 = static_cast<double>(k) / 10.0 - 60.0;
            break;
        }
    }
    return s;
}

TEST_F(CalcEndToEnd, AnExcludedRangeEnteredByDatesLeavesEveryBandTheStatisticsOfTheRest) {
    const std::string project = StartAndImport({20.0});
    ASSERT_EQ(Records().Measures.count(), 1);
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());

    // Seconds 5 to 12 of the recording excluded, entered through both dialogs.
    const CMeasure& m = Records().Measures.Item(1);
    const auto chooseDate = [&](double date) {
        ui.OnModal("frmInputDate", [date](platform::Form& form) {
            auto& input = static_cast<frmInputDate&>(form);
            const platform::DateParts p = platform::PartsFromDate(date);
            input.cmbyyyy.Text = std::to_string(p.Year);
            for (const auto& [list, value] : {std::pair{&input.cmbmm, p.Month - 1},
                                              {&input.cmbdd, p.Day - 1},
                                              {&input.cmbhh, p.Hour},
                                              {&input.cmbnn, p.Minute},
                                              {&input.cmbss, p.Second}}) {
                list->Select(value);
            }
            input.cmdOK_Click();
        });
    };
    ui.OnModal("frmDateArea", [&](platform::Form& form) {
        auto& dialog = static_cast<frmDateArea&>(form);
        chooseDate(platform::AddSeconds(m.StartTime, 5));
        dialog.cmdStartTime_Click();
        chooseDate(platform::AddSeconds(m.StartTime, 12));
        dialog.cmdEndTime_Click();
        dialog.cmdOK_Click();
    });
    Calc().cmdAddDel_Click();
    ASSERT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());

    const CChMeasure& ch = *Calc().Shown().channel;
    const CChMeasureCondition& condition = ch.ChMeasureCondition;
    const double rate = condition.LevelOutHz;
    const auto first = static_cast<std::size_t>(std::lround(5 * rate));  // positions 5 s × rate + 1 ..
    const auto last = static_cast<std::size_t>(std::lround(12 * rate));  // .. 12 s × rate + 1, 0-based here
    int bandsChecked = 0;
    for (std::int16_t slot = 1; slot <= ch.BandLCalcInfos.count(); ++slot) {
        const std::vector<float> all =
            ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, condition.oct1or3, slot)));
        if (all.size() <= last) {
            continue;  // a band outside the analysed range
        }
        std::vector<float> rest(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(first));
        rest.insert(rest.end(), all.begin() + static_cast<std::ptrdiff_t>(last) + 1, all.end());
        const Statistics expected = StatisticsOf(rest);
        const CLCalc& calc = ch.BandLCalcInfos.Item(slot).LCalc;
        EXPECT_EQ(calc.getNum(), expected.count) << slot;
        EXPECT_NEAR(calc.getLeq(), expected.leq, 1e-6) << slot;
        EXPECT_EQ(calc.getLmax(), expected.lmax) << slot;
        EXPECT_NEAR(calc.getLx(50), expected.l50, 1e-9) << slot;
        EXPECT_EQ(ch.BandLCalcInfos.Item(slot).Scopes.count(), 1) << slot;
        ++bandsChecked;
    }
    EXPECT_GE(bandsChecked, 17);
    EXPECT_EQ(Calc().lstCalcDelArea.List(0),
              "No.001 " + platform::FormatDisplayDate(platform::AddSeconds(m.StartTime, 5)) + " ～ " +
                  platform::FormatDisplayDate(platform::AddSeconds(m.StartTime, 12)));

    // "戻る" writes the project; it reads back equal.
    Calc().cmdREC_Click();
    EXPECT_TRUE(Main().Visible);
    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(project));
    EXPECT_TRUE(reread.Preserve().Measures.IsMeEqualTo(Records().Measures));
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(1).BandLCalcInfos.Item(2).Scopes.count(), 1);
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

// Former bug: a copy opened without saving read its statistics from the histogram files of the held
// project, which the holder deletes when its save no longer names them: the copy then showed Leq and
// Lx of -60 dB beside a real Lmax, and it wrote its own histograms into the held project's folder.
// Now it keeps copies in a folder of its own, where its edits go too, and that folder goes with the
// project.
TEST_F(CalcEndToEnd, ACopyOpenedWithoutSavingKeepsItsStatisticsAndWritesNothingIntoTheProject) {
    const std::string project = StartAndImport({6.0});
    ASSERT_TRUE(Main().SaveData());
    // The program lets the project go; the test holds it as another program would.
    const std::string other = Data("other.qvd");
    {
        PreserveDocument empty;
        empty.SetSaveFilePath(other);
        ASSERT_TRUE(empty.FileWrite(other));
    }
    ui.ChooseNext(other);
    Main().mnuFileOpen_Click();
    ASSERT_EQ(Records().SaveFilePath, other);
    platform::ProjectLock held(project);
    ASSERT_TRUE(held.Held());
    ui.ChooseNext(project);
    ui.AnswerNext(platform::MsgAnswer::Yes);  // "保存しないで開きますか？"
    Main().mnuFileOpen_Click();
    ASSERT_TRUE(g_bProjectReadOnly);
    const std::optional<std::string> own = ProgramStatsContext().Histograms().OwnFolder();
    ASSERT_TRUE(own && fs::is_directory(*own));
    EXPECT_EQ(fs::path(*own).parent_path(), fs::path(std::getenv("XDG_RUNTIME_DIR")));

    // The holder excludes the first two seconds of every band and saves: the histograms the copy
    // read go.
    const fs::path lcalc = GetLCalcFolder(project);
    {
        StatsContext context([&] { return project; }, [] { return 45400.0; });
        CPreserve holder(context);
        ASSERT_TRUE(holder.FileRead(project));
        context.Histograms().BeginProject(holder.LCalcFolder(), holder.HistogramFileNames());
        CChMeasure& ch = holder.Measures.Item(1).ChMeasures.Item(1);
        const auto rate = static_cast<std::int32_t>(ch.ChMeasureCondition.LevelOutHz);
        for (std::int16_t slot = 1; slot <= ch.BandLCalcInfos.count(); ++slot) {
            const std::string folder = GetBandFolder(project, ch.ChMeasureCondition.oct1or3, slot);
            const std::int32_t n = ch.LevelData.getDataNumNoWait(folder);
            if (n <= 2 * rate) continue;
            CBandLCalcInfo& band = ch.BandLCalcInfos.Item(slot);
            band.Scopes.Add(CScope(std::int32_t{1}, 2 * rate));
            ASSERT_TRUE(band.LCalc.resetNew(band.Scopes.getReverse(std::int32_t{1}, n), ch.LevelData, folder));
        }
        context.Histograms().BeforeSave();
        ASSERT_TRUE(holder.FileWrite(project));
        context.Histograms().Saved(holder.HistogramFileNames());
        context.Histograms().EndProject();
    }
    const CChMeasure& ch = Records().Measures.Item(1).ChMeasures.Item(1);
    ASSERT_FALSE(fs::exists(lcalc / ch.BandLCalcInfos.Item(2).LCalc.LxData.SaveFileName));
    const auto listing = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(lcalc)) names.insert(entry.path().filename());
        return names;
    };
    const std::set<std::string> holders = listing();

    // The copy shows every band's statistics of the whole series, as it read them.
    ui.ClearTranscript();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible);
    const std::int16_t shown = Calc().Shown().band;
    const std::vector<float> levels =
        ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, ch.ChMeasureCondition.oct1or3, shown)));
    const Statistics whole = StatisticsOf(levels);
    EXPECT_EQ(Calc().lblLeq.Caption, platform::FormatNumber(whole.leq, "0.0") + "dB");
    EXPECT_EQ(Calc().lblL50.Caption, platform::FormatNumber(whole.l50, "0.0") + "dB");
    for (std::int16_t slot = 1; slot <= ch.BandLCalcInfos.count(); ++slot) {
        EXPECT_FALSE(ch.BandLCalcInfos.Item(slot).LCalc.HistogramMissing()) << slot;
    }

    // Its own edit: the statistics of the rest, with no file written into the project's folder.
    const double rate = ch.ChMeasureCondition.LevelOutHz;
    Calc().optMouseAction.Select(0);
    Calc().optAreaBand.Select(0);
    Calc().DoMouseAction(static_cast<std::int32_t>(rate) + 1, static_cast<std::int32_t>(3 * rate));
    const std::vector<float> rest = [&] {
        std::vector<float> kept(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(rate));
        kept.insert(kept.end(), levels.begin() + static_cast<std::ptrdiff_t>(3 * rate), levels.end());
        return kept;
    }();
    EXPECT_NEAR(ch.BandLCalcInfos.Item(shown).LCalc.getLeq(), StatisticsOf(rest).leq, 1e-6);
    EXPECT_EQ(listing(), holders);
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());

    // Closed, the copy leaves nothing behind.
    Calc().cmdREC_Click();
    ui.ChooseNext(other);
    Main().mnuFileOpen_Click();
    EXPECT_FALSE(fs::exists(*own));
    EXPECT_EQ(listing(), holders);
}

TEST_F(CalcEndToEnd, BandPanelsReadTheLevelFilesAtTheCursorAndAtTheFlatMaximum) {
    const std::string project = StartAndImport({10.0});
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    const CChMeasure& ch = *Calc().Shown().channel;
    const CChMeasureCondition& condition = ch.ChMeasureCondition;
    const std::int16_t slots = condition.oct1or3 == 3 ? 47 : 17;
    std::vector<std::vector<float>> files;
    for (std::int16_t slot = 1; slot <= slots; ++slot) {
        files.push_back(ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, condition.oct1or3, slot))));
    }
    // The value a panel shows of a level, or "---".
    const auto shown = [](std::optional<float> level) {
        return level && *level > -60.0f ? platform::FormatNumber(*level, "0.0") + "dB" : std::string("---");
    };
    const auto at = [&](std::int16_t slot, std::size_t p) -> std::optional<float> {
        const std::vector<float>& file = files[static_cast<std::size_t>(slot - 1)];
        return p >= 1 && p <= file.size() ? std::optional<float>(file[p - 1]) : std::nullopt;
    };

    // The cursor on position 1, then moved by the mouse over the chart to a later point.
    Calc().Chart2DLevelWave.SetPlotRect({50, 10, 600, 300});
    Calc().Chart2DLevelWave_MouseMove(0, 50 + 180, 100);
    const std::int32_t point = Calc().Chart2DLevelWave.CursorPoint();
    ASSERT_GT(point, 1);
    EXPECT_EQ(Calc().lblFdB.Caption, shown(at(1, static_cast<std::size_t>(point))));
    EXPECT_EQ(Calc().lblAdB.Caption, shown(at(2, static_cast<std::size_t>(point))));
    int bands = 0;
    for (std::int16_t slot = 3; slot <= slots; ++slot) {
        // The cell of each slot as the layout's table test has it.
        const int element = BandLayout(condition.oct1or3).Element(slot);
        if (element >= 0) {
            EXPECT_EQ(Calc().lbldB[static_cast<std::size_t>(element)].Caption,
                      shown(at(slot, static_cast<std::size_t>(point))))
                << slot;
            ++bands;
        }
    }
    EXPECT_EQ(bands, slots - 2);

    // ＬFmax over the whole series: every band read at F's maximum moved by the band's delay; none
    // for a band without statistics of its own (no level above -60 dB anywhere).
    Calc().cmdAllCalc_Click();
    const std::vector<float>& flat = files[0];
    const auto peak = static_cast<std::int32_t>(std::max_element(flat.begin(), flat.end()) - flat.begin()) + 1;
    Calc().cmbCalcL.ListIndex = 102;
    Calc().cmbCalcL_Click();
    for (std::int16_t slot = 1; slot <= slots; ++slot) {
        const auto q = AddBandDelay(condition.oct1or3, slot, peak, condition.LevelOutHz);
        const bool own = Calc().Shown().channel->BandLCalcInfos.Item(slot).LCalc.Scope.E.AsDouble() >= 1.0;
        const std::optional<float> expected = own ? at(slot, static_cast<std::size_t>(q)) : std::nullopt;
        EXPECT_EQ(Calc().CalcBandValue(slot).has_value(), expected.has_value()) << slot;
        if (expected && Calc().CalcBandValue(slot)) {
            EXPECT_EQ(*Calc().CalcBandValue(slot), std::max(-60.0, static_cast<double>(*expected))) << slot;
        }
    }
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

// The mark-range statistics of both channels, as the two files hold them after marks are set on
// the screen: every line composed from the imported level files.
TEST_F(CalcEndToEnd, MarkRangeFilesHoldTheStatisticsOfTheImportedLevels) {
    const std::string project = StartAndImport({20.0});
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    const CMeasure& m = Records().Measures.Item(1);
    const CChMeasure& shown = *Calc().Shown().channel;
    const double rate = shown.ChMeasureCondition.LevelOutHz;
    const std::int16_t band = Calc().Shown().band;
    // Two marks, the second starting 10 s in; an excluded range inside it.
    const auto at = [rate](double s) { return static_cast<std::int32_t>(std::lround(s * rate)) + 1; };
    Calc().addMarkArea(at(1), at(4));
    Calc().addMarkArea(at(10), at(18));
    Calc().addCalcDelArea(at(12), at(13));
    Calc().chkAllBandMarkCalc.Value = true;
    Calc().chkCalcAreaInfluence.Value = true;
    ASSERT_EQ(Calc().lstMarkArea.ListCount(), 2);
    ui.ChooseNext(Data("marks.csv"));
    Calc().cmdMarkTextOut_Click();
    ui.ChooseNext(Data("all.csv"));
    Calc().cmdAllChMarkTextOut_Click();
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{"テキストファイルを出力しました．", "テキストファイルを出力しました．"}));

    const auto oracle = [&](const CChMeasure& ch) {
        const CChMeasureCondition& c = ch.ChMeasureCondition;
        auto levels = std::make_shared<std::map<std::int16_t, std::vector<float>>>();
        for (std::int16_t slot = 1; slot <= SlotCount(c.oct1or3); ++slot)
            (*levels)[slot] = ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, c.oct1or3, slot)));
        OracleChannel o;
        o.slots = SlotCount(c.oct1or3);
        o.rate = c.LevelOutHz;
        o.lx = ch.CalcXYAxis.Lx;
        o.w = c.w;
        o.weightingName = c.getWName(true, g_OriginalWs);
        o.level = [levels](std::int16_t slot, std::int64_t p) -> std::optional<float> {
            const std::vector<float>& v = levels->at(slot);
            if (p < 1 || p > static_cast<std::int64_t>(v.size())) return std::nullopt;
            return v[static_cast<std::size_t>(p - 1)];
        };
        o.excluded = [&ch](std::int16_t slot, std::int64_t p) {
            return ch.BandLCalcInfos.Item(slot).Scopes.isScopes(static_cast<double>(p));
        };
        o.delayMs = [mode = c.oct1or3](std::int16_t slot) { return GetBandDelayMs(mode, slot); };
        o.bandName = [mode = c.oct1or3](std::int16_t slot) { return std::string(GetBandName(mode, slot)); };
        return o;
    };
    const auto time = [&](std::int32_t p) {
        return platform::FormatDisplayDate(platform::AddSeconds(m.StartTime, (p - 1) / rate));
    };
    std::vector<std::string> marks;
    std::vector<std::string> all;
    const CScopes& list = shown.BandLCalcInfos.Item(band).MarkScopes;
    for (std::int32_t i = 1; i <= 2; ++i) {
        const auto S = static_cast<std::int32_t>(list.Item(i).S.AsDouble());
        const auto E = static_cast<std::int32_t>(list.Item(i).E.AsDouble());
        marks.push_back("============ " + std::to_string(i) + ", 動特性" + shown.ChMeasureCondition.getTREName(true));
        all.push_back("===> マーク範囲 " + std::to_string(i) + " ／ 2");
        for (auto* lines : {&marks, &all}) {
            lines->push_back("計算開始日時, " + time(S));
            lines->push_back("計算終了日時, " + time(E));
        }
        for (const std::string& line : ExpectedMarkTable(oracle(shown), S, E, true, 0, "0.0")) marks.push_back(line);
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            const CChMeasure& ch = m.ChMeasures.Item(c);
            all.emplace_back("");
            all.push_back("----> " + std::to_string(c) + "ch ／ 2ch, 動特性" + ch.ChMeasureCondition.getTREName(true));
            for (const std::string& line : ExpectedMarkTable(oracle(ch), S, E, true, 0, "0.000")) all.push_back(line);
        }
        all.emplace_back("");
    }
    const auto file = [](const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return platform::Utf8ToCp932(text);
    };
    EXPECT_EQ(ReadBytes(Data("marks.csv")), file(marks));
    EXPECT_EQ(ReadBytes(Data("all.csv")), file(all));
}

}  // namespace
}  // namespace murtesk::testing
