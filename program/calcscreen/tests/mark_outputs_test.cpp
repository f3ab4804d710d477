// The mark-range outputs of the calculation screen: the shown channel's file and the all-channel
// file over generated level files, each line compared with one composed here from statistics
// computed the plain way over the same values.
#include "mark_outputs_fixture.h"

#include "platform/text_output.h"

namespace murtesk::testing {
namespace {

class MarkOutputs : public MarkOutputsTest {};

TEST_F(MarkOutputs, ShownChannelAllSlots) {
    for (const bool exclude : {true, false}) {
        SCOPED_TRACE(exclude);
        EXPECT_EQ(ShownChannelLines(kSlot1k, true, exclude), ExpectedShownChannel(kSlot1k, true, exclude));
    }
}

TEST_F(MarkOutputs, ShownChannelOneSlotNamedByItsBandOrWeighting) {
    for (const std::int16_t slot : {kSlot1k, std::int16_t{1}, std::int16_t{2}}) {
        SCOPED_TRACE(slot);
        const std::vector<std::string> lines = ShownChannelLines(slot, false, false);
        EXPECT_EQ(lines, ExpectedShownChannel(slot, false, false));
        ASSERT_EQ(lines.size(), 2u * 5u);
    }
    EXPECT_TRUE(StartsWith(ShownChannelLines(kSlot1k, false, false)[4], "1kHz帯域,"));
    EXPECT_TRUE(StartsWith(ShownChannelLines(1, false, false)[4], "Ｆ特性,"));
    EXPECT_TRUE(StartsWith(ShownChannelLines(2, false, false)[4], "Ａ特性,"));
}

TEST_F(MarkOutputs, HeadingsAndTimesOfTheBlocks) {
    const std::vector<std::string> lines = ShownChannelLines(kSlot1k, true, true);
    ASSERT_EQ(lines.size(), 2u * (3u + 1u + 47u));
    EXPECT_EQ(lines[0], "============ 1, 動特性ＦＡＳＴ");
    EXPECT_EQ(lines[1], "計算開始日時, 2023/03/15 09:00:00");
    EXPECT_EQ(lines[2], "計算終了日時, 2023/03/15 09:00:09");
    EXPECT_EQ(lines[3], "BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,Ｌeq(Ｌmax-10dB),ＬFmax,ＬWmax,Ｌ30,"
                        "計算秒数, 計算秒数(Ｌmax-10dB)");
    // Slots 1, 2 and 5 are excluded over all of mark 1: their names alone, and no moments.
    EXPECT_EQ(lines[4], "Ｆ特性");
    EXPECT_EQ(lines[5], "補正特性");
    EXPECT_EQ(lines[6], "0.8Hz帯域");
    EXPECT_EQ(lines[51], "============ 2, 動特性ＦＡＳＴ");
    EXPECT_EQ(lines[52], "計算開始日時, 2023/03/15 09:00:10");
    EXPECT_EQ(lines[53], "計算終了日時, 2023/03/15 09:00:34");
}

TEST_F(MarkOutputs, AllChannels) {
    for (const bool exclude : {true, false}) {
        SCOPED_TRACE(exclude);
        EXPECT_EQ(AllChannelLines(kSlot1k, exclude), ExpectedAllChannels(kSlot1k, exclude));
    }
    const std::vector<std::string> lines = AllChannelLines(kSlot1k, true);
    EXPECT_EQ(lines[0], "===> マーク範囲 1 ／ 2");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "----> 1ch ／ 3ch, 動特性ＦＡＳＴ");
    EXPECT_TRUE(EndsWith(lines[5], ",Ｌ30,計算秒数, 計算秒数(Ｌmax-10dB)"));
}

TEST_F(MarkOutputs, ChannelWithoutBandsKeepsItsHeadingAndEndsTheRange) {
    Channel(1, 2).ChMeasureCondition.oct1or3 = 2;
    const std::vector<std::string> lines = AllChannelLines(kSlot1k, false);
    // Range heading, start, end, channel 1 (empty line, heading, header, 47 rows), channel 2's
    // empty line and heading, the closing empty line; then the second range the same way.
    ASSERT_EQ(lines.size(), 2u * (3u + 50u + 2u + 1u));
    EXPECT_EQ(lines[54], "----> 2ch ／ 3ch, 動特性ＦＡＳＴ");
    EXPECT_EQ(lines[55], "");
    EXPECT_EQ(lines[56], "===> マーク範囲 2 ／ 2");
}

TEST_F(MarkOutputs, ScaledRangesRoundHalfToEvenAndStartAtOne) {
    EXPECT_EQ(ScaledRange(3, 7, 10.0, 10.0), (std::pair<std::int32_t, std::int32_t>{3, 7}));
    EXPECT_EQ(ScaledRange(3, 7, 10.0, 100.0), (std::pair<std::int32_t, std::int32_t>{30, 70}));
    // 1 x 0.25 and 6 x 0.25 = 1.5; 10 x 0.25 = 2.5.
    EXPECT_EQ(ScaledRange(1, 10, 100.0, 25.0), (std::pair<std::int32_t, std::int32_t>{1, 2}));
    EXPECT_EQ(ScaledRange(6, 14, 100.0, 25.0), (std::pair<std::int32_t, std::int32_t>{2, 4}));
    // 86,400,000 positions of a day at 1,000 values/s carried to 100,000 values/s exceed 32 bits.
    EXPECT_EQ(ScaledRange(1, 86'400'000, 1000.0, 100000.0).second, INT32_MAX);
    EXPECT_EQ(ScaledRange(3, 7, 10.0, 0.0), (std::pair<std::int32_t, std::int32_t>{3, 7}));
}

TEST_F(MarkOutputs, RateOfZeroGivesNameOnlyRows) {
    Channel(1, 1).ChMeasureCondition.LevelOutHz = 0.0;
    const std::vector<std::string> lines = ShownChannelLines(kSlot1k, false, false);
    ASSERT_EQ(lines.size(), 2u * 5u);
    EXPECT_EQ(lines[4], "1kHz帯域");
    EXPECT_EQ(lines[2], "計算終了日時, 2023/03/15 09:00:00");
}

TEST_F(MarkOutputs, SameTextOnOneThreadAsOnMany) {
    EXPECT_EQ(AllChannelLines(kSlot1k, true, 1), AllChannelLines(kSlot1k, true, 8));
}

// ---- The files, through the screen's writers.

class MarkFiles : public MarkOutputsTest {
protected:
    MarkFiles() {
        Show(1);
        ChooseBand(kSlot1k);
        ui.ClearTranscript();
    }
    std::string Out(const std::string& name) const { return (folder / name).string(); }
    std::size_t HistogramFiles() const {
        std::size_t n = 0;
        const fs::path lcalc = GetLCalcFolder(ProjectPath());
        if (fs::exists(lcalc))
            for (const auto& e : fs::directory_iterator(lcalc)) n += e.path().extension() == ".ldt";
        return n;
    }
    std::vector<std::string> FilesIn(const fs::path& dir) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(MarkFiles, BothFilesByteForByte) {
    const std::size_t histograms = HistogramFiles();
    calc.chkCalcAreaInfluence.Value = true;
    ASSERT_TRUE(calc.writeMarkAreaCalcAllBand(Out("marks.csv")));
    ASSERT_TRUE(calc.writeAllChMarkAreaCalc(Out("all.csv")));
    calc.chkCalcAreaInfluence.Value = false;
    ASSERT_TRUE(calc.writeMarkAreaCalcOneBand(Out("one")));

    const std::string marks = Bytes(Out("marks.csv"));
    EXPECT_EQ(marks, FileOf(ExpectedShownChannel(kSlot1k, true, true)));
    EXPECT_EQ(Bytes(Out("all.csv")), FileOf(ExpectedAllChannels(kSlot1k, true)));
    EXPECT_EQ(Bytes(Out("one")), FileOf(ExpectedShownChannel(kSlot1k, false, false)));
    // "Ｌ" and "／" as CP932 writes them.
    EXPECT_NE(marks.find("BAND,\x82\x6B" "eq"), std::string::npos);
    EXPECT_NE(Bytes(Out("all.csv")).find(" \x81\x5E "), std::string::npos);
    EXPECT_EQ(HistogramFiles(), histograms);
}

TEST_F(MarkFiles, FailingWriteKeepsTheOldFileAndLeavesNothingElse) {
    std::ofstream(Out("old.csv")) << "old";
    fs::create_directories(GetLCalcFolder(ProjectPath()));  // the project's histogram folder may appear
    const std::vector<std::string> before = FilesIn(folder);
    const std::size_t histograms = HistogramFiles();
    platform::SetWriteLimitForTests(300);
    EXPECT_FALSE(calc.writeAllChMarkAreaCalc(Out("old.csv")));
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(Bytes(Out("old.csv")), "old");
    EXPECT_EQ(FilesIn(folder), before);
    EXPECT_EQ(HistogramFiles(), histograms);
    // A folder that does not exist, and a folder's own name.
    EXPECT_FALSE(calc.writeMarkAreaCalcAllBand((folder / "missing" / "x.csv").string()));
    EXPECT_FALSE(calc.writeMarkAreaCalcAllBand(folder.string()));
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(MarkFiles, WithoutMarksTheAllChannelFileIsEmpty) {
    Info(1, kSlot1k).MarkScopes.AllDelete();
    ASSERT_TRUE(calc.writeAllChMarkAreaCalc(Out("empty.csv")));
    EXPECT_TRUE(fs::exists(Out("empty.csv")));
    EXPECT_EQ(Bytes(Out("empty.csv")), "");
}

// ---- The commands, through the screen's one save dialog.

TEST_F(MarkFiles, CommandsAskForTheFileWriteAndSaySo) {
    calc.chkAllBandMarkCalc.Value = false;  // the one-slot writer, chosen at the click
    calc.chkCalcAreaInfluence.Value = false;
    ui.ChooseNext(Out("result"));
    calc.cmdMarkTextOut_Click();
    EXPECT_EQ(Bytes(Out("result")), FileOf(ExpectedShownChannel(kSlot1k, false, false)));
    EXPECT_FALSE(fs::exists(Out("result.csv")));
    const std::string title = "出力するﾌｧｲﾙ名を指定して下さい．";
    const std::string written = "テキストファイルを出力しました．";
    EXPECT_EQ(ui.Events(), (std::vector<std::string>{"save " + title, "busy on", "msg " + written, "busy off"}));

    ui.ChooseNext(Out("all.csv"));
    calc.cmdAllChMarkTextOut_Click();
    EXPECT_EQ(Bytes(Out("all.csv")), FileOf(ExpectedAllChannels(kSlot1k, false)));
    ASSERT_EQ(ui.Dialogs().size(), 2u);
    const platform::FileDialogRequest& first = ui.Dialogs()[0].Request;
    EXPECT_EQ(first.Filter, "テキストファイル(*.csv;*.txt)|*.csv;*.txt");
    EXPECT_TRUE(first.OverwritePrompt && first.HideReadOnly && first.PathMustExist && first.NoReadOnlyReturn);
    EXPECT_EQ(ui.Dialogs()[1].Request.Filter, "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv");
    EXPECT_EQ(ui.Dialogs()[1].Request.FileName, Out("result"));  // the name last chosen
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].Text, written);
    EXPECT_EQ(ui.Messages()[1].Buttons, platform::MsgButtons::OK);
    EXPECT_EQ(ui.Messages()[1].Icon, platform::MsgIcon::None);
}

TEST_F(MarkFiles, WithoutMarksTheShownChannelsCommandDoesNothing) {
    Info(1, kSlot1k).MarkScopes.AllDelete();
    ChooseBand(kSlot1k);
    ui.ClearTranscript();
    calc.cmdMarkTextOut_Click();
    EXPECT_TRUE(ui.Events().empty()) << ::testing::PrintToString(ui.Events());
}

TEST_F(MarkFiles, CancelOrAnEmptyNameKeepsTheOldFileSilently) {
    std::ofstream(Out("old.csv")) << "old";
    ui.ChooseNext(std::nullopt);
    calc.cmdMarkTextOut_Click();
    ui.ChooseNext(std::string());
    calc.cmdAllChMarkTextOut_Click();
    EXPECT_EQ(Bytes(Out("old.csv")), "old");
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(ui.Busy());
}

TEST_F(MarkFiles, FailingCommandKeepsTheOldFileAndSaysSoOnce) {
    std::ofstream(Out("old.csv")) << "old";
    fs::create_directories(GetLCalcFolder(ProjectPath()));
    const std::vector<std::string> before = FilesIn(folder);
    platform::SetWriteLimitForTests(300);
    ui.ChooseNext(Out("old.csv"));
    calc.cmdAllChMarkTextOut_Click();
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(Bytes(Out("old.csv")), "old");
    EXPECT_EQ(FilesIn(folder), before);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"テキストファイル出力が失敗しました．"});
    EXPECT_FALSE(ui.Busy());
}

// Former bug: a writer that ran out of memory threw through the command's handler, which ends the
// program under the event loop.
TEST_F(MarkFiles, AWriterOutOfMemoryEndsTheCommandWithItsFailureMessage) {
    std::ofstream(Out("old.csv")) << "old";
    fs::create_directories(GetLCalcFolder(ProjectPath()));
    const std::vector<std::string> before = FilesIn(folder);
    const std::size_t histograms = HistogramFiles();
    platform::SetLineLimitForTests(3);
    ui.ChooseNext(Out("old.csv"));
    EXPECT_NO_THROW(calc.cmdAllChMarkTextOut_Click());
    platform::SetLineLimitForTests(-1);
    EXPECT_EQ(Bytes(Out("old.csv")), "old");
    EXPECT_EQ(FilesIn(folder), before);
    EXPECT_EQ(HistogramFiles(), histograms);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"テキストファイル出力が失敗しました．"});
    EXPECT_FALSE(ui.Busy());
}

}  // namespace
}  // namespace murtesk::testing
