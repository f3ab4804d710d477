// The calculation screen's text outputs on a recording imported through the built analysis library:
// every output written from the screen's commands, its values checked against the imported level
// files read here.
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetTestFileOut.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "model/testing/level_oracle.h"
#include "platform/numbers.h"
#include "platform/text_encoding.h"

namespace murtesk::testing {
namespace {

class TextOutputsEndToEnd : public MainScreenTest {
protected:
    TextOutputsEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
    // The lines of a written file, in UTF-8 without their CR LF.
    static std::vector<std::string> Lines(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        const std::string text = platform::Cp932ToUtf8(bytes);
        std::vector<std::string> lines;
        for (std::size_t at = 0, next; (next = text.find("\r\n", at)) != std::string::npos; at = next + 2)
            lines.push_back(text.substr(at, next - at));
        return lines;
    }
    std::vector<float> Levels(const CChMeasure& ch, std::int16_t slot) {
        return ReadFloats(
            *ch.LevelData.PathIn(GetBandFolder(Records().SaveFilePath, ch.ChMeasureCondition.oct1or3, slot)));
    }
};

TEST_F(TextOutputsEndToEnd, EveryOutputOfAnImportedRecording) {
    const std::string project = Data("road.qvd");
    PreserveDocument empty;
    empty.SetSaveFilePath(project);
    ASSERT_TRUE(empty.FileWrite(project));
    Start({project});
    ImportRecordings(ui, (home / "data").string(), {10.0});
    ASSERT_EQ(Records().Measures.count(), 1);
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    const CChMeasure& ch = *Calc().Shown().channel;
    const std::int16_t slot = Calc().Shown().band;
    const std::vector<float> levels = Levels(ch, slot);
    ASSERT_GT(levels.size(), 50u);
    const auto text = [](float v) { return platform::FormatNumber(v, "000.00"); };
    const std::string written = "テキストファイルを出力しました．";

    // The whole series at the first interval: every value of the level file after 9 header lines.
    ui.ClearTranscript();
    ui.OnModal("frmSetTestFileOut", [](platform::Form& f) { static_cast<frmSetTestFileOut&>(f).cmdOK_Click(); });
    ui.ChooseNext(Data("series.csv"));
    Calc().mnuTextFile_Click();
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{written});
    // The header ends with the second rule (the channel memo may span lines).
    const std::vector<std::string> series = Lines(Data("series.csv"));
    const auto rule = std::find(std::find(series.begin(), series.end(), "'--------------------") + 1, series.end(),
                                "'--------------------");
    ASSERT_NE(rule, series.end());
    const auto first = static_cast<std::size_t>(rule - series.begin()) + 1;
    ASSERT_EQ(series.size(), first + levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) ASSERT_EQ(series[first + i], text(levels[i])) << i;

    // The LE range 11..40 of the shown band, shown channel and band only.
    Calc().setLEArea(11, 40);
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.AnswerNext(platform::MsgAnswer::No);
    ui.ChooseNext(Data("le.csv"));
    Calc().cmdLETextOut_Click();
    ASSERT_EQ(ui.MessageTexts().back(), written);
    const std::vector<std::string> le = Lines(Data("le.csv"));
    ASSERT_EQ(le.size(), 7u + 30u);
    for (std::size_t i = 0; i < 30; ++i) EXPECT_EQ(le[7 + i], text(levels[10 + i]));

    // Every channel and band as columns: one per slot of each channel, 30 rows.
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.ChooseNext(Data("columns.csv"));
    Calc().cmdLETextOut_Click();
    ASSERT_EQ(ui.MessageTexts().back(), written);
    const std::vector<std::string> columns = Lines(Data("columns.csv"));
    ASSERT_EQ(columns.size(), 5u + 30u);
    std::size_t slots = 0;
    for (const auto& c : Records().Measures.Item(1).ChMeasures) slots += SlotCount(c->ChMeasureCondition.oct1or3);
    EXPECT_EQ(static_cast<std::size_t>(std::count(columns[3].begin(), columns[3].end(), ',')) + 1, slots);

    // The calculation values: a block per channel with one row per slot.
    ui.ClearTranscript();
    ui.ChooseNext(Data("calc.csv"));
    Calc().mnuCalcTextFile_Click();
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{written});
    // The memos are written as they stand, line breaks included.
    const auto breaks = [](const std::string& memo) {
        return static_cast<std::size_t>(std::count(memo.begin(), memo.end(), '\n'));
    };
    std::size_t memoLines = breaks(Records().Measures.Item(1).MeasureCondition.Account);
    for (const auto& c : Records().Measures.Item(1).ChMeasures) memoLines += breaks(c->ChMeasureCondition.Account);
    EXPECT_EQ(Lines(Data("calc.csv")).size(),
              3 + 7 * Records().Measures.Item(1).ChMeasures.count() + slots + memoLines);

    // One part of a minute over the whole recording: the shown band, its Leq over the file.
    ui.ClearTranscript();
    ui.OnModal("frmSetPartitionAreaCSVOut", [](platform::Form& f) {
        auto& d = static_cast<frmSetPartitionAreaCSVOut&>(f);
        d.txtSplitMin.Text = "1";
        d.cmdOK_Click();
    });
    ui.ChooseNext(Data("parts.csv"));
    Calc().mnuFilePartitionAreaCSVOut_Click();
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{written});
    const std::vector<std::string> parts = Lines(Data("parts.csv"));
    ASSERT_GE(parts.size(), 8u);
    EXPECT_EQ(parts[1], "===== 分割1");
    std::vector<std::pair<std::int64_t, float>> shown;
    for (std::size_t i = 0; i < levels.size(); ++i) shown.emplace_back(static_cast<std::int64_t>(i + 1), levels[i]);
    const OracleStats stats = Oracle(shown, ch.ChMeasureCondition.LevelOutHz);
    const std::string name = slot == 2 ? ch.ChMeasureCondition.getWName(true, g_OriginalWs)
                                       : std::string(GetBandName(ch.ChMeasureCondition.oct1or3, slot));
    const std::string row = parts[7];
    EXPECT_EQ(row.substr(0, row.find(',', row.find(',') + 1)), name + "," + platform::FormatNumber(stats.leq, "0.0"));
}

}  // namespace
}  // namespace murtesk::testing
