// Start-up, the command line, the first-run choice and shutdown, walked with the fake services.
#include "mainscreen_fixture.h"
#include "platform/testing/named_pipe.h"

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;
using platform::testing::DialogKind;

TEST_F(MainScreenTest, FirstStartWithoutTempCreatesANewProjectWhereTheUserSays)
{
    Choose(1);
    ui.ChooseNext(Data("first.qvd"));
    Start();

    EXPECT_EQ(ProgramStatsContext().g_LdtFileNo, 0);
    EXPECT_EQ(g_WaveOutDevice, -2);
    EXPECT_FALSE(g_bStartSelect);
    // Splash first, gone before the main screen shows; both screens loaded hidden.
    const auto& e = ui.Events();
    const auto at = [&](const std::string& s) { return std::find(e.begin(), e.end(), s) - e.begin(); };
    EXPECT_LT(at("show frmSplash"), at("unload frmSplash"));
    EXPECT_LT(at("unload frmSplash"), at("show frmMeasure"));
    EXPECT_LT(at("show frmMeasure"), at("modal frmFirstSelect"));
    EXPECT_EQ(Count("show frmOctCalc"), 0);
    EXPECT_TRUE(ui.IsLoaded(*forms.octCalc));
    EXPECT_FALSE(forms.octCalc->Visible);

    EXPECT_EQ(forms.measure->Caption, "Murtesk メイン画面 " + Data("first.qvd"));
    EXPECT_EQ(Main().txtSavePath.Text, Data("first.qvd"));
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const auto& dialog = ui.Dialogs()[0];
    EXPECT_EQ(dialog.Kind, DialogKind::Save);
    EXPECT_EQ(dialog.Request.Title, "新規の保存先ファイル名を指定して下さい．");
    EXPECT_EQ(dialog.Request.Filter, "ﾃﾞｰﾀﾌｧｲﾙ (*.qvd)|*.qvd");
    EXPECT_EQ(dialog.Request.FileName, AppFile("DefaultQVD.qvd"));  // the proposal without "Temp.tmp"
    EXPECT_TRUE(ui.Messages().empty());

    FakeDocument written("");
    ASSERT_TRUE(written.FileRead(Data("first.qvd")));
    EXPECT_TRUE(written.measures.empty());
    for (const char* folder : {"LCalc", "RecWav", "F", "W", "20000Hz", "1000Hz", "0_8Hz"}) {
        EXPECT_TRUE(fs::is_directory(home / "data" / folder)) << folder;
    }
    // The running program's calibration: CAL -1, pattern 0, in both channels.
    for (const auto& c : Doc().channels) {
        EXPECT_EQ(c.cal, -1.0);
        EXPECT_EQ(c.calPattern, 0);
    }
    EXPECT_FALSE(Main().cmdOK.Enabled);
    EXPECT_FALSE(Main().cmdDEL.Enabled);
    EXPECT_EQ(ui.UnusedScript(), 0);
}

TEST_F(MainScreenTest, TempTmpBringsBackTheLastProjectAsTheProposal)
{
    const std::string last = WriteProject("last.qvd", 3);
    FakeDocument temp(last);
    temp.memo = "last memo";
    ASSERT_TRUE(temp.FileWrite(AppFile("Temp.tmp")));

    Choose(2);
    ui.ChooseNext(last);
    Start();

    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].Kind, DialogKind::Open);
    EXPECT_EQ(ui.Dialogs()[0].Request.Title, "既存の保存先ファイル名を選択して下さい．");
    EXPECT_EQ(ui.Dialogs()[0].Request.Filter, "ﾃﾞｰﾀﾌｧｲﾙ (*.qvd;*.dat)|*.qvd;*.dat");
    EXPECT_EQ(ui.Dialogs()[0].Request.FileName, last);
    EXPECT_EQ(Main().m_MeasureIndex, 3);
    EXPECT_EQ(g_SelFileName, last);
    ASSERT_EQ(Main().ListView1.Rows.size(), 3u);
    EXPECT_EQ(Main().ListView1.Rows[2].Texts, (std::vector<std::string>{"3", "rec3.wav", "2024/05/03 10:00:00", "ch1 note 3"}));
    EXPECT_EQ(Main().ListView1.SelectedIndex, 2);
    EXPECT_TRUE(Main().cmdOK.Enabled);
    EXPECT_TRUE(Main().cmdUp.Enabled);
    EXPECT_EQ(Main().txtMEMO.Text, "project memo");
    EXPECT_EQ(Doc().condition, "condition 3");
    // The file's channel conditions give way to the running program's.
    EXPECT_EQ(Doc().channels[0].cal, -1.0);
}

TEST_F(MainScreenTest, CorruptTempTmpLeavesTheDefaults)
{
    std::ofstream(AppFile("Temp.tmp")) << "FAKE-PROJECT\n/elsewhere/x.qvd\nmemo\n";
    Choose(1);
    ui.ChooseNext(std::nullopt);  // cancel: the choice window again
    Choose(0);
    ui.AnswerNext(MsgAnswer::Yes);
    Start();
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_EQ(ui.Dialogs()[0].Request.FileName, AppFile("DefaultQVD.qvd"));
    EXPECT_EQ(Count("modal frmFirstSelect"), 2);
    EXPECT_TRUE(ui.Ended());
    EXPECT_FALSE(fs::exists(AppFile("Temp.tmp.writing")));
}

// "Temp.tmp" carries settings only; one that holds measurements (the program never writes them there) gives
// its settings and nothing of its list, which no project holds.
TEST_F(MainScreenTest, MeasurementsInTempTmpAreNotTaken)
{
    FakeDocument temp(Data("last.qvd"));
    temp.memo = "last memo";
    temp.measures.push_back({"rec1.wav", "2024/05/01 10:00:00", "ch1 note", "condition 1"});
    temp.measures.push_back({"rec2.wav", "2024/05/02 10:00:00", "ch1 note", "condition 2"});
    ASSERT_TRUE(temp.FileWrite(AppFile("Temp.tmp")));
    Start();  // the choice window closed by its frame: no project
    EXPECT_TRUE(g_bStartSelect);
    EXPECT_EQ(Doc().SaveFilePath(), Data("last.qvd"));
    EXPECT_TRUE(Doc().measures.empty());
    EXPECT_TRUE(Main().ListView1.Rows.empty());
    EXPECT_FALSE(Main().cmdOK.Enabled);
    EXPECT_FALSE(Main().cmdDEL.Enabled);
}

// Named pipes in place of "Temp.tmp" and of the first correction characteristic: the start goes on without
// waiting for a writer, with the document's defaults and the characteristic refused as unreadable.
TEST_F(MainScreenTest, NamedPipesInTheProgramFolderDoNotHoldUpTheStart)
{
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_Preserve.reset();
    const platform::testing::NamedPipe temp(AppFile("Temp.tmp"));
    const platform::testing::NamedPipe characteristic(AppFile("オリジナル特性1.csv"));
    ASSERT_TRUE(temp.made() && characteristic.made());
    EXPECT_TRUE(platform::testing::ReturnsWithoutAWriter({&temp, &characteristic}, [&] { Start(); }));
    EXPECT_EQ(g_PreserveDoc().SaveFilePath(), AppFile("DefaultQVD.qvd"));
    EXPECT_EQ(g_OriginalWs.count(), 0);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{AppFile("オリジナル特性1.csv") + "I/Oエラー"});
    EXPECT_EQ(Count("modal frmFirstSelect"), 1);
}

struct CommandLineCase {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the data folder
    bool opens;
    std::vector<std::string> messages;
};

void PrintTo(const CommandLineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandLine : public MainScreenTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLine, OpensOnlyOneExistingProjectPath)
{
    WriteProject("a.qvd", 2);
    WriteProject("upper.QVD", 1);
    WriteProject("notes.txt", 1);
    std::vector<std::string> args;
    for (std::string a : GetParam().args) {
        if (auto at = a.find('@'); at != std::string::npos) {
            a.replace(at, 1, (home / "data").string());
        }
        args.push_back(a);
    }
    std::ofstream(Data("broken.qvd")) << "not a project";
    if (!GetParam().opens) {
        ui.OnModal("frmFirstSelect", [](platform::Form& f) { f.Ui().Unload(f, platform::UnloadMode::FormControlMenu); });
    }
    Start(args);
    EXPECT_EQ(ui.MessageTexts(), GetParam().messages);
    EXPECT_EQ(Count("modal frmFirstSelect"), GetParam().opens ? 0 : 1);
    if (GetParam().opens) {
        EXPECT_EQ(Doc().SaveFilePath(), Data("a.qvd"));
        EXPECT_EQ(Main().m_MeasureIndex, 2);
        EXPECT_FALSE(g_bStartSelect);
    } else {
        EXPECT_TRUE(g_bStartSelect);
        EXPECT_EQ(Main().ListView1.Rows.size(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CommandLine,
    ::testing::Values(
        CommandLineCase{"Quoted", {"\"@/a.qvd\""}, true, {}},
        CommandLineCase{"Unquoted", {"@/a.qvd"}, true, {}},
        CommandLineCase{"UpperCaseEnding", {"@/upper.QVD"}, false, {}},
        CommandLineCase{"OtherEnding", {"@/notes.txt"}, false, {}},
        CommandLineCase{"Missing", {"@/gone.qvd"}, false, {}},
        CommandLineCase{"LoneQuote", {"\""}, false, {}},
        CommandLineCase{"Folder", {"@"}, false, {}},
        CommandLineCase{"TwoPaths", {"@/a.qvd", "@/a.qvd"}, false, {"コマンドラインのファイルパス名は１個しか指定できません."}},
        CommandLineCase{"Unreadable", {"@/broken.qvd"}, false, {"ファイルを開けませんでした．", "指定のファイルは開けませんでした."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainScreenTest, UnreadableCommandLineProjectKeepsTheProposalAndAFreshDocument)
{
    FakeDocument temp(Data("last.qvd"));
    ASSERT_TRUE(temp.FileWrite(AppFile("Temp.tmp")));
    std::ofstream(Data("broken.qvd")) << "not a project";
    ui.OnModal("frmFirstSelect", [](platform::Form& f) { f.Ui().Unload(f, platform::UnloadMode::FormControlMenu); });
    Start({Data("broken.qvd")});
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(ui.Messages()[1].Title, "Murtesk");
    EXPECT_EQ(Doc().SaveFilePath(), Data("last.qvd"));
    EXPECT_EQ(Doc().memo, "");  // a fresh document, not the half-read one
    EXPECT_EQ(Doc().channels[1].cal, -1.0);
}

TEST_F(MainScreenTest, EndChoiceAnsweredNoKeepsTheMainScreenAndAsksAgainOnActivation)
{
    Choose(0);
    ui.AnswerNext(MsgAnswer::No);
    Start();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "終了しますか？");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Question);
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::YesNo);
    EXPECT_TRUE(ui.IsLoaded(Main()));
    EXPECT_TRUE(g_bStartSelect);
    EXPECT_FALSE(ui.Ended());

    Choose(1);
    ui.ChooseNext(Data("second.qvd"));
    Main().Form_Activate();
    EXPECT_EQ(Count("modal frmFirstSelect"), 2);
    EXPECT_EQ(Doc().SaveFilePath(), Data("second.qvd"));
    Main().Form_Activate();  // a project is open: activation does nothing
    EXPECT_EQ(Count("modal frmFirstSelect"), 2);
}

TEST_F(MainScreenTest, ChoiceWindowClosedByItsFrameLeavesNoProjectAndClosingWritesNothing)
{
    Start();
    EXPECT_EQ(g_SelectNo, -1);
    EXPECT_TRUE(g_bStartSelect);
    EXPECT_EQ(Main().txtSavePath.Text, "-----");
    EXPECT_EQ(Main().Caption, "Waveファイル 1/1 ・ 1/3オクターブバンドレベル分析プログラム");

    const int writesBefore = FakeDocument::writes;
    ui.AnswerNext(MsgAnswer::Yes);
    EXPECT_TRUE(ui.CloseByFrame(Main()));
    EXPECT_EQ(FakeDocument::writes, writesBefore);
    EXPECT_FALSE(fs::exists(AppFile("Temp.tmp")));
    EXPECT_FALSE(fs::exists(AppFile("DefaultQVD.qvd")));
    EXPECT_TRUE(ui.LoadedForms().empty());
    EXPECT_TRUE(ui.Ended());
}

TEST_F(MainScreenTest, NewProjectRefusesAnExistingFileAndOpenFailureAsksAgain)
{
    const std::string existing = WriteProject("taken.qvd", 1);
    std::ofstream(Data("broken.qvd")) << "junk";
    Choose(1);
    ui.ChooseNext(existing);
    ui.ChooseNext(std::nullopt);
    Choose(2);
    ui.ChooseNext(Data("broken.qvd"));
    Choose(2);
    ui.ChooseNext(existing);
    Start();

    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"既存のファイルは選択できません．", "ファイルを開けませんでした．",
                                                          "もう一度、別の保存先ファイルを指定してください."}));
    EXPECT_EQ(ui.Messages()[0].Title, "新規作成...");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
    EXPECT_EQ(Count("modal frmFirstSelect"), 3);
    EXPECT_EQ(Doc().SaveFilePath(), existing);
    EXPECT_EQ(Main().m_MeasureIndex, 1);
    EXPECT_EQ(ui.UnusedScript(), 0);
}

TEST_F(MainScreenTest, FirstSelectWindowNamesTheProgramAndItsVersion)
{
    ui.AnswerNext(MsgAnswer::Yes);
    frmFirstSelect* seen = nullptr;
    ui.OnModal("frmFirstSelect", [&](platform::Form& f) {
        seen = static_cast<frmFirstSelect*>(&f);
        EXPECT_EQ(f.Caption, "Murtesk Ver7.1.0");
        EXPECT_EQ(seen->cmdNew.Caption, "新しいデータを作成する(&N)...");
        EXPECT_EQ(seen->cmdOpen.Caption, "既存のデータを開く(&O)...");
        EXPECT_EQ(seen->cmdEnd.Caption, "終了する(&X)");
        seen->cmdEnd_Click();
    });
    Start();
    EXPECT_NE(seen, nullptr);
    EXPECT_EQ(g_SelectNo, 0);
    EXPECT_TRUE(ui.Ended());
}

TEST_F(MainScreenTest, ExitWithAProjectSavesItThenKeepsTheConditionsInTempTmp)
{
    const std::string project = WriteProject("p.qvd", 2);
    Start({project});
    Main().txtMEMO.Text = "typed memo";

    ui.AnswerNext(MsgAnswer::No);
    Main().mnuFileExit_Click();
    EXPECT_TRUE(ui.IsLoaded(Main()));
    EXPECT_FALSE(fs::exists(AppFile("Temp.tmp")));

    ui.AnswerNext(MsgAnswer::Yes);
    Main().mnuFileExit_Click();
    EXPECT_TRUE(ui.Ended());
    EXPECT_EQ(g_frmMeasure, nullptr);
    EXPECT_EQ(g_frmOctCalc, nullptr);
    EXPECT_FALSE(ui.IsLoaded(*forms.octCalc));

    FakeDocument saved(""), temp("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.memo, "typed memo");
    EXPECT_EQ(saved.measures.size(), 2u);
    ASSERT_TRUE(temp.FileRead(AppFile("Temp.tmp")));
    EXPECT_EQ(temp.path, project);  // the next start proposes it
    EXPECT_EQ(temp.memo, "typed memo");
    EXPECT_TRUE(temp.measures.empty());
    EXPECT_EQ(temp.channels[0].cal, -1.0);
}

TEST_F(MainScreenTest, FailingSaveAtExitIsReportedAndTheExitGoesOn)
{
    const std::string project = WriteProject("p.qvd", 1, "old memo");
    Start({project});
    const std::string before = Bytes(project);
    FailWrites(true);
    Main().txtMEMO.Text = "lost memo";
    ui.AnswerNext(MsgAnswer::Yes);
    Main().mnuFileExit_Click();
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"終了しますか？", "データ保存に失敗しました．"}));
    EXPECT_TRUE(ui.Ended());
    EXPECT_EQ(Bytes(project), before);
}

TEST_F(MainScreenTest, RealProjectDocumentIsCreatedSavedAndCarriedToTheNextStart)
{
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_Preserve.reset();
    Choose(1);
    ui.ChooseNext(Data("real.qvd"));
    Start();
    ASSERT_EQ(g_PreserveDoc().SaveFilePath(), Data("real.qvd"));
    EXPECT_EQ(static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().ChMeasureCondition(1).CAL, -1.0);
    Main().txtMEMO.Text = "実測メモ";
    ui.AnswerNext(MsgAnswer::Yes);
    Main().mnuFileExit_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"終了しますか？"});

    CPreserve project(ProgramStatsContext()), temp(ProgramStatsContext());
    ASSERT_TRUE(project.FileRead(Data("real.qvd")));
    EXPECT_EQ(project.MeasureCondition.Account, "実測メモ");
    ASSERT_TRUE(temp.FileRead(AppFile("Temp.tmp")));
    EXPECT_EQ(temp.SaveFilePath, Data("real.qvd"));
    EXPECT_EQ(temp.Measures.count(), 0);
}

}  // namespace
}  // namespace murtesk::testing
