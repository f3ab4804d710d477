// The text outputs over all measurements (jobs 5 and 8 to 12): each file equals, byte for byte, one
// the test builds line by line from the level values themselves; a cancelled or failed output
// keeps the old file; the commands with their save dialog; the pieces of the partitioned output.
#include "jobs_fixture.h"

#include "frmSetPartitionAreaCSVOut.h"
#include "model/band_slots.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace murtesk::testing {
namespace {

constexpr const char* kWritten = "テキストファイルを出力しました．";
constexpr const char* kFailed = "テキストファイル出力が失敗しました．";
constexpr const char* kCancelled = "途中キャンセルしました．";
constexpr const char* kMissing = ", ---";

std::string F1(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f", v);
    return b;
}

// Statistics of levels computed here: energy mean, maximum with its first position, percentiles
// counted over 0.1 dB bins from -60 dB (every level of these tests lies inside the bins).
struct Oracle {
    std::int64_t n = 0;
    double energy = 0.0;
    double lmax = -60.0;
    std::int32_t pos = -1;
    std::map<int, std::int64_t> bins;
    void Add(std::int32_t p, float v) {
        energy += std::pow(10.0, v / 10.0);
        if (v > lmax) lmax = v, pos = p;
        ++bins[static_cast<int>(std::floor((v + 60.0) * 10.0 + 0.5))];
        ++n;
    }
    double Lx(int x) const {
        if (x >= 100) return bins.begin()->first / 10.0 - 60.0;
        std::int64_t running = 0;
        for (const auto& [bin, count] : bins) {
            running += count;
            if (static_cast<double>(running) >= static_cast<double>(n) * (100 - x) / 100.0) return bin / 10.0 - 60.0;
        }
        return 170.0;
    }
    std::string Levels() const {
        std::string s = "," + F1(10.0 * std::log10(energy / static_cast<double>(n))) + "," + F1(lmax);
        for (int x : {5, 10, 25, 50, 75, 90, 95}) s += "," + F1(Lx(x));
        return s;
    }
};

struct Ch {
    std::int16_t mode = 1;
    std::int32_t values = 120;
    double rate = 10.0;
    std::int16_t lx = 0;
    std::int16_t w = 3;
    std::vector<std::array<int, 3>> spikes;    // slot, position, level
    std::vector<std::array<int, 3>> excluded;  // slot, S, E
    bool emptyF = false;                       // F keeps no statistics
};

class CsvJobs : public JobsTest {
protected:
    static float Value(int i, int c, int k, int p) { return 40.0f + ((p * 37 + k * 11 + c * 5 + i * 3) % 300) / 10.0f; }

    void Add(const std::vector<Ch>& channels) {
        CMeasure& m = draft.Measures.AddNew();
        const int i = draft.Measures.count();
        m.StartTime = platform::DateFromParts(2024, 3, 4 + i, 7, 8, 9);
        m.EndTime = platform::AddSeconds(m.StartTime, 600.0);
        for (std::size_t ci = 0; ci < channels.size(); ++ci) {
            const Ch& spec = channels[ci];
            const int c = static_cast<int>(ci) + 1;
            specs[{i, c}] = spec;
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = spec.mode;
            ch.ChMeasureCondition.LevelOutHz = spec.rate;
            ch.ChMeasureCondition.w = spec.w;
            ch.ChMeasureCondition.Account = "ch" + std::to_string(c) + ", memo";
            ch.CalcXYAxis.Lx = spec.lx;
            ch.LevelData.SaveFileName = "m" + std::to_string(i) + "c" + std::to_string(c) + ".lvl";
            for (std::int16_t k = 1; k <= SlotCount(spec.mode); ++k) {
                const std::string folder = draft.BandFolder(spec.mode, k);
                std::vector<float> v;
                for (int p = 1; p <= spec.values; ++p) v.push_back(Value(i, c, k, p));
                for (const auto& [slot, p, level] : spec.spikes) {
                    if (slot == k) v[static_cast<std::size_t>(p - 1)] = static_cast<float>(level);
                }
                WriteFloats(folder, ch.LevelData.SaveFileName, v);
                CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
                for (const auto& [slot, s, e] : spec.excluded) {
                    if (slot == k) band.Scopes.Add(CScope(std::int32_t{s}, std::int32_t{e}));
                }
                CScopes whole;
                whole.Add(CScope(std::int32_t{1}, spec.values));
                band.AllLCalc.resetNew(whole, ch.LevelData, folder);
                if (k > 1 || !spec.emptyF) {
                    band.LCalc.resetNew(band.Scopes.getReverse(std::int32_t{1}, spec.values), ch.LevelData, folder);
                }
            }
        }
    }

    std::vector<float> Series(int i, int c, int k) {
        const std::string bytes = Bytes(draft.BandFolder(specs[{i, c}].mode, static_cast<std::int16_t>(k)) + "/m" +
                                        std::to_string(i) + "c" + std::to_string(c) + ".lvl");
        std::vector<float> v(bytes.size() / 4);
        std::memcpy(v.data(), bytes.data(), bytes.size());
        return v;
    }
    // The values of positions s..e of a band, less its excluded ranges when `exclusion`.
    Oracle Over(int i, int c, int k, int s, int e, bool exclusion = true) {
        Oracle o;
        const std::vector<float> v = Series(i, c, k);
        for (int p = std::max(s, 1); p <= e && p <= static_cast<int>(v.size()); ++p) {
            bool out = false;
            for (const auto& [slot, xs, xe] : specs[{i, c}].excluded)
                out |= exclusion && slot == k && p >= xs && p <= xe;
            if (!out) o.Add(p, v[static_cast<std::size_t>(p - 1)]);
        }
        return o;
    }
    Oracle Targets(int i, int c, int k) {
        const Ch& spec = specs[{i, c}];
        return k == 1 && spec.emptyF ? Oracle{} : Over(i, c, k, 1, spec.values);
    }
    // "," and band k's level at pos (moved by its delay), or ", ---".
    std::string At(int i, int c, int k, std::int32_t pos, bool delayed = true) {
        const Ch& spec = specs[{i, c}];
        if (pos < 1) return kMissing;
        const std::int32_t p = delayed ? AddBandDelay(spec.mode, static_cast<std::int16_t>(k), pos, spec.rate) : pos;
        const std::vector<float> v = Series(i, c, k);
        return p > static_cast<std::int32_t>(v.size()) ? kMissing : "," + F1(v[static_cast<std::size_t>(p - 1)]);
    }
    std::string Name(int i, int c, int k) {
        if (k != 2) return std::string(GetBandName(specs[{i, c}].mode, static_cast<std::int16_t>(k)));
        return specs[{i, c}].w == 3 ? "Ａ特性" : "？特性";
    }
    static std::vector<int> RowOrder(std::int16_t mode) {
        std::vector<int> order{1, 2};
        for (int k = SlotCount(mode); k >= 3; --k) order.push_back(k);
        return order;
    }
    // A band row of jobs 5 and 12 from the statistics `s` and the F and W maxima pF and pW.
    std::string Row(int i, int c, int k, const Oracle& s, std::int32_t pF, std::int32_t pW, bool job5) {
        if (s.n == 0) return std::string(GetBandName(specs[{i, c}].mode, static_cast<std::int16_t>(k)));
        std::string row = Name(i, c, k) + (job5 ? "," + std::to_string(s.n) : "") + s.Levels();
        if (job5) row += i == 1 && c == 1 && k == 5 ? ",71.2" : ",---";
        row += At(i, c, k, pF) + At(i, c, k, pW, specs[{i, c}].w <= 4);
        const std::int16_t lx = specs[{i, c}].lx;
        return lx > 0 ? row + "," + F1(s.Lx(lx)) : row;
    }
    static std::string LxTitle(std::int16_t lx) {
        return lx <= 0 ? "" : lx >= 100 ? ",Ｌmin" : ",Ｌ" + std::to_string(lx);
    }

    // Runs a command whose save dialog is answered with `out`; the job runs in its window.
    void Output(const std::function<void()>& command, const std::string& out) {
        ui.ChooseNext(out);
        RunJobs();
        command();
    }
    // The file at `path` equals the lines written in CP932, each ending in CR LF.
    void ExpectFile(const std::string& path, const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        const std::string actual = Bytes(path);
        EXPECT_EQ(platform::Cp932ToUtf8(actual), text);
        EXPECT_EQ(actual, platform::Utf8ToCp932(text));
    }
    std::string Out() { return (home / "out.csv").string(); }

    std::map<std::pair<int, int>, Ch> specs;
};

// Two measurements: an octave channel (Lx 50, excluded ranges, a band wholly excluded, LE on one
// band, an F maximum whose delayed positions run past the file) beside a one-third-octave channel
// at another rate (Lx 100, no F statistics, a user characteristic's W); then an octave one with Lx 0.
TEST_F(CsvJobs, CalculationValuesAndLmaxOfEveryBand) {
    Ch octave{1, 120, 10.0, 50, 3, {{1, 95, 88}, {2, 30, 86}}, {{3, 1, 10}, {9, 1, 120}, {4, 100, 110}}};
    Ch third{3, 300, 100.0, 100, 5, {{2, 250, 90}}, {{20, 5, 50}}, true};
    Add({octave, third});
    Add({{1, 80, 10.0, 0, 3, {{1, 75, 95}}, {}}});
    draft.Measures.Item(1).ChMeasures.Item(1).BandLCalcInfos.Item(5).LEScopes.Add(
        CScope(std::int32_t{2}, std::int32_t{9}));
    draft.Measures.Item(1).ChMeasures.Item(1).BandLCalcInfos.Item(5).AllLCalc.LE = 71.234;
    Start();
    Doc().MeasureCondition.Account = "project, memo\r\nsecond line";

    std::vector<std::string> job5{"project, memo\r\nsecond line", ""};
    std::vector<std::string> job11{"project, memo\r\nsecond line"};
    const std::vector<std::string> dates{"2024/03/05 07:08:09, 2024/03/05 07:18:09",
                                         "2024/03/06 07:08:09, 2024/03/06 07:18:09"};
    for (int i = 1; i <= 2; ++i) {
        const int channels = i == 1 ? 2 : 1;
        job5.insert(job5.end(), {"====================", "<< " + std::to_string(i) + "／2 測定 >>",
                                 "出力開始日時,出力終了日時", dates[static_cast<std::size_t>(i - 1)]});
        job11.insert(job11.end(), {"====================", "<< " + std::to_string(i) + "／2 測定 >>", "ch1, memo"});
        for (int c = 1; c <= channels; ++c) {
            const Ch& spec = specs[{i, c}];
            job5.insert(
                job5.end(),
                {"",
                 "< " + std::to_string(i) + "／2 測定 " + std::to_string(c) + "／" + std::to_string(channels) +
                     "ch データ >",
                 "ch" + std::to_string(c) + ", memo", "", "動特性,ＣＡＬのレベル(dB)", "ＦＡＳＴ, 94",
                 "BAND, Num,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,ＬFmax,ＬWmax" + LxTitle(spec.lx)});
            const std::int32_t pF = Targets(i, c, 1).pos;
            const std::int32_t pW = Targets(i, c, 2).pos;
            std::string names = "Ch";
            std::string lmax = std::to_string(c);
            for (int k : RowOrder(spec.mode)) {
                const Oracle s = Targets(i, c, k);
                job5.push_back(Row(i, c, k, s, pF, pW, true));
                names += ", " + Name(i, c, k);
                lmax += s.n > 0 ? "," + F1(s.lmax) : kMissing;
            }
            job11.insert(job11.end(), {names, lmax});
        }
    }
    EXPECT_EQ(job5.size(), 2u + 2 * 4 + 3 * 7 + 17 + 47 + 17);
    EXPECT_NE(std::find(job5.begin(), job5.end(), "250Hz帯域"), job5.end());  // wholly excluded: its name alone

    std::vector<std::string> progress;
    ui.OnDoEvents([&] {
        if (Main().lblLp0.Visible && (progress.empty() || progress.back() != Main().lblLp0.Caption))
            progress.push_back(Main().lblLp0.Caption);
    });
    Output([&] { Main().mnuFileCalcValueTextOut_Click(); }, Out());
    ExpectFile(Out(), job5);
    EXPECT_EQ(progress, (std::vector<std::string>{"1測定", "2測定"}));
    EXPECT_FALSE(Main().lblLp0.Visible);
    Output([&] { Main().mnuFileLmaxTextOut_Click(); }, Out() + "2");
    ExpectFile(Out() + "2", job11);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kWritten, kWritten}));
}

// Jobs 8, 9 and 10 over three measurements: four one-third-octave channels; one with a second
// channel in octaves (channel 2's rows stop there) and no third; four again.
class ChannelOutputs : public CsvJobs {
protected:
    void Build() {
        Ch plain{3, 100, 10.0, 0, 3, {}, {}};
        Ch emptyBand = plain;
        emptyBand.excluded = {{20, 1, 100}};
        Ch fourth = plain;
        fourth.values = 1000;
        fourth.spikes = {{5, 300, 99}};
        fourth.excluded = {{5, 1, 600}, {6, 1, 10}, {7, 5, 700}};
        Add({emptyBand, plain, plain, fourth});
        Add({plain, {1, 100, 10.0, 0, 3, {}, {}}});
        Add({plain, plain, plain, plain});
        Start();
    }
    std::string Header() {
        std::string header = "ch, 測定番号";
        for (int k : ThirdOctaveOrder()) header += ", " + std::string(GetBandName(3, static_cast<std::int16_t>(k)));
        return header;
    }
    static std::vector<int> ThirdOctaveOrder() {
        std::vector<int> order = RowOrder(3);
        order.erase(order.begin() + 1);
        return order;
    }
    // Rows of channel numbers 1..4 over the measurements each reaches.
    std::vector<std::string> Rows(bool job10) {
        std::vector<std::string> rows;
        for (const auto& [c, i] : std::vector<std::pair<int, int>>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {3, 1}, {4, 1}}) {
            std::string row = std::to_string(c) + "ch, No." + std::to_string(i);
            const std::int32_t pF = Targets(i, c, 1).pos;
            for (int k : ThirdOctaveOrder()) {
                const Oracle s = job10 && c == 4 && k == 5 ? Over(i, c, k, 11, 1000, false) : Targets(i, c, k);
                if (job10 && c == 4 && k <= 36) {
                    row += s.n > 0 ? "," + F1(s.lmax) : kMissing;
                } else {
                    row += s.n > 0 || job10 ? At(i, c, k, pF) : kMissing;
                }
            }
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(ChannelOutputs, Job8StopsEachChannelNumberAtTheFirstMeasurementWithoutItInThirdOctaves) {
    Build();
    std::vector<std::string> lines{Header()};
    const std::vector<std::string> rows = Rows(false);
    lines.insert(lines.end(), rows.begin(), rows.end());
    Output([&] { Main().cmdOK_KeyDown('b', true); }, Out());
    ExpectFile(Out(), lines);
}

TEST_F(ChannelOutputs, Job9GivesTheFMaximumOfEveryChannelPerMeasurement) {
    Build();
    std::vector<std::string> lines{"Ｌmax出力", "列車No., 1ch, 2ch, 3ch, 4ch"};
    for (int i = 1; i <= 3; ++i) {
        std::string row = std::to_string(i);
        for (int c = 1; c <= (i == 2 ? 2 : 4); ++c) row += At(i, c, 1, Targets(i, c, 1).pos);
        lines.push_back(row);
    }
    Output([&] { Main().cmdOK_KeyDown('A', true); }, Out());
    ExpectFile(Out(), lines);
}

// Channel 4's band 5 loses the exclusion of seconds 2 to 60 (its spike at 30 s comes back into the
// statistics) and the project is saved; bands 6 (1..10) and 7 (not from 1) keep theirs.
TEST_F(ChannelOutputs, Job10TrimsChannel4sLeadingExclusionWritesItsLmaxAndSaves) {
    Build();
    // Former bug: band 5 took the cut ranges although its statistics of them could not be saved.
    platform::SetWriteLimitForTests(0);
    Output([&] { Main().cmdOK_KeyDown('C', true); }, Out());
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kFailed});
    EXPECT_EQ(RangesOf(Channel(1, 4).BandLCalcInfos.Item(5).Scopes), (std::vector<std::pair<double, double>>{{1, 600}}));
    ui.ClearTranscript();

    std::vector<std::string> lines{"4ch : 5Hz以下ＬFmax それ以外Ｌmax　それ以外のchはＬFmax", Header()};
    const std::vector<std::string> rows = Rows(true);
    lines.insert(lines.end(), rows.begin(), rows.end());
    EXPECT_NE(lines.back().find(",99.0"), std::string::npos);
    Output([&] { Main().cmdOK_KeyDown('C', true); }, Out());
    ExpectFile(Out(), lines);
    CPreserve saved(draftContext);
    ASSERT_TRUE(saved.FileRead(project));
    const CChMeasure& ch4 = saved.Measures.Item(1).ChMeasures.Item(4);
    EXPECT_EQ(RangesOf(ch4.BandLCalcInfos.Item(5).Scopes), (std::vector<std::pair<double, double>>{{1, 10}}));
    EXPECT_EQ(RangesOf(ch4.BandLCalcInfos.Item(6).Scopes), (std::vector<std::pair<double, double>>{{1, 10}}));
    EXPECT_EQ(RangesOf(ch4.BandLCalcInfos.Item(7).Scopes), (std::vector<std::pair<double, double>>{{5, 700}}));
    EXPECT_DOUBLE_EQ(ch4.BandLCalcInfos.Item(5).LCalc.getLmax(), 99.0);
}

// One octave channel at 10 values a second (1300 values, Lx 50, band 3 excluded over the first
// minute) and one at 20 (2600 values): one-minute pieces, the second channel's at twice the
// positions. Then without all bands and without the exclusion: the W rows alone, over everything.
TEST_F(CsvJobs, PartitionedStatisticsPerPieceAndChannel) {
    Add({{1, 1300, 10.0, 50, 3, {{1, 700, 88}}, {{3, 1, 600}, {2, 1250, 1300}}},
         {1, 2600, 20.0, 0, 3, {}, {{4, 1, 50}}}});
    Start();
    Doc().MeasureCondition.Account = "memo";
    const auto histograms = [&] { return std::distance(fs::directory_iterator(home / "data" / "LCalc"), {}); };
    const auto before = histograms();
    for (const bool all : {true, false}) {
        std::vector<std::string> lines{"memo",
                                       "",
                                       "====================",
                                       "<< 1／1 測定 >>",
                                       "出力開始日時,出力終了日時",
                                       "2024/03/05 07:08:09, 2024/03/05 07:18:09"};
        const std::vector<std::array<int, 2>> pieces{{1, 600}, {601, 1200}, {1201, 1300}};
        const std::vector<std::string> times{"07:08:09", "07:09:08", "07:09:09", "07:10:08", "07:10:09", "07:10:18"};
        for (std::size_t p = 0; p < pieces.size(); ++p) {
            lines.insert(lines.end(),
                         {"", "===== 分割" + std::to_string(p + 1) + "／3", "計算開始日時, 2024/03/05 " + times[2 * p],
                          "計算終了日時, 2024/03/05 " + times[2 * p + 1]});
            for (int c = 1; c <= 2; ++c) {
                const int s = pieces[p][0] * c;
                const int e = pieces[p][1] * c;
                lines.insert(lines.end(), {"", std::to_string(c) + "／2ch データ",
                                           "BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬFmax,ＬWmax" +
                                               LxTitle(specs[{1, c}].lx)});
                const std::int32_t pF = Over(1, c, 1, s, e, all).pos;
                const std::int32_t pW = Over(1, c, 2, s, e, all).pos;
                for (int k : all ? RowOrder(1) : std::vector<int>{2})
                    lines.push_back(Row(1, c, k, Over(1, c, k, s, e, all), pF, pW, false));
            }
        }
        ui.OnModal("frmSetPartitionAreaCSVOut", [all](platform::Form& f) {
            auto& dialog = static_cast<frmSetPartitionAreaCSVOut&>(f);
            EXPECT_EQ(dialog.txtSplitMin.Text, "10");  // every run starts from the presets
            EXPECT_TRUE(dialog.chkAllBand.Value && dialog.chkCalcAreaInfluence.Value);
            dialog.txtSplitMin.Text = "1";
            dialog.chkAllBand.Value = all;
            dialog.chkCalcAreaInfluence.Value = all;
            dialog.cmdOK_Click();
        });
        Output([&] { Main().mnuFilePartitionAreaTextOut_Click(); }, Out());
        ExpectFile(Out(), lines);
    }
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{kWritten, kWritten}));
    EXPECT_EQ(histograms(), before);  // pieces are counted in memory
}

// A mono recording: the import adds a second channel that is not analysed. The outputs count the
// channel that is.
TEST_F(CsvJobs, AMonoRecordingCountsOneChannel) {
    Add({{1, 1300, 10.0, 0, 3, {}, {}}, {0, 0, 10.0, 0, 3, {}, {}}});
    Start();
    const auto lines = [&] {
        std::vector<std::string> got;
        const std::string text = platform::Cp932ToUtf8(Bytes(Out()));
        for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
            got.push_back(text.substr(at, next - at));
        return got;
    };
    Output([&] { Main().mnuFileCalcValueTextOut_Click(); }, Out());
    std::vector<std::string> got = lines();
    EXPECT_EQ(std::count(got.begin(), got.end(), "< 1／1 測定 1／1ch データ >"), 1) << ::testing::PrintToString(got);
    ui.OnModal("frmSetPartitionAreaCSVOut",
               [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdOK_Click(); });
    Output([&] { Main().mnuFilePartitionAreaTextOut_Click(); }, Out());
    got = lines();
    EXPECT_GE(std::count(got.begin(), got.end(), "1／1ch データ"), 1) << ::testing::PrintToString(got);
    EXPECT_EQ(std::count(got.begin(), got.end(), "1／2ch データ"), 0) << ::testing::PrintToString(got);
}

TEST(PartitionPieces, EveryPieceHoldsItsMinutesAndTheLastTheRest) {
    const test_support::ScratchFolder scratch("pieces");
    const fs::path& folder = scratch.path();
    StatsContext context{[] { return std::string(); }, [] { return 43831.25; }};
    CChMeasure channel(context);
    channel.LevelData.SaveFileName = "a.lvl";
    struct Case {
        std::int32_t values, minutes;
        double rate;
        std::vector<std::pair<double, double>> pieces;
    };
    for (const Case& c : std::vector<Case>{{14500, 10, 10.0, {{1, 6000}, {6001, 12000}, {12001, 14500}}},
                                           {12000, 10, 10.0, {{1, 6000}, {6001, 12000}}},
                                           {500, 10, 10.0, {{1, 500}}},
                                           {0, 10, 10.0, {}},
                                           {700, 1, 2.5, {{1, 150}, {151, 300}, {301, 450}, {451, 600}, {601, 700}}},
                                           {700, 1, 0.0, {}}}) {
        fs::create_directories(folder / "F");
        std::ofstream(folder / "F" / "a.lvl", std::ios::binary) << std::string(4u * c.values, '\0');
        channel.ChMeasureCondition.LevelOutHz = c.rate;
        CScopes pieces;
        pieces.Add(CScope(std::int32_t{7}, std::int32_t{9}));
        MakeWholeSpanScope(c.minutes, pieces, channel, (folder / "p.qvd").string());
        EXPECT_EQ(RangesOf(pieces), c.pieces) << c.values << " values, " << c.rate << " per second";
    }
}

// Cancel at a test point, a full disk and a missing folder: the failure is told, the old file stays
// and nothing is left beside it.
struct Ending {
    std::int16_t code;
    const char* how;  // "cancel", "disk" or "folder"
};

class CsvJobEndings : public CsvJobs, public ::testing::WithParamInterface<Ending> {};

TEST_P(CsvJobEndings, KeepTheOldFileAndSayWhy) {
    const Ending& e = GetParam();
    const Ch third{3, 400, 10.0, 0, 3, {}, {}};
    Add({third, third, third, third});
    Start();
    const std::string how = e.how;
    const std::string out = how == "folder" ? (home / "none" / "out.csv").string() : Out();
    std::ofstream(Out(), std::ios::binary) << "old";
    if (how == "disk") platform::SetWriteLimitForTests(40);
    int points = 0;
    ui.OnDoEvents([&] {
        if (how == "cancel" && g_frmLongJob != nullptr && ++points == 40)
            static_cast<frmLongJob*>(g_frmLongJob)->cmdCancel_Click();
    });
    const std::map<std::int16_t, std::function<void()>> commands{
        {5, [&] { Main().mnuFileCalcValueTextOut_Click(); }},
        {8, [&] { Main().cmdOK_KeyDown('B', true); }},
        {9, [&] { Main().cmdOK_KeyDown('A', true); }},
        {10, [&] { Main().cmdOK_KeyDown('C', true); }},
        {11, [&] { Main().mnuFileLmaxTextOut_Click(); }},
        {12, [&] {
             ui.OnModal("frmSetPartitionAreaCSVOut",
                        [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdOK_Click(); });
             Main().mnuFilePartitionAreaTextOut_Click();
         }}};
    const std::string before = Bytes(project);
    Output(commands.at(e.code), out);
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{how == "cancel" ? kCancelled : kFailed});
    EXPECT_EQ(Bytes(Out()), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(home), {}), 2);  // the data folder and the old file
    EXPECT_EQ(Bytes(project), before);                              // job 10 saves only after a whole output
    EXPECT_FALSE(Main().lblLp0.Visible);
}

INSTANTIATE_TEST_SUITE_P(Jobs, CsvJobEndings,
                         ::testing::Values(Ending{5, "cancel"}, Ending{8, "cancel"}, Ending{10, "cancel"},
                                           Ending{11, "cancel"}, Ending{12, "cancel"}, Ending{5, "disk"},
                                           Ending{8, "disk"}, Ending{9, "disk"}, Ending{10, "disk"}, Ending{11, "disk"},
                                           Ending{12, "disk"}, Ending{9, "folder"}, Ending{12, "folder"}));

// Former bug: job 12 counted a whole piece of a channel (47 bands) before its first test point, so a
// piece of a day answered Cancel minutes late with a window that showed nothing. One piece of a
// one-third-octave channel, read 100 values at a time: 47 x 20 slices. Cancel at the first progress
// of a fifth ends the job there, before any row.
TEST_F(CsvJobs, APieceAnswersCancelWhileItsStatisticsAreCountedAndShowsHowFarItCame) {
    Add({{3, 2000, 10.0, 0, 3, {}, {}}});
    Start();
    Main().m_JobSettings.partitionSlice = 100;
    std::ofstream(Out(), std::ios::binary) << "old";
    std::string cancelledAt;
    int pointsAfter = 0;
    ui.OnDoEvents([&] {
        if (g_frmLongJob == nullptr) return;
        if (!cancelledAt.empty()) {
            ++pointsAfter;
            return;
        }
        const std::string& shown = Main().lblLp0.Caption;
        const std::size_t at = shown.find("処理中 ");
        if (at != std::string::npos && std::stoi(shown.substr(at + std::strlen("処理中 "))) >= 20) {
            cancelledAt = shown;
            static_cast<frmLongJob*>(g_frmLongJob)->cmdCancel_Click();
        }
    });
    Output([&] {
        ui.OnModal("frmSetPartitionAreaCSVOut",
                   [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdOK_Click(); });
        Main().mnuFilePartitionAreaTextOut_Click();
    }, Out());
    // 20 % of 94,000 values is 188 slices: band 10 of the row order is being counted.
    EXPECT_EQ(cancelledAt, "1／1測定 1／1分割 処理中 20%");
    EXPECT_EQ(pointsAfter, 0);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{kCancelled});
    EXPECT_EQ(Bytes(Out()), "old");
}

// Without measurements: jobs 8 and 10 say so and write nothing; job 9 fails; the others write
// their opening lines.
TEST_F(CsvJobs, AProjectWithoutMeasurements) {
    Start();
    struct Case {
        std::function<void()> command;
        std::vector<std::string> messages;
        const char* file;  // null: the old file stays
    };
    const std::vector<Case> cases{
        {[&] { Main().cmdOK_KeyDown('B', true); }, {"出力データがありません."}, nullptr},
        {[&] { Main().cmdOK_KeyDown('C', true); }, {"出力データがありません."}, nullptr},
        {[&] { Main().cmdOK_KeyDown('A', true); }, {kFailed}, nullptr},
        {[&] { Main().mnuFileCalcValueTextOut_Click(); }, {kWritten}, "\r\n\r\n"},
        {[&] { Main().mnuFileLmaxTextOut_Click(); }, {kWritten}, "\r\n"},
    };
    for (const Case& c : cases) {
        std::ofstream(Out(), std::ios::binary) << "old";
        ui.ClearTranscript();
        Output(c.command, Out());
        EXPECT_EQ(ui.MessageTexts(), c.messages);
        EXPECT_EQ(Bytes(Out()), c.file == nullptr ? "old" : c.file);
        EXPECT_EQ(g_frmLongJob, nullptr);
    }
}

// A damaged project: a band list shorter than the slots, a band whose level file is gone and one
// whose histogram is gone. Every output is written; the missing parts give name-only rows or ", ---",
// never a failure, and never the levels of an empty histogram (-60 dB) beside a real maximum.
TEST_F(CsvJobs, ShortBandListsAndMissingFilesStillGiveWholeOutputs) {
    Add({{3, 100, 10.0, 0, 3, {}, {}}});
    CChMeasure& ch = draft.Measures.Item(1).ChMeasures.Item(1);
    while (ch.BandLCalcInfos.count() > 5) ch.BandLCalcInfos.Delete(ch.BandLCalcInfos.count());
    fs::remove(fs::path(draft.BandFolder(3, 3)) / ch.LevelData.SaveFileName);
    ch.BandLCalcInfos.Item(4).LCalc.DeleteFile();
    Start();
    const auto lines = [&](const std::function<void()>& command) {
        Output(command, Out());
        std::vector<std::string> split;
        std::stringstream text(platform::Cp932ToUtf8(Bytes(Out())));
        for (std::string line; std::getline(text, line);) split.push_back(line.substr(0, line.size() - 1));
        return split;
    };
    const std::vector<std::string> job5 = lines([&] { Main().mnuFileCalcValueTextOut_Click(); });
    ASSERT_EQ(job5.size(), 2u + 4 + 7 + 47);
    EXPECT_EQ(job5[15], "0.8Hz帯域");  // slot 47: no record
    // Slot 4 without its histogram: its name alone; slot 3 without its level file: no LFmax.
    EXPECT_EQ(job5[job5.size() - 2], "16kHz帯域");
    EXPECT_EQ(job5.back().rfind("20kHz帯域,100,", 0), 0u);
    EXPECT_EQ(job5.back().substr(job5.back().size() - 10), ", ---, ---");
    const std::vector<std::string> job12 = lines([&] {
        ui.OnModal("frmSetPartitionAreaCSVOut",
                   [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdOK_Click(); });
        Main().mnuFilePartitionAreaTextOut_Click();
    });
    EXPECT_EQ(job12.back(), "20kHz帯域");
    for (const char key : {'A', 'B', 'C'}) lines([&] { Main().cmdOK_KeyDown(key, true); });
    const std::vector<std::string> job11 = lines([&] { Main().mnuFileLmaxTextOut_Click(); });
    std::size_t missing = 0;  // slots 47 down to 6 have no record
    for (std::size_t at = job11.back().find(", ---"); at != std::string::npos; at = job11.back().find(", ---", at + 1))
        ++missing;
    EXPECT_EQ(missing, 42u);
    // Every job that reads level files names the missing one once it is done; job 11 reads none. Job 5,
    // which writes the stored statistics, names the band whose histogram is missing.
    const std::string noLevels =
        "次の測定とバンドのレベル波形データがありません．\r\nレベル波形データから求める値は計算されていません．\r\n"
        "\r\nNo.1　1ch 20kHz帯域";
    const std::string noStatistics =
        "次の測定とバンドの統計データがありません．\r\nその統計値は出力されていません．\r\n\r\nNo.1　1ch 16kHz帯域";
    std::vector<std::string> told{kWritten, noLevels, noStatistics};
    for (int job = 1; job < 5; ++job) told.insert(told.end(), {kWritten, noLevels});
    told.push_back(kWritten);
    EXPECT_EQ(ui.MessageTexts(), told);
}

// The commands ask for the file in the text outputs' dialog; Cancel, keys without Alt, other
// letters and a cancelled partition dialog run no job.
TEST_F(CsvJobs, CommandsAskForTheFileFirst) {
    Add({{1, 20, 10.0, 0, 3, {}, {}}});
    Start();
    g_SelFileName = "kept";
    g_JobNo = 0;
    ui.ChooseNext(std::nullopt);
    Main().mnuFileCalcValueTextOut_Click();
    Main().cmdOK_KeyDown('a', false);
    Main().cmdOK_KeyDown('D', true);
    ui.OnModal("frmSetPartitionAreaCSVOut",
               [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdCancel_Click(); });
    Main().mnuFilePartitionAreaTextOut_Click();
    EXPECT_EQ(g_SelFileName, "kept");
    EXPECT_EQ(g_JobNo, 0);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const platform::FileDialogRequest& r = ui.Dialogs()[0].Request;
    EXPECT_EQ(r.Title, "出力するﾌｧｲﾙ名を指定して下さい．");
    EXPECT_EQ(r.Filter, "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv");
    EXPECT_TRUE(r.OverwritePrompt && r.HideReadOnly && r.PathMustExist && r.NoReadOnlyReturn && !r.FileMustExist);
    EXPECT_EQ(r.FileName, "");
    // A chosen name is where the job writes (each command's job: the golden files above).
    Output([&] { Main().cmdOK_KeyDown('a', true); }, Out());
    EXPECT_EQ(g_JobNo, 9);
    EXPECT_EQ(g_SelFileName, Out());
}

// Former bug: the calculation values took the open project's file as their target, and the project
// became a CSV file. The project file under a hard link's name and a file among its statistics are
// refused in the dialog, which stays open for another name.
TEST_F(CsvJobs, TheOpenProjectsOwnFilesAreRefusedInTheDialog) {
    Add({{1, 20, 10.0, 0, 3, {}, {}}});
    Start();
    const std::string saved = Bytes(project);
    const std::string link = (home / "p.csv").string();
    fs::create_hard_link(project, link);
    ui.ChooseNext(link);
    ui.ChooseNext((home / "data" / "LCalc" / "x.csv").string());
    Output([&] { Main().mnuFileCalcValueTextOut_Click(); }, Out());
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{
                  "p.csv\r\n開いているプロジェクトファイルには出力できません．\r\n別のファイル名を指定して下さい．",
                  "x.csv\r\n開いているプロジェクトのＬ値計算データ保存フォルダには出力できません．\r\n別のフォルダを指定して下さい．",
                  kWritten}));
    EXPECT_EQ(g_SelFileName, Out());
    EXPECT_EQ(Bytes(project), saved);
    EXPECT_EQ(Bytes(link), saved);
    EXPECT_FALSE(fs::exists(home / "data" / "LCalc" / "x.csv"));
}

// Outputs write the memo the box shows at once, typed just now without a save; a TAB pasted into the
// box is a space there and in the file.
TEST_F(CsvJobs, OutputsWriteTheMemoTheBoxShows) {
    Start();
    const std::vector<std::pair<std::string, std::string>> typed{{"typed just now", "typed just now"},
                                                                 {"col1\tcol2\r\n\tnext", "col1 col2\r\n next"}};
    for (const auto& [text, shown] : typed) {
        Main().txtMEMO.Text = text;
        Main().txtMEMO_Change();
        EXPECT_EQ(Main().txtMEMO.Text, shown);
        Output([&] { Main().mnuFileCalcValueTextOut_Click(); }, Out());
        EXPECT_EQ(Bytes(Out()), shown + "\r\n\r\n");
    }
}

// A memo with characters CP932 lacks is told once, when the user leaves the box or else before the
// first file it goes into, with what each character becomes; the box keeps what was typed.
TEST_F(CsvJobs, AMemoTheFilesCannotKeepIsToldOnceBeforeAnyFileHoldsIt) {
    const std::string told =
        "メモに保存できない文字があります．\r\n保存すると次のように置き換わります．\r\n\r\n"
        "「é」→「?」\r\n「ß」→「?」\r\n「€」→「?」";
    Start();
    for (const bool leaveTheBox : {true, false}) {
        SCOPED_TRACE(leaveTheBox ? "left the box" : "straight to the output");
        ui.ClearTranscript();
        Main().txtMEMO.Text = leaveTheBox ? "Café ß é €5" : "Café ß é €5 ";
        Main().txtMEMO_Change();
        if (leaveTheBox) {
            Main().txtMEMO_LostFocus();
            EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{told});
            Main().txtMEMO_LostFocus();
        }
        Output([&] { Main().mnuFileCalcValueTextOut_Click(); }, Out());
        EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{told, kWritten}));
        EXPECT_EQ(ui.Messages().front().Icon, platform::MsgIcon::Exclamation);
        EXPECT_EQ(Main().txtMEMO.Text, leaveTheBox ? "Café ß é €5" : "Café ß é €5 ");
        EXPECT_EQ(Bytes(Out()), leaveTheBox ? "Caf? ? ? ?5\r\n\r\n" : "Caf? ? ? ?5 \r\n\r\n");
    }
    // Nor is it told again when the project is saved.
    ui.ClearTranscript();
    EXPECT_TRUE(Main().SaveData());
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace murtesk::testing
