// The measurement list of the main screen: its enabling, selection, check marks, moving,
// deleting, the hand-over to the calculation screen and opening a project by dropping it.
#include "mainscreen_fixture.h"

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

constexpr const char* kSelectRow = "処理したいデータを一覧から選択（強調表示）してください．";
constexpr const char* kCannotSave = "保存できなくなりました.終了します.";

class MeasureList : public MainScreenTest {
protected:
    std::string StartWith(const std::string& name, int n)
    {
        const std::string project = WriteProject(name, n);
        Start({project});
        EXPECT_FALSE(g_bStartSelect);
        ui.ClearTranscript();
        FakeDocument::log.clear();
        return project;
    }

    std::vector<std::string> Files() const
    {
        std::vector<std::string> files;
        for (const auto& m : const_cast<MeasureList*>(this)->Doc().measures) {
            files.push_back(m.file);
        }
        return files;
    }

    std::vector<std::string> SavedFiles(const std::string& project) const
    {
        FakeDocument d("");
        EXPECT_TRUE(d.FileRead(project));
        std::vector<std::string> files;
        for (const auto& m : d.measures) {
            files.push_back(m.file);
        }
        return files;
    }

    void Select(int row) { Main().ListView1.SelectedIndex = row - 1; }
    void Check(int row) { Main().ListView1.Rows.at(static_cast<std::size_t>(row - 1)).Checked = true; }

    // The commands that need a measurement, with their enabled state.
    std::vector<bool> ListCommands()
    {
        frmMeasure& f = Main();
        return {f.cmdDEL.Enabled, f.cmdUp.Enabled, f.cmdDown.Enabled, f.cmdOK.Enabled, f.cmdAllON.Enabled,
                f.cmdAllOFF.Enabled, f.mnuFileCalcValueTextOut.Enabled, f.mnuFilePartitionAreaTextOut.Enabled,
                f.mnuFileLmaxTextOut.Enabled, f.mnuToolCalcPlural.Enabled, f.mnuToolTestCommand.Enabled};
    }
};

// ---- Enabling and the list

TEST_F(MeasureList, EnablingFollowsTheNumberOfMeasurements)
{
    StartWith("p.qvd", 3);
    EXPECT_EQ(ListCommands(), std::vector<bool>(11, true));
    ASSERT_EQ(Main().ListView1.Rows.size(), 3u);
    EXPECT_EQ(Main().ListView1.Rows[1].Texts, (std::vector<std::string>{"2", "rec2.wav", "2024/05/02 10:00:00", "ch1 note 2"}));
    EXPECT_EQ(Main().ListView1.SelectedIndex, 2);  // the last one is current after opening
    EXPECT_TRUE(Main().cmdStart.Enabled);
    EXPECT_TRUE(Main().mnuFileWaveOpen.Enabled);
}

TEST_F(MeasureList, OneMeasurementCannotMoveAndNoneDisablesTheListCommands)
{
    StartWith("one.qvd", 1);
    EXPECT_EQ(ListCommands(), (std::vector<bool>{true, false, false, true, true, true, true, true, true, true, true}));

    StartWith("none.qvd", 0);
    EXPECT_EQ(ListCommands(), std::vector<bool>(11, false));
    EXPECT_TRUE(Main().ListView1.Rows.empty());
    // An empty project can still take imports.
    EXPECT_TRUE(Main().cmdStart.Enabled);
}

TEST_F(MeasureList, ImportAndRecoveryWaitForAProject)
{
    std::ofstream(AppFile("CMeasure.tmp")) << "x";
    Choose(-1);  // the first-run window closed without a choice
    Start();
    EXPECT_TRUE(g_bStartSelect);
    EXPECT_FALSE(Main().cmdStart.Enabled);
    EXPECT_FALSE(Main().mnuFileWaveOpen.Enabled);
    EXPECT_FALSE(Main().mnuToolRestore.Enabled);

    const std::string project = WriteProject("p.qvd", 2);
    ui.ChooseNext(project);
    Main().mnuFileOpen_Click();
    EXPECT_FALSE(g_bStartSelect);
    EXPECT_TRUE(Main().cmdStart.Enabled);
    EXPECT_TRUE(Main().mnuFileWaveOpen.Enabled);
    EXPECT_TRUE(Main().mnuToolRestore.Enabled);
}

TEST_F(MeasureList, RecoveryNeedsItsFile)
{
    StartWith("p.qvd", 2);
    EXPECT_FALSE(Main().mnuToolRestore.Enabled);
}

TEST_F(MeasureList, CheckAllAndUncheckAll)
{
    StartWith("p.qvd", 3);
    Main().cmdAllON_Click();
    for (const auto& row : Main().ListView1.Rows) {
        EXPECT_TRUE(row.Checked);
    }
    Main().cmdAllOFF_Click();
    for (const auto& row : Main().ListView1.Rows) {
        EXPECT_FALSE(row.Checked);
    }
}

// ---- Moving

TEST_F(MeasureList, MovingExchangesNeighboursAndSavesAtOnce)
{
    const std::string project = StartWith("p.qvd", 5);
    Select(3);
    Main().cmdDown_Click();
    const std::vector<std::string> moved{"rec1.wav", "rec2.wav", "rec4.wav", "rec3.wav", "rec5.wav"};
    EXPECT_EQ(Files(), moved);
    EXPECT_EQ(SavedFiles(project), moved);
    EXPECT_EQ(Main().m_MeasureIndex, 4);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 3);
    EXPECT_EQ(Main().ListView1.Rows[3].Texts[1], "rec3.wav");

    Select(2);
    Main().cmdUp_Click();
    EXPECT_EQ(Files()[0], "rec2.wav");
    EXPECT_EQ(Main().m_MeasureIndex, 1);
    // The document's condition stays that of the measurement made current on opening.
    EXPECT_EQ(Doc().condition, "condition 5");
}

TEST_F(MeasureList, MovingPastEitherEndDoesNothing)
{
    StartWith("p.qvd", 3);
    Select(3);
    Main().cmdDown_Click();
    Select(1);
    Main().cmdUp_Click();
    EXPECT_EQ(Files(), (std::vector<std::string>{"rec1.wav", "rec2.wav", "rec3.wav"}));
    EXPECT_TRUE(FakeDocument::log.empty());
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(MeasureList, CommandsNeedingARowAskForOne)
{
    StartWith("p.qvd", 3);
    Main().ListView1.SelectedIndex = -1;
    Main().cmdUp_Click();
    Main().cmdDown_Click();
    Main().cmdOK_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>(3, kSelectRow));
    EXPECT_TRUE(FakeDocument::log.empty());
    EXPECT_EQ(Count("show frmOctCalc"), 0);
}

TEST_F(MeasureList, AFailedSaveAfterMovingEndsTheRun)
{
    StartWith("p.qvd", 3);
    Select(1);
    FailWrites(true);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::No);  // the closing question
    Main().cmdDown_Click();
    const auto texts = ui.MessageTexts();
    ASSERT_EQ(texts.size(), 3u) << ::testing::PrintToString(texts);
    EXPECT_EQ(texts[0], "データ保存に失敗しました．");
    EXPECT_EQ(texts[1], kCannotSave);
    EXPECT_EQ(ui.Messages()[1].Title, "お詫び");
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Critical);
    EXPECT_EQ(texts[2], "終了しますか？");
    EXPECT_FALSE(ui.Ended());
    // The screen carries on with the list as the project file holds it.
    EXPECT_EQ(Files(), (std::vector<std::string>{"rec1.wav", "rec2.wav", "rec3.wav"}));
    EXPECT_EQ(Main().ListView1.Rows[0].Texts[1], "rec1.wav");
    EXPECT_EQ(Main().ListView1.SelectedIndex, 0);
    EXPECT_EQ(Main().m_MeasureIndex, 3);
}

// ---- Deleting

TEST_F(MeasureList, DeleteNeedsACheckedRowAndConfirmation)
{
    StartWith("p.qvd", 3);
    Main().cmdDEL_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"削除したいデータのチェックボックスをオンにしてください."});

    ui.ClearTranscript();
    Check(2);
    ui.AnswerNext(MsgAnswer::Cancel);
    Main().cmdDEL_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "削除するとデータは復元出来ません.削除してよろしいですか？");
    EXPECT_EQ(ui.Messages()[0].Title, "選択データ削除指示");
    EXPECT_EQ(ui.Messages()[0].Buttons, MsgButtons::OKCancel);
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Question);
    EXPECT_EQ(Files().size(), 3u);
    EXPECT_TRUE(FakeDocument::log.empty());
}

TEST_F(MeasureList, DeleteSavesTheProjectBeforeDeletingTheFiles)
{
    const std::string project = StartWith("p.qvd", 4);
    Main().txtMEMO.Text = "new memo";
    Check(2);
    Check(4);
    ui.AnswerNext(MsgAnswer::OK);
    Main().cmdDEL_Click();
    EXPECT_EQ(FakeDocument::log, (std::vector<std::string>{"write " + project, "delete rec4.wav", "delete rec2.wav"}));
    EXPECT_EQ(SavedFiles(project), (std::vector<std::string>{"rec1.wav", "rec3.wav"}));
    // The current measurement was the last: it becomes the new last one, with its condition.
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 1);
    EXPECT_EQ(Doc().condition, "condition 3");
    EXPECT_EQ(Doc().memo, "new memo");
    EXPECT_EQ(Main().txtMEMO.Text, "new memo");
    EXPECT_TRUE(Main().cmdUp.Enabled);
    EXPECT_FALSE(ui.Busy());
}

TEST_F(MeasureList, DeletingEveryRowEmptiesTheList)
{
    StartWith("p.qvd", 2);
    Main().cmdAllON_Click();
    ui.AnswerNext(MsgAnswer::OK);
    Main().cmdDEL_Click();
    EXPECT_TRUE(Doc().measures.empty());
    EXPECT_EQ(Main().m_MeasureIndex, 0);
    EXPECT_TRUE(Main().ListView1.Rows.empty());
    EXPECT_EQ(ListCommands(), std::vector<bool>(11, false));
}

// A failed save puts the measurements back: the screen that carries on lists what the document
// holds, and a later save keeps them.
TEST_F(MeasureList, AFailedSaveKeepsTheMeasurementsAndTheFilesTheOldProjectNeeds) {
    const std::string project = StartWith("p.qvd", 3);
    Check(1);
    Check(3);
    FailWrites(true);
    ui.AnswerNext(MsgAnswer::OK);  // delete
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::No);  // the closing question
    Main().cmdDEL_Click();
    for (const std::string& entry : FakeDocument::log) {
        EXPECT_EQ(entry.rfind("delete", 0), std::string::npos) << entry;
    }
    FailWrites(false);
    EXPECT_EQ(SavedFiles(project).size(), 3u);
    const auto texts = ui.MessageTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[2], kCannotSave);
    EXPECT_EQ(texts[3], "終了しますか？");
    EXPECT_FALSE(ui.Ended());

    const std::vector<std::string> all{"rec1.wav", "rec2.wav", "rec3.wav"};
    EXPECT_EQ(Files(), all);
    ASSERT_EQ(Main().ListView1.Rows.size(), 3u);
    EXPECT_EQ(Main().ListView1.Rows[2].Texts[1], "rec3.wav");
    EXPECT_TRUE(Main().ListView1.Rows[0].Checked);
    EXPECT_FALSE(Main().ListView1.Rows[1].Checked);
    Select(3);
    Main().cmdOK_Click();
    EXPECT_EQ(static_cast<FakeCalcScreen&>(*forms.octCalc).ShownMeasureIndex(), 3);
    Select(1);
    Main().cmdDown_Click();
    EXPECT_EQ(SavedFiles(project), (std::vector<std::string>{"rec2.wav", "rec1.wav", "rec3.wav"}));
}

TEST_F(MeasureList, AnImportWhoseSaveFailsStillListsItsMeasurements) {
    const std::string project = StartWith("p.qvd", 1);
    g_ShowWavImport = [this](platform::UiServices&) { Doc().measures.push_back({"new.wav", "", "", "condition n"}); };
    FailWrites(true);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::OK);
    ui.AnswerNext(MsgAnswer::No);  // the closing question
    Main().mnuFileWaveOpen_Click();
    g_ShowWavImport = {};
    FailWrites(false);
    ASSERT_EQ(Main().ListView1.Rows.size(), 2u);
    EXPECT_EQ(Main().ListView1.Rows[1].Texts[1], "new.wav");
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_TRUE(Main().SaveData());
    EXPECT_EQ(SavedFiles(project), (std::vector<std::string>{"rec1.wav", "new.wav"}));
}

// ---- The calculation screen

TEST_F(MeasureList, CalculationOpensTheSelectedMeasurement)
{
    StartWith("p.qvd", 3);
    Select(2);
    Main().cmdOK_Click();
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Doc().endTimeUpdates, std::vector<std::int32_t>{2});
    EXPECT_EQ(static_cast<FakeCalcScreen&>(*forms.octCalc).ShownMeasureIndex(), 2);
    EXPECT_EQ(Count("show frmOctCalc"), 1);
    EXPECT_EQ(Count("hide frmMeasure"), 1);
}

// ---- After an import

TEST_F(MeasureList, AnImportIntoAnEmptyProjectListsItAndMakesTheLastCurrent)
{
    StartWith("p.qvd", 0);
    g_ShowWavImport = [this](platform::UiServices&) {
        Doc().measures.push_back({"a.wav", "2024/06/01 09:00:00", "", "condition a"});
        Doc().measures.push_back({"b.wav", "2024/06/01 10:00:00", "", "condition b"});
    };
    Main().txtMEMO.Text = "memo";
    Main().mnuFileWaveOpen_Click();
    g_ShowWavImport = {};
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Main().ListView1.Rows.size(), 2u);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 1);
    EXPECT_EQ(Doc().condition, "condition b");
    EXPECT_EQ(Doc().memo, "memo");
    EXPECT_EQ(FakeDocument::log.size(), 1u);  // saved once
    EXPECT_TRUE(Main().cmdOK.Enabled);
}

// ---- Dropping on the path box

class DropOnPath : public MeasureList {};

TEST_F(DropOnPath, AProjectFileOpensAfterTheOpenOneIsSaved)
{
    const std::string old = StartWith("old.qvd", 2);
    const std::string other = WriteProject("other.qvd", 3, "other memo");
    Main().txtMEMO.Text = "typed memo";
    Main().txtSavePath_Drop({{other}, std::nullopt});
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(old));
    EXPECT_EQ(saved.memo, "typed memo");
    EXPECT_EQ(Doc().SaveFilePath(), other);
    EXPECT_EQ(Main().txtMEMO.Text, "other memo");
    EXPECT_EQ(Main().m_MeasureIndex, 3);
    EXPECT_EQ(Main().txtSavePath.Text, other);
}

TEST_F(DropOnPath, TextWinsOverFilesAndFileAddressesBecomePaths)
{
    StartWith("old.qvd", 1);
    const std::string other = WriteProject("with space.qvd", 2);
    std::string address = "file://";
    for (const char c : other) {
        address += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    Main().txtSavePath_Drop({{Data("nothing.qvd")}, address + "\r\n"});
    EXPECT_EQ(Doc().SaveFilePath(), other);
    EXPECT_TRUE(ui.Messages().empty());

    const std::string third = WriteProject("third.qvd", 1);
    Main().txtSavePath_Drop({{}, "\"" + third + "\""});
    EXPECT_EQ(Doc().SaveFilePath(), third);
}

TEST_F(DropOnPath, OtherFilesAndMissingFilesDoNothing)
{
    const std::string old = StartWith("old.qvd", 2);
    std::ofstream(Data("notes.txt")) << "x";
    Main().txtSavePath_Drop({{Data("notes.txt")}, std::nullopt});
    Main().txtSavePath_Drop({{}, Data("missing.qvd")});
    Main().txtSavePath_Drop({{}, std::nullopt});
    Main().txtSavePath_Drop({{}, std::string()});
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(FakeDocument::log.empty());
    EXPECT_EQ(Doc().SaveFilePath(), old);
}

TEST_F(DropOnPath, UnusableTextIsRefused)
{
    const std::string old = StartWith("old.qvd", 2);
    for (const std::string& text : {std::string("a\"b.qvd"), std::string("file://otherhost/x.qvd"),
                                   std::string("file:///bad%zz.qvd"), std::string("two\nlines.qvd")}) {
        ui.ClearTranscript();
        Main().txtSavePath_Drop({{}, text});
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"ドロップされた文字列は無効です."}) << text;
    }
    EXPECT_EQ(Doc().SaveFilePath(), old);
}

TEST_F(DropOnPath, AnUnreadableProjectLeavesThePreviousOneOpen)
{
    const std::string old = StartWith("old.qvd", 2);
    std::ofstream(Data("broken.qvd")) << "not a project";
    Main().txtSavePath_Drop({{Data("broken.qvd")}, std::nullopt});
    const auto texts = ui.MessageTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "指定のファイルは開けませんでした.");
    EXPECT_EQ(Doc().SaveFilePath(), old);
    EXPECT_EQ(Doc().measures.size(), 2u);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Main().ListView1.Rows.size(), 2u);
    EXPECT_EQ(Main().txtSavePath.Text, old);
    EXPECT_FALSE(g_bStartSelect);
}

TEST_F(DropOnPath, AFailedSaveOpensNothing)
{
    const std::string old = StartWith("old.qvd", 2);
    const std::string other = WriteProject("other.qvd", 3);
    FailWrites(true);
    Main().txtSavePath_Drop({{other}, std::nullopt});
    FailWrites(false);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"データ保存に失敗しました．"});
    EXPECT_EQ(Doc().SaveFilePath(), old);
}

}  // namespace
}  // namespace murtesk::testing
