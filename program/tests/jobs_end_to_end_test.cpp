// A project imported from generated recordings through the real analysis library and opened on the
// main screen: given new excluded ranges and recalculated by the long job, every band's target
// statistics equal those the test computes straight from the band's level file; and every text
// output over its measurements reads back as CSV with the levels of those files.
#include "MainSub.h"
#include "frmMeasure.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "import_recordings.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/text_encoding.h"
#include "scratch_folder.h"

#include <cmath>
#include <filesystem>
#include <sstream>

namespace murtesk::testing {
namespace {

namespace fs = std::filesystem;

// Statistics straight from a band's level values: the energy takes every value, the count (and so
// the Leq) only those inside the histogram's bins; the maximum and its first position.
struct Direct {
    double leq = -60.0;
    double lmax = -60.0;
    std::int32_t pos = -1;
    std::int64_t counted = 0;
};

Direct DirectOf(const std::vector<float>& all, const std::function<bool(std::int32_t)>& skip = {}) {
    Direct d;
    double energy = 0.0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto p = static_cast<std::int32_t>(i + 1);
        if (skip && skip(p)) continue;
        energy += std::pow(10.0, all[i] / 10.0);
        if (all[i] > d.lmax) d.lmax = all[i], d.pos = p;
        d.counted += all[i] >= -60.05f && all[i] < 169.95f ? 1 : 0;
    }
    if (d.counted > 0) d.leq = 10.0 * std::log10(energy / static_cast<double>(d.counted));
    return d;
}

// Recordings imported through the analysis library into a project that the main screen opens.
class JobsEndToEnd : public ::testing::Test {
protected:
    JobsEndToEnd() {
        fs::create_directories(home / "data");
        setenv("MURTESK_HOME", home.c_str(), 1);
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = {};
        g_Preserve.reset();
    }
    ~JobsEndToEnd() override {
        g_Preserve.reset();
        g_frmMeasure = nullptr;
        unsetenv("MURTESK_HOME");
    }

    // Two channels, one in octaves at 10 values a second, one in one-third octaves; one
    // measurement per recording of the given seconds.
    void ImportAndOpen(const std::vector<double>& seconds) {
        {
            CPreserve& preserve = *OpenPreserve();
            preserve.SaveFilePath = project;
            CChMeasures& conditions = preserve.WAVMeasure.ChMeasures;
            conditions.AllDelete();
            conditions.AddNew();
            CChMeasureCondition& third = conditions.AddNew().ChMeasureCondition;
            third.oct1or3 = 3;
            third.StartHz = 20.0;
            third.EndHz = 8000.0;
            ImportRecordings(ui, home.string(), seconds);
            ASSERT_EQ(preserve.Measures.count(), static_cast<std::int32_t>(seconds.size()));
            ASSERT_EQ(preserve.Measures.Item(1).ChMeasures.Item(2).ChMeasureCondition.oct1or3, 3);
            ASSERT_TRUE(preserve.FileWrite(project));
        }
        g_Preserve.reset();
        g_CommandLine = {project};
        Main(ui, forms);
        ui.RunPendingActivations();
        ASSERT_FALSE(g_bStartSelect);
        ui.ClearTranscript();
    }

    const test_support::ScratchFolder scratch_{"jobs-e2e"};
    const fs::path home = scratch_.path();
    const std::string project = (home / "data" / "p.qvd").string();
    platform::testing::FakeUi ui;
    ProgramForms forms;
};

TEST_F(JobsEndToEnd, RecalculationAfterNewExcludedRangesGivesTheDirectStatistics) {
    ImportAndOpen({4.0});
    CPreserve& doc = *OpenPreserve();
    CMeasure& m = doc.Measures.Item(1);
    for (const auto& channel : m.ChMeasures) {
        for (const auto& band : channel->BandLCalcInfos) {
            band->Scopes.Add(CScope(std::int32_t{3}, std::int32_t{12}));
            band->Scopes.Add(CScope(std::int32_t{30}, std::int32_t{33}));
        }
    }
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.OnModal("frmLongJob", [](platform::Form&) {});
    forms.measure->mnuToolAllCalc_Click();
    ASSERT_EQ(ui.MessageTexts().back(), "全測定の再計算を終了しました．");

    int compared = 0;
    for (const auto& channel : m.ChMeasures) {
        const std::int16_t mode = channel->ChMeasureCondition.oct1or3;
        ASSERT_EQ(channel->BandLCalcInfos.count(), SlotCount(mode));
        for (std::int16_t k = 1; k <= SlotCount(mode); ++k) {
            const std::vector<float> all = ReadFloats(doc.BandFolder(mode, k) + "/" + channel->LevelData.SaveFileName);
            ASSERT_EQ(all.size(), static_cast<std::size_t>(4 * channel->ChMeasureCondition.LevelOutHz));
            const Direct d = DirectOf(all, [](std::int32_t p) { return (p >= 3 && p <= 12) || (p >= 30 && p <= 33); });
            const CLCalc& calc = channel->BandLCalcInfos.Item(k).LCalc;
            EXPECT_EQ(calc.ValueCount(), d.counted) << "slot " << k;
            if (d.counted > 0) {
                EXPECT_NEAR(calc.getLeq(), d.leq, 1e-6) << "slot " << k;
                EXPECT_DOUBLE_EQ(calc.getLmax(), d.lmax) << "slot " << k;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 17 + 20);
}

// The fields of each line of a CP932 text output.
std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    const std::string text = platform::Cp932ToUtf8(bytes);
    std::vector<std::vector<std::string>> lines;
    for (const std::string& line : SplitByCrLf(text)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, ',');) fields.push_back(field);
        lines.push_back(fields);
    }
    EXPECT_TRUE(lines.back().empty());  // the last line ends in CR LF too
    lines.pop_back();
    return lines;
}

TEST_F(JobsEndToEnd, EveryTextOutputAgreesWithTheLevelFiles) {
    ImportAndOpen({4.0, 3.0});
    CPreserve& doc = *OpenPreserve();
    const auto levels = [&](int i, int c, std::int16_t k) {
        const CChMeasure& ch = doc.Measures.Item(i).ChMeasures.Item(c);
        return ReadFloats(doc.BandFolder(ch.ChMeasureCondition.oct1or3, k) + "/" + ch.LevelData.SaveFileName);
    };
    // The F band's level at its own maximum, moved by its delay, as the outputs print it.
    const auto fAtMaximum = [&](int i, int c) {
        const std::vector<float> f = levels(i, c, 1);
        const CChMeasureCondition& cond = doc.Measures.Item(i).ChMeasures.Item(c).ChMeasureCondition;
        const std::int32_t p = AddBandDelay(cond.oct1or3, 1, DirectOf(f).pos, cond.LevelOutHz);
        return static_cast<double>(f.at(static_cast<std::size_t>(p - 1)));
    };
    const auto run = [&](const std::function<void()>& command) {
        const std::string out = (home / "out.csv").string();
        ui.ChooseNext(out);
        ui.OnModal("frmLongJob", [](platform::Form&) {});
        command();
        EXPECT_EQ(ui.MessageTexts().back(), "テキストファイルを出力しました．");
        return ReadCsv(out);
    };
    const std::vector<std::pair<int, int>> channels{{1, 1}, {1, 2}, {2, 1}, {2, 2}};
    // Every band row after each header: its Leq (field leqField) against the level file's.
    const auto checkLeq = [&](const std::vector<std::vector<std::string>>& lines, std::size_t leqField) {
        int compared = 0;
        std::size_t header = 0;
        for (std::size_t l = 0; l < lines.size(); ++l) {
            if (lines[l].empty() || lines[l][0] != "BAND") continue;
            const auto [i, c] = channels.at(header++);
            const std::int16_t mode = doc.Measures.Item(i).ChMeasures.Item(c).ChMeasureCondition.oct1or3;
            std::vector<std::int16_t> slots{1, 2};
            for (std::int16_t k = SlotCount(mode); k >= 3; --k) slots.push_back(k);
            for (std::size_t r = 0; r < slots.size(); ++r) {
                const std::vector<std::string>& row = lines.at(l + 1 + r);
                const Direct d = DirectOf(levels(i, c, slots[r]));
                if (row.size() == 1) {
                    EXPECT_EQ(d.counted, 0) << row[0];
                    continue;
                }
                EXPECT_NEAR(std::stod(row.at(leqField)), d.leq, 0.05 + 1e-9) << i << "/" << c << " " << row[0];
                ++compared;
            }
        }
        EXPECT_EQ(header, channels.size());
        EXPECT_GT(compared, 2 * (17 + 20));
    };
    checkLeq(run([&] { forms.measure->mnuFileCalcValueTextOut_Click(); }), 2);
    ui.OnModal("frmSetPartitionAreaCSVOut",
               [](platform::Form& f) { static_cast<frmSetPartitionAreaCSVOut&>(f).cmdOK_Click(); });
    checkLeq(run([&] { forms.measure->mnuFilePartitionAreaTextOut_Click(); }), 1);

    // Lmax of every band, channel by channel.
    const auto lmax = run([&] { forms.measure->mnuFileLmaxTextOut_Click(); });
    std::size_t lmaxLines = 0;
    for (std::size_t l = 0; l < lmax.size(); ++l) {
        if (lmax[l].empty() || lmax[l][0] != "Ch") continue;
        const auto [i, c] = channels.at(lmaxLines++);
        EXPECT_EQ(lmax.at(l + 1).at(0), std::to_string(c));
        EXPECT_NEAR(std::stod(lmax[l + 1][1]), DirectOf(levels(i, c, 1)).lmax, 0.05 + 1e-9);
        EXPECT_NEAR(std::stod(lmax[l + 1][2]), DirectOf(levels(i, c, 2)).lmax, 0.05 + 1e-9);
    }
    EXPECT_EQ(lmaxLines, channels.size());

    // The F maximum per measurement and channel; per channel number, the one-third-octave rows.
    const auto trains = run([&] { forms.measure->cmdOK_KeyDown('A', true); });
    ASSERT_EQ(trains.size(), 4u);
    EXPECT_EQ(trains[1], (std::vector<std::string>{"列車No.", " 1ch", " 2ch"}));
    for (const auto& [i, c] : channels) {
        EXPECT_NEAR(std::stod(trains.at(1 + i).at(c)), fAtMaximum(i, c), 0.05 + 1e-9);
    }
    const auto perChannel = run([&] { forms.measure->cmdOK_KeyDown('B', true); });
    ASSERT_EQ(perChannel.size(), 3u);  // channel 1 is in octaves: channel 2's rows alone
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(perChannel[i][0] + "," + perChannel[i][1], "2ch, No." + std::to_string(i));
        EXPECT_EQ(perChannel[i].size(), 2u + 46);
        EXPECT_NEAR(std::stod(perChannel[i][2]), fAtMaximum(i, 2), 0.05 + 1e-9);
    }
    // Without a channel 4 the variant is job 8 after its first line, except that a band without
    // statistics of its own still gives its level (-1000 where the analysis passed nothing).
    const auto channel4 = run([&] { forms.measure->cmdOK_KeyDown('C', true); });
    ASSERT_EQ(channel4.size(), 4u);
    EXPECT_EQ(channel4[1], perChannel[0]);
    for (int i = 1; i <= 2; ++i) {
        ASSERT_EQ(channel4[1 + i].size(), perChannel[i].size());
        for (std::size_t f = 0; f < perChannel[i].size(); ++f) {
            if (perChannel[i][f] != " ---") {
                EXPECT_EQ(channel4[1 + i][f], perChannel[i][f]);
            }
        }
    }
}

}  // namespace
}  // namespace murtesk::testing
