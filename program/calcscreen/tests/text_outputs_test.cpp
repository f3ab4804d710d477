// The calculation screen's text outputs besides the mark-range files, over generated level files of
// the second of two measurements: a one-third-octave channel at 10 values per second and an octave
// channel at 100. Every expected file is composed here from the level functions (statistics the
// plain way, values read by position), and the commands are driven through the fake services.
#include "calc_fixture.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetTestFileOut.h"

#include "model/testing/mark_table_oracle.h"
#include "platform/numbers.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <iterator>

namespace murtesk::testing {
namespace {

constexpr std::int64_t kSeconds = 1500;
constexpr std::int16_t kBand = 30;  // a one-third-octave band the octave channel lacks

float FLevel(std::int64_t p) { return p % 173 == 77 ? 80.0f : 50.0f + static_cast<float>(p * 37 % 101) / 10; }
float WLevel(std::int64_t p) { return p % 131 == 100 ? 85.0f : 45.0f + static_cast<float>(p * 53 % 97) / 10; }
float BandLevel(std::int64_t p) { return p % 7 == 3 ? -3.5f : 30.0f + static_cast<float>(p * 11 % 89) / 10; }

// F, W, then the bands from the lowest frequency (the last slot) up.
std::vector<std::int16_t> Slots(std::int16_t mode) {
    std::vector<std::int16_t> slots{1, 2};
    for (std::int16_t k = mode == 1 ? 17 : 47; k >= 3; --k) slots.push_back(k);
    return slots;
}

std::string LxTitle(std::int16_t lx) { return lx < 1 ? "" : lx > 99 ? ",Ｌmin" : ",Ｌ" + std::to_string(lx); }

std::string F1(double v) { return "," + platform::FormatNumber(v, "0.0"); }

class TextOutputs : public CalcScreenTest {
protected:
    TextOutputs() {
        AddMeasure(10, {ChannelSpec{}});
        ChannelSpec third;
        ChannelSpec octave;
        octave.oct1or3 = 1;
        octave.rate = 100.0;
        AddMeasure(kSeconds, {third, octave});
        for (int c = 1; c <= 2; ++c) {
            const std::int16_t band = c == 1 ? kBand : 5;
            for (const std::int16_t slot : {std::int16_t{1}, std::int16_t{2}, band})
                WriteLevels(Ch(c), slot, Length(c), Level(slot));
        }
        Show(2);
        ChooseBand(kBand);
        ui.ClearTranscript();
    }
    static CChMeasure& Ch(int c) { return Channel(2, c); }
    static std::int64_t Length(int c) {
        return static_cast<std::int64_t>(kSeconds * Ch(c).ChMeasureCondition.LevelOutHz);
    }
    static float (*Level(std::int16_t slot))(std::int64_t) {
        return slot == 1 ? FLevel : slot == 2 ? WLevel : BandLevel;
    }
    std::string Out(const std::string& name) const { return (folder / name).string(); }
    static std::string Time(std::int64_t p, double rate) {
        return platform::FormatDisplayDate(platform::AddSeconds(kMeasureStart, static_cast<double>(p - 1) / rate));
    }
    // The level of channel c's slot at p: none outside its file or for a slot without one.
    static std::string LevelPath(int c, std::int16_t slot) {
        return *Ch(c).LevelData.PathIn(
            GetBandFolder(CalcProject::Records().SaveFilePath, Ch(c).ChMeasureCondition.oct1or3, slot));
    }
    static std::optional<float> LevelOf(int c, std::int16_t slot, std::int64_t p) {
        if (p < 1 || p > Length(c) || !fs::exists(LevelPath(c, slot))) return std::nullopt;
        return Level(slot)(p);
    }
    static OracleChannel Oracle(int c) {
        const CChMeasureCondition& cond = Ch(c).ChMeasureCondition;
        OracleChannel ch;
        ch.slots = cond.oct1or3 == 1 ? 17 : 47;
        ch.rate = cond.LevelOutHz;
        ch.lx = Ch(c).CalcXYAxis.Lx;
        ch.w = cond.w;
        ch.weightingName = "Ａ特性";
        // Whether each slot has a file, looked up once.
        auto files = std::make_shared<std::array<int, 48>>();
        ch.level = [c, files](std::int16_t slot, std::int64_t p) -> std::optional<float> {
            int& known = (*files)[static_cast<std::size_t>(slot)];
            if (known == 0) known = fs::exists(LevelPath(c, slot)) ? 1 : -1;
            if (known < 0 || p < 1 || p > Length(c)) return std::nullopt;
            return Level(slot)(p);
        };
        ch.excluded = [c](std::int16_t slot, std::int64_t p) {
            return Ch(c).BandLCalcInfos.Item(slot).Scopes.isScopes(static_cast<double>(p));
        };
        return ch;
    }
    // A partition block composed the plain way: header, then a row per slot.
    static std::vector<std::string> Block(int c, std::int64_t S, std::int64_t E, bool exclude,
                                          const std::vector<std::int16_t>& slots) {
        const OracleChannel ch = Oracle(c);
        const std::int16_t mode = Ch(c).ChMeasureCondition.oct1or3;
        std::vector<std::string> lines{"BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬFmax,ＬWmax" +
                                       LxTitle(ch.lx)};
        const OracleStats f = SlotStats(ch, 1, S, E, exclude);
        const OracleStats w = SlotStats(ch, 2, S, E, exclude);
        for (const std::int16_t k : slots) {
            const OracleStats s = SlotStats(ch, k, S, E, exclude);
            if (s.count == 0) {
                lines.emplace_back(GetBandName(mode, k));
                continue;
            }
            std::string row = (k == 2 ? ch.weightingName : std::string(GetBandName(mode, k))) + F1(s.leq) + F1(s.lmax);
            for (const int x : {5, 10, 25, 50, 75, 90, 95}) row += F1(s.Lx(x));
            for (const std::int64_t p : {f.count > 0 ? f.lmaxPos : -1, w.count > 0 ? w.lmaxPos : -1}) {
                const auto v =
                    p < 1 ? std::nullopt : ch.level(k, AddBandDelay(mode, k, static_cast<std::int32_t>(p), ch.rate));
                row += v ? F1(*v) : ", ---";
            }
            if (ch.lx > 0) row += F1(s.Lx(std::min<int>(ch.lx, 100)));
            lines.push_back(row);
        }
        return lines;
    }
};

// ---- Partitions

TEST_F(TextOutputs, PartitionsOfTheShownBandWithAnOctaveChannelBeside) {
    Ch(2).CalcXYAxis.Lx = 100;
    Ch(1).BandLCalcInfos.Item(kBand).Scopes.Add(CScope(100, 6500));
    Ch(2).BandLCalcInfos.Item(2).Scopes.Add(CScope(1, 60000));
    for (const std::int64_t values : {std::int64_t{15000}, std::int64_t{12000}}) {
        WriteLevels(Ch(1), kBand, values, BandLevel);
        CScopes parts;
        calc.makePartitionAreas(10, parts);
        ASSERT_EQ(parts.count(), values == 15000 ? 3 : 2);
        EXPECT_EQ(*ScopePosition(parts.Item(parts.count()).E), values);
        for (const bool exclude : {true, false}) {
            SCOPED_TRACE(std::to_string(values) + (exclude ? " excluded" : " whole"));
            std::vector<std::string> lines;
            for (std::int32_t i = 1; i <= parts.count(); ++i) {
                const std::int64_t S = (i - 1) * 6000 + 1;
                const std::int64_t E = std::min<std::int64_t>(i * 6000, values);
                for (const std::string& l : {std::string(), "===== 分割" + std::to_string(i),
                                             "計算開始日時, " + Time(S, 10.0), "計算終了日時, " + Time(E, 10.0)})
                    lines.push_back(l);
                for (int c = 1; c <= 2; ++c) {
                    lines.emplace_back("");
                    lines.push_back(std::to_string(c) + "／2ch データ");
                    const std::int64_t r = c == 1 ? 1 : 10;
                    for (auto& l : Block(c, S * r, E * r, exclude, {c == 1 ? kBand : std::int16_t{2}}))
                        lines.push_back(l);
                }
            }
            ASSERT_TRUE(calc.writePartitionAreaCalc(Out("parts.csv"), parts, exclude, false));
            EXPECT_EQ(Bytes(Out("parts.csv")), FileOf(lines));
        }
    }
    EXPECT_EQ(Time(6000, 10.0), "2023/03/15 09:09:59");
    // All bands: F, W, then from the lowest band up, 47 and 17 rows.
    CScopes parts;
    calc.makePartitionAreas(10, parts);
    ASSERT_TRUE(calc.writePartitionAreaCalc(Out("all.csv"), parts, true, true));
    std::vector<std::string> expected;
    for (std::int32_t i = 1; i <= 2; ++i) {
        const std::int64_t S = (i - 1) * 6000 + 1;
        for (const std::string& l : {std::string(), "===== 分割" + std::to_string(i), "計算開始日時, " + Time(S, 10.0),
                                     "計算終了日時, " + Time(S + 5999, 10.0)})
            expected.push_back(l);
        for (int c = 1; c <= 2; ++c) {
            expected.emplace_back("");
            expected.push_back(std::to_string(c) + "／2ch データ");
            const std::int64_t r = c == 1 ? 1 : 10;
            for (auto& l : Block(c, S * r, (S + 5999) * r, true, Slots(Ch(c).ChMeasureCondition.oct1or3)))
                expected.push_back(l);
        }
    }
    EXPECT_EQ(Bytes(Out("all.csv")), FileOf(expected));
}

TEST_F(TextOutputs, PartitionCommandPresetsItsDialogAndCountsParts) {
    std::vector<std::string> seen;
    const auto script = [&seen](std::int32_t minutes) {
        return [&seen, minutes](platform::Form& f) {
            auto& d = static_cast<frmSetPartitionAreaCSVOut&>(f);
            seen.push_back(std::to_string(d.m_SplitMin) + (d.m_bAllBand ? " all" : " one") +
                           (d.m_bCalcAreaInfluence ? " excluded" : " whole"));
            d.txtSplitMin.Text = std::to_string(minutes);
            d.cmdOK_Click();
        };
    };
    ui.OnModal("frmSetPartitionAreaCSVOut", script(25));
    ui.ChooseNext(Out("p.csv"));
    calc.mnuFilePartitionAreaCSVOut_Click();
    EXPECT_EQ(seen, std::vector<std::string>{"10 one excluded"});
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"テキストファイルを出力しました．"});
    EXPECT_NE(Bytes(Out("p.csv")).find(platform::Utf8ToCp932("===== 分割1\r\n")), std::string::npos);

    // No values in the shown band: no part, no file. A rate of 0 gives none either.
    ui.ClearTranscript();
    fs::remove(*Ch(1).LevelData.PathIn(GetBandFolder(ProjectPath(), 3, kBand)));
    ui.OnModal("frmSetPartitionAreaCSVOut", script(10));
    ui.ChooseNext(Out("none.csv"));
    calc.mnuFilePartitionAreaCSVOut_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ゼロ件です．"});
    EXPECT_FALSE(fs::exists(Out("none.csv")));
    Ch(1).ChMeasureCondition.LevelOutHz = 0.0;
    CScopes parts;
    calc.makePartitionAreas(10, parts);
    EXPECT_EQ(parts.count(), 0);
    // Cancel in the settings: nothing at all.
    ui.ClearTranscript();
    calc.mnuFilePartitionAreaCSVOut_Click();
    EXPECT_TRUE(ui.Dialogs().empty());
}

// ---- Calculation values

// The first measurement is a mono recording with the second channel the import adds, not analysed:
// the calculation values and the partitioned statistics count one channel.
TEST_F(TextOutputs, AMonoRecordingCountsOneChannel) {
    Records().Measures.Item(1).ChMeasures.AddNew().ChMeasureCondition.oct1or3 = 0;
    WriteLevels(Channel(1, 1), 2, 100);
    Show(1);
    const auto lines = [&](const std::string& path) {
        std::vector<std::string> got;
        const std::string text = platform::Cp932ToUtf8(Bytes(path));
        for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
            got.push_back(text.substr(at, next - at));
        return got;
    };
    ASSERT_TRUE(calc.writeCalcTextFile(Out("calc.csv")));
    const std::vector<std::string> values = lines(Out("calc.csv"));
    EXPECT_EQ(std::count(values.begin(), values.end(), "< 1／2 測定 1／1ch データ >"), 1)
        << ::testing::PrintToString(values);
    CScopes parts;
    parts.Add(CScope(1, 50));
    ASSERT_TRUE(calc.writePartitionAreaCalc(Out("parts.csv"), parts, false, false));
    const std::vector<std::string> pieces = lines(Out("parts.csv"));
    EXPECT_EQ(std::count(pieces.begin(), pieces.end(), "1／1ch データ"), 1) << ::testing::PrintToString(pieces);
}

TEST_F(TextOutputs, CalculationValuesOfTheSecondMeasurement) {
    Ch(1).CalcXYAxis.Lx = 0;
    Ch(2).CalcXYAxis.Lx = 100;
    calc.txtMEMO.Text = "shown memo";
    // Stored statistics: channel 1's W over all and its band fully excluded, F without any;
    // channel 2's F and W over all.
    const auto store = [this](int c, std::int16_t slot, const CScopes& targets) {
        CBandLCalcInfo& info = Ch(c).BandLCalcInfos.Item(slot);
        ASSERT_TRUE(info.LCalc.resetNew(targets, Ch(c).LevelData,
                                        GetBandFolder(ProjectPath(), Ch(c).ChMeasureCondition.oct1or3, slot)));
    };
    CScopes all;
    all.Add(CScope(1, 150000));
    store(1, 2, all);
    store(1, kBand, CScopes());
    store(2, 1, all);
    store(2, 2, all);
    ui.ChooseNext(Out("calc.csv"));
    calc.mnuCalcTextFile_Click();
    EXPECT_EQ(ui.Dialogs().at(0).Request.Filter, "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv");

    std::vector<std::string> lines{"measure 2", "出力開始日時,出力終了日時",
                                   "2023/03/15 09:00:00, 2023/03/15 09:25:00"};
    for (int c = 1; c <= 2; ++c) {
        const OracleChannel ch = Oracle(c);
        const std::int16_t mode = Ch(c).ChMeasureCondition.oct1or3;
        for (const std::string& l : {std::string(), "< 2／2 測定 " + std::to_string(c) + "／2ch データ >",
                                     c == 1 ? std::string("shown memo") : std::string("memo 2-2"), std::string(),
                                     std::string("動特性,ＣＡＬのレベル(dB)"),
                                     "ＦＡＳＴ, " + platform::FormatNumber(Ch(c).ChMeasureCondition.LVL, "0")})
            lines.push_back(l);
        lines.push_back("BAND, Num,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,ＬFmax,ＬWmax" + LxTitle(ch.lx));
        const bool withF = c == 2;
        const OracleStats f = SlotStats(ch, 1, 1, Length(c), false);
        const OracleStats w = SlotStats(ch, 2, 1, Length(c), false);
        for (const std::int16_t k : Slots(mode)) {
            const bool stored = k == 2 || (k == 1 && withF);
            if (!stored) {
                lines.emplace_back(GetBandName(mode, k));
                continue;
            }
            const OracleStats s = k == 1 ? f : w;
            std::string row = (k == 2 ? "Ａ特性" : std::string(GetBandName(mode, k))) + "," + std::to_string(s.count) +
                              F1(s.leq) + F1(s.lmax);
            for (const int x : {5, 10, 25, 50, 75, 90, 95}) row += F1(s.Lx(x));
            row += ",---";
            for (const auto& [m, has] : {std::pair{f, withF}, std::pair{w, true}}) {
                const auto v = has ? ch.level(k, AddBandDelay(mode, k, static_cast<std::int32_t>(m.lmaxPos), ch.rate))
                                   : std::nullopt;
                row += v ? F1(*v) : ", ---";
            }
            if (ch.lx > 0) row += F1(s.Lx(std::min<int>(ch.lx, 100)));
            lines.push_back(row);
        }
    }
    EXPECT_EQ(Bytes(Out("calc.csv")), FileOf(lines));
    EXPECT_EQ(Ch(1).ChMeasureCondition.Account, "shown memo");
}

// ---- The level series

TEST_F(TextOutputs, LevelSeriesThinnedOverTheWholeOrTheChartSpan) {
    ChooseChannel(1);  // 100 values per second
    ChooseBand(5);
    const std::string header = "'コメント,memo 2-2\r\n'出力開始日時, ";
    struct Case {
        std::int16_t area;
        std::int64_t windowStart;  // seconds
        std::string start, end;
        std::int64_t first;
    };
    for (const Case& c : {Case{0, 0, "2023/03/15 09:00:00", "2023/03/15 09:25:00", 1},
                          Case{1, 1460, "2023/03/15 09:24:20", "2023/03/15 09:25:00", 146001}}) {
        SCOPED_TRACE(c.area);
        CalcProject::SetWindow(Ch(2), kMeasureStart, c.windowStart, 60);
        calc.setGraphOfForm();
        calc.m_TextFilePeriod = 20;
        calc.m_TextFileArea = c.area;
        ASSERT_TRUE(calc.writeLevelTextFile(Out("series.csv")));
        std::vector<std::string> lines{"'コメント,memo 2-2",      "'出力開始日時, " + c.start,
                                       "'出力終了日時, " + c.end, "'動特性, ＦＡＳＴ",
                                       "'レベルレンジ(dB), 94",   "'出力サンプリング間隔, 200ms",
                                       "'--------------------",   "'" + std::string(GetBandName(1, 5)),
                                       "'--------------------"};
        for (std::int64_t p = c.first; p <= Length(2); p += 20)
            lines.push_back(platform::FormatNumber(BandLevel(p), "000.00"));
        EXPECT_EQ(Bytes(Out("series.csv")), FileOf(lines));
        if (c.area == 0) {
            EXPECT_EQ(lines[14], "-003.50");  // value 101
        }
    }
}

// Every header line of the level series is a comment, however many lines the memo has and however
// they were broken; the values follow.
TEST_F(TextOutputs, LevelSeriesHeaderLinesAllStartWithAnApostrophe) {
    const std::pair<std::string, std::vector<std::string>> memos[] = {
        {"/w/rec.wav\r\n更新日時:2024/03/05 09:07:12\r\n作成日時:2024/03/05 09:07:02",
         {"'コメント,/w/rec.wav", "'更新日時:2024/03/05 09:07:12", "'作成日時:2024/03/05 09:07:02"}},
        {"edited\nin a box", {"'コメント,edited", "'in a box"}},
        {"ends with a break\r\n", {"'コメント,ends with a break", "'"}},
        {"", {"'コメント,"}},
    };
    for (const auto& [memo, header] : memos) {
        Ch(1).ChMeasureCondition.Account = memo;
        calc.m_TextFilePeriod = 1;
        calc.m_TextFileArea = 0;
        ASSERT_TRUE(calc.writeLevelTextFile(Out("series.csv")));
        const std::string text = platform::Cp932ToUtf8(Bytes(Out("series.csv")));
        std::vector<std::string> lines;
        for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
            lines.push_back(text.substr(at, next - at));
        ASSERT_EQ(lines.size(), header.size() + 8 + static_cast<std::size_t>(Length(1)));
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(header.size())),
                  header);
        for (std::size_t i = 0; i < header.size() + 8; ++i) EXPECT_EQ(lines[i].substr(0, 1), "'") << lines[i];
        EXPECT_EQ(lines[header.size() + 8], platform::FormatNumber(BandLevel(1), "000.00"));
    }
}

TEST_F(TextOutputs, LevelSeriesWithoutItsFileSaysNoData) {
    fs::remove(*Ch(1).LevelData.PathIn(GetBandFolder(ProjectPath(), 3, kBand)));
    ui.OnModal("frmSetTestFileOut", [](platform::Form& f) { static_cast<frmSetTestFileOut&>(f).cmdOK_Click(); });
    ui.ChooseNext(Out("x.csv"));
    calc.mnuTextFile_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"データ取得に失敗しました．"});
    EXPECT_FALSE(fs::exists(Out("x.csv")));
    EXPECT_FALSE(ui.Busy());
}

// ---- The settings dialog

TEST_F(TextOutputs, SettingsDialogListsAndChoices) {
    std::int16_t period = 100;
    std::int16_t area = 1;
    const auto run = [&](std::int16_t preset, const std::function<void(frmSetTestFileOut&)>& act) {
        period = preset;
        g_bDialogOk = true;
        frmSetTestFileOut dialog(ui, period, area);
        ui.Load(dialog);
        EXPECT_EQ(dialog.cmbTimeInterval.ListIndex, 0);
        act(dialog);
        if (ui.IsLoaded(dialog)) ui.Unload(dialog, platform::UnloadMode::FormControlMenu);
    };
    run(100, [&](frmSetTestFileOut& d) {
        EXPECT_EQ(d.cmbTimeInterval.Items, (std::vector<std::string>{"1ms", "2ms", "5ms", "10ms", "20ms", "50ms",
                                                                     "100ms", "200ms", "500ms", "1s"}));
        EXPECT_TRUE(d.optArea[1].Value);  // the last choice
        d.cmbTimeInterval.Select(9);
        d.optArea.Select(0);
        d.cmdOK_Click();
    });
    EXPECT_EQ(std::make_pair(period, area), std::make_pair(std::int16_t{1000}, std::int16_t{0}));
    run(10, [](frmSetTestFileOut& d) {
        d.cmbTimeInterval.Select(4);
        EXPECT_EQ(d.cmbTimeInterval.Text, "200ms");
        d.cmdOK_Click();
    });
    EXPECT_EQ(period, 20);
    for (const auto& [key, expectArea] : {std::pair{'A', 1}, std::pair{'B', 0}}) {
        run(1, [key](frmSetTestFileOut& d) {
            int plain = key;
            d.Form_KeyUp(plain, 0);  // without Alt: nothing
            EXPECT_EQ(plain, key);
            int code = key;
            d.Form_KeyUp(code, platform::kAltMask);
        });
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_EQ(std::make_pair(period, area),
                  std::make_pair(std::int16_t{-1}, static_cast<std::int16_t>(expectArea)));
    }
    // Cancel and a frame close keep both.
    area = 1;
    run(1, [](frmSetTestFileOut& d) { d.cmdCancel_Click(); });
    EXPECT_FALSE(g_bDialogOk);
    run(10, [](frmSetTestFileOut&) {});
    EXPECT_FALSE(g_bDialogOk);
    EXPECT_EQ(std::make_pair(period, area), std::make_pair(std::int16_t{10}, std::int16_t{1}));
    EXPECT_EQ(frmSetTestFileOut::IntervalText(10.0, 20), "2s");
    EXPECT_EQ(frmSetTestFileOut::IntervalText(1000.0, 1000), "1s");
    EXPECT_EQ(frmSetTestFileOut::IntervalText(3.0, 5), "500ms");
}

// ---- The levels of the LE range

TEST_F(TextOutputs, LERangeTextOfTheShownBand) {
    CBandLCalcInfo& info = Ch(1).BandLCalcInfos.Item(kBand);
    info.LEScopes.Add(CScope(14990, 15003));  // past the file's end
    info.AllLCalc.LE = 75.26;
    for (const auto& [rate, interval] :
         {std::pair{10.0, "100ms"}, std::pair{100.0, "10ms"}, std::pair{1000.0, "1ms"}, std::pair{3.0, "333ms"}}) {
        Ch(1).ChMeasureCondition.LevelOutHz = rate;
        // The range's dates at the channel's rate, as the screen shows them.
        ASSERT_TRUE(calc.writeLETextFile(Out("le.csv")));
        std::vector<std::string> lines{"'出力開始日時, " + Time(14990, rate),
                                       "'出力終了日時, " + Time(15003, rate),
                                       std::string("'出力サンプリング間隔, ") + interval,
                                       "'ＬE(dB), 75.3",
                                       "'--------------------",
                                       "'" + std::string(GetBandName(3, kBand)),
                                       "'--------------------"};
        for (std::int64_t p = 14990; p <= 15003; ++p)
            lines.push_back(p <= 15000 ? platform::FormatNumber(BandLevel(p), "000.00") : "-1000.00");
        ASSERT_EQ(Bytes(Out("le.csv")), FileOf(lines)) << rate;
    }
}

TEST_F(TextOutputs, LECommandAsksAndChoosesItsWriter) {
    const std::string noRange = "ＬE範囲が選択されていません．";
    calc.cmdLETextOut_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, noRange);
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::None);
    EXPECT_EQ(ui.Messages()[0].Title, std::string(platform::kProgramTitle));
    EXPECT_TRUE(ui.Dialogs().empty());

    Ch(1).BandLCalcInfos.Item(kBand).LEScopes.Add(CScope(11, 20));
    const std::string channels =
        "全ｃｈデータを出力しますか？\r\n[いいえ]ボタンを押すと表示ｃｎデータのみを出力します．";
    const std::string bands =
        "全バンドのデータを出力しますか？\r\n[いいえ]ボタンを押すと表示バンドデータのみを出力します．";
    // No twice: the shown band alone, 7 header lines and one line per position.
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.ChooseNext(Out("one.csv"));
    calc.mnuLETextFile_Click();
    EXPECT_EQ(ui.Dialogs().at(0).Request.Title, "ﾚﾍﾞﾙ波形を出力するﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{channels, bands, "テキストファイルを出力しました．"}));
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Question);
    const std::string one = Bytes(Out("one.csv"));
    EXPECT_EQ(std::count(one.begin(), one.end(), '\n'), 7 + 10);
    // Yes to the channels: the column writer (title line with channel 1's label).
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.ChooseNext(Out("cols.csv"));
    calc.cmdLETextOut_Click();
    EXPECT_NE(Bytes(Out("cols.csv"))
                  .find(platform::Utf8ToCp932("'1ch-" + std::string(GetBandName(3, kBand)) + "(100ms間隔)\r\n")),
              std::string::npos);

    // One channel: the band question alone. A folder that does not exist: the failure.
    Show(1);
    ChooseBand(kBand);
    Channel(1, 1).BandLCalcInfos.Item(kBand).LEScopes.Add(CScope(1, 5));
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.ChooseNext(Out("missing/x.csv"));
    calc.cmdLETextOut_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{bands, "テキストファイル出力が失敗しました．"}));
}

// ---- The columns of several channels and bands

TEST_F(TextOutputs, LEColumnsOfChannelsAndBands) {
    const auto plain = [](float v) { return platform::NumberToText(std::stod(platform::FormatNumber(v, "000.00"))); };
    CBandLCalcInfo& info = Ch(1).BandLCalcInfos.Item(kBand);
    info.LEScopes.Add(CScope(101, 104));
    const std::int32_t d = AddBandDelay(3, kBand, 0, 10.0);
    // All channels, one band: channel 2 (octave) has no slot 30, yet its 31 positions count.
    ASSERT_TRUE(calc.writeLETextFileOfChBands(Out("c.csv"), true, false));
    std::vector<std::string> lines{"'出力開始日時, " + Time(101, 10.0), "'出力終了日時, " + Time(104, 10.0),
                                   "'--------------------",
                                   "'1ch-" + std::string(GetBandName(3, kBand)) + "(100ms間隔)",
                                   "'--------------------"};
    for (std::int64_t k = 0; k < 31; ++k) lines.push_back(k < 4 ? plain(BandLevel(101 + k)) : std::string(" "));
    EXPECT_EQ(Bytes(Out("c.csv")), FileOf(lines));

    // All bands of both channels, channel 2 with a user characteristic: F, W, the bands from the
    // lowest up; channel 2's columns over (S - d) x 10 without delays, channel 1's moved by theirs.
    Ch(2).ChMeasureCondition.w = 5;
    for (int c = 1; c <= 2; ++c)
        for (const std::int16_t b : Slots(Ch(c).ChMeasureCondition.oct1or3))
            if (!fs::exists(LevelPath(c, b))) WriteLevels(Ch(c), b, Length(c), BandLevel);
    ASSERT_TRUE(calc.writeLETextFileOfChBands(Out("all.csv"), true, true));
    const std::string text = platform::Cp932ToUtf8(Bytes(Out("all.csv")));
    std::vector<std::string> got;
    for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
        got.push_back(text.substr(at, next - at));
    ASSERT_EQ(got.size(), 5u + 31u);
    std::string title = "'";
    std::vector<std::function<std::string(std::int64_t)>> columns;
    for (int c = 1; c <= 2; ++c) {
        const std::int16_t mode = Ch(c).ChMeasureCondition.oct1or3;
        const double rate = Ch(c).ChMeasureCondition.LevelOutHz;
        for (const std::int16_t b : Slots(mode)) {
            title +=
                (title.size() > 1 ? ", " : "") + std::to_string(c) + "ch-" +
                (b == 2 ? Ch(c).ChMeasureCondition.getWName(true, g_OriginalWs) : std::string(GetBandName(mode, b))) +
                "(" + (c == 1 ? "100" : "10") + "ms間隔)";
            const std::int64_t first = c == 1 ? AddBandDelay(mode, b, 101 - d, rate) : (101 - d) * 10;
            const std::int64_t rows = c == 1 ? 4 : 31;
            columns.push_back([=](std::int64_t k) {
                if (k >= rows) return std::string(" ");
                const std::optional<float> v = LevelOf(c, b, first + k);
                return v ? plain(*v) : std::string("-1000");
            });
        }
    }
    EXPECT_EQ(got[3], title);
    for (std::int64_t k = 0; k < 31; ++k) {
        std::string row;
        for (std::size_t j = 0; j < columns.size(); ++j) row += (j > 0 ? ", " : "") + columns[j](k);
        ASSERT_EQ(got[5 + static_cast<std::size_t>(k)], row) << k;
    }
    EXPECT_EQ(columns.size(), 47u + 17u);
}

// A column whose level file is missing is no power in every row; the shown band alone writes the
// same. One that is there and cannot be read fails the whole output and leaves nothing behind.
TEST_F(TextOutputs, LEColumnsOfAMissingFileAreNoPowerAndAnUnreadableOneFailsWhole) {
    Ch(1).BandLCalcInfos.Item(kBand).LEScopes.Add(CScope(101, 104));
    ASSERT_FALSE(fs::exists(LevelPath(1, 3)));
    ASSERT_TRUE(calc.writeLETextFileOfChBands(Out("all.csv"), false, true));
    const std::string text = platform::Cp932ToUtf8(Bytes(Out("all.csv")));
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> got;
        for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
            got.push_back(text.substr(at, next - at));
        return got;
    }();
    ASSERT_EQ(lines.size(), 5u + 4u);
    for (std::size_t k = 5; k < lines.size(); ++k) EXPECT_EQ(lines[k].substr(lines[k].rfind(", ") + 2), "-1000") << k;
    EXPECT_TRUE(ui.Messages().empty());
    ChooseBand(3);
    Ch(1).BandLCalcInfos.Item(3).LEScopes.Add(CScope(1, 2));
    ASSERT_TRUE(calc.writeLETextFile(Out("one.csv")));
    const std::string one = Bytes(Out("one.csv"));
    EXPECT_EQ(one.substr(one.size() - 22), "\r\n-1000.00\r\n-1000.00\r\n");

    fs::create_directories(LevelPath(1, 3));  // there, and no level file
    std::ofstream(Out("old.csv")) << "old";
    const auto before = std::distance(fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator());
    ChooseBand(kBand);
    ASSERT_FALSE(calc.writeLETextFileOfChBands(Out("old.csv"), false, true));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "ｴﾗｰ番号 5 Murtesk でｴﾗｰが発生しました。\rInput/output error");
    EXPECT_EQ(ui.Messages()[0].Title, "ｴﾗｰ");
    EXPECT_EQ(Bytes(Out("old.csv")), "old");
    EXPECT_EQ(std::distance(fs::recursive_directory_iterator(folder), fs::recursive_directory_iterator()), before);
}

}  // namespace
}  // namespace murtesk::testing
