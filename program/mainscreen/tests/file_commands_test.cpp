// File New, File Open, the project-path button and SaveData.
#include "failing_flushes.h"
#include "mainscreen_fixture.h"

#include "platform/dates.h"
#include "platform/project_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <functional>

namespace murtesk::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;

using FileCommands = MainScreenTest;

TEST_F(FileCommands, NewSavesTheOpenProjectFirstThenCreatesAnEmptyOne)
{
    const std::string old = StartWith("old.qvd", 2);
    Main().txtMEMO.Text = "kept memo";
    ui.ChooseNext(Data("new.qvd"));
    Main().mnuFileNew_Click();

    FakeDocument oldFile(""), newFile("");
    ASSERT_TRUE(oldFile.FileRead(old));
    EXPECT_EQ(oldFile.memo, "kept memo");
    EXPECT_EQ(oldFile.measures.size(), 2u);
    ASSERT_TRUE(newFile.FileRead(Data("new.qvd")));
    EXPECT_TRUE(newFile.measures.empty());
    EXPECT_EQ(newFile.memo, "kept memo");
    EXPECT_EQ(ui.Dialogs()[0].Request.FileName, old);
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + Data("new.qvd"));
    EXPECT_EQ(Main().m_MeasureIndex, 0);
    EXPECT_TRUE(Main().ListView1.Rows.empty());
    EXPECT_FALSE(Main().cmdOK.Enabled);
    EXPECT_FALSE(ui.Busy());
}

TEST_F(FileCommands, NewChoosingAnExistingFileAsksAgainAndCancelKeepsTheOldProject)
{
    const std::string old = StartWith("old.qvd", 2);
    const std::string other = WriteProject("a.qvd", 1);
    ui.ChooseNext(other);
    ui.ChooseNext(std::nullopt);
    Main().mnuFileNew_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "既存のファイルは選択できません．");
    EXPECT_EQ(ui.Messages()[0].Title, "新規作成...");
    EXPECT_EQ(ui.Dialogs().size(), 2u);
    EXPECT_EQ(ui.Dialogs()[1].Request.FileName, other);  // the refused name stays proposed
    EXPECT_EQ(Doc().SaveFilePath(), old);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    FakeDocument untouched("");
    ASSERT_TRUE(untouched.FileRead(other));
    EXPECT_EQ(untouched.measures.size(), 1u);
}

TEST_F(FileCommands, NewThatCannotBeWrittenReopensTheOldProject)
{
    const std::string old = StartWith("old.qvd", 2);
    FailWrites(true);
    ui.ChooseNext(Data("new.qvd"));
    Main().mnuFileNew_Click();
    FailWrites(false);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"データ保存に失敗しました．", "ファイル保存に失敗しました．"}));
    EXPECT_FALSE(fs::exists(Data("new.qvd")));
    EXPECT_EQ(Doc().SaveFilePath(), old);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Main().ListView1.Rows.size(), 2u);
    EXPECT_FALSE(g_bStartSelect);
}

TEST_F(FileCommands, OpenSavesFirstAndLoadsTheOtherProject)
{
    const std::string old = StartWith("old.qvd", 1);
    const std::string other = WriteProject("five.qvd", 5, "five memo");
    Doc().channels[0].tag = "running";
    Main().txtMEMO.Text = "old memo";
    ui.ChooseNext(other);
    Main().mnuFileOpen_Click();

    FakeDocument oldFile("");
    ASSERT_TRUE(oldFile.FileRead(old));
    EXPECT_EQ(oldFile.memo, "old memo");
    EXPECT_EQ(Main().m_MeasureIndex, 5);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 4);
    EXPECT_EQ(Doc().condition, "condition 5");
    EXPECT_EQ(Doc().memo, "five memo");
    EXPECT_EQ(Main().txtMEMO.Text, "five memo");
    EXPECT_EQ(Doc().channels[0].tag, "running");
    EXPECT_EQ(g_SelFileName, other);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FileCommands, OpenCancelledRestoresThePath)
{
    const std::string old = StartWith("old.qvd", 1);
    ui.ChooseNext(std::nullopt);
    Main().mnuFileOpen_Click();
    EXPECT_EQ(Doc().SaveFilePath(), old);
    EXPECT_EQ(Count("modal frmFirstSelect"), 0);
}

TEST_F(FileCommands, FailedOpenReplacesTheDocumentRefreshesTheListAndAsksForAProject)
{
    StartWith("old.qvd", 3);
    g_CommandLine.clear();  // else the choice would reopen the command line's project
    Doc().channels[1].tag = "running";
    std::ofstream(Data("broken.qvd")) << "junk";
    ui.ChooseNext(Data("broken.qvd"));
    bool importWhileChoosing = true;
    ui.OnModal("frmFirstSelect", [&](platform::Form& f) {
        importWhileChoosing = Main().cmdStart.Enabled || Main().mnuFileWaveOpen.Enabled;
        f.Ui().Unload(f, platform::UnloadMode::FormControlMenu);
    });
    Main().mnuFileOpen_Click();

    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"ファイルを開けませんでした．", "もう一度、別の保存先ファイルを指定してください"}));
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Critical);
    EXPECT_EQ(Doc().SaveFilePath(), AppFile("DefaultQVD.qvd"));
    EXPECT_EQ(Doc().channels[1].tag, "running");
    EXPECT_TRUE(Main().ListView1.Rows.empty());
    EXPECT_FALSE(Main().cmdDEL.Enabled);
    EXPECT_EQ(Count("modal frmFirstSelect"), 1);
    EXPECT_TRUE(g_bStartSelect);
    // No project is open, and the caption and the path box say so.
    EXPECT_EQ(Main().Caption, "Waveファイル 1/1 ・ 1/3オクターブバンドレベル分析プログラム");
    EXPECT_EQ(Main().txtSavePath.Text, "-----");
    EXPECT_FALSE(importWhileChoosing);
}

// A project whose path CP932 cannot hold is told once as it is created or opened, with the name
// "Temp.tmp" keeps for the next start; the caption shows the path itself.
TEST_F(FileCommands, AProjectPathTheFilesCannotKeepIsToldWhenCreatedOrOpened) {
    const std::string told =
        "保存先ファイルのパス名に保存できない文字があります．\r\n"
        "次回の起動時に提案する保存先には、次のように置き換えた名前が記録されます．\r\n\r\n";
    StartWith("old.qvd", 1);
    fs::create_directories(home / "data" / "Café ü");
    const std::string path = Data("Café ü/p.qvd");
    const std::string kept = Data("Caf? ?/p.qvd");
    ui.ChooseNext(path);
    Main().mnuFileNew_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{told + path + "\r\n→ " + kept});
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + path);
    ui.ClearTranscript();
    ui.ChooseNext(Data("old.qvd"));
    Main().mnuFileOpen_Click();
    EXPECT_TRUE(ui.Messages().empty());
    ui.ChooseNext(path);
    Main().mnuFileOpen_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{told + path + "\r\n→ " + kept});
    EXPECT_EQ(Main().txtSavePath.Text, path);
}

TEST_F(FileCommands, OpeningADatFileGivesItTheQvdExtension)
{
    StartWith("old.qvd", 1);
    const std::string dat = WriteProject("legacy.dat", 2);
    ui.ChooseNext(dat);
    Main().mnuFileOpen_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"拡張子を qvd に変更しました."});
    EXPECT_FALSE(fs::exists(dat));
    EXPECT_TRUE(fs::exists(Data("legacy.qvd")));
    EXPECT_EQ(Doc().SaveFilePath(), Data("legacy.qvd"));
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + Data("legacy.qvd"));
    EXPECT_TRUE(fs::is_directory(home / "data" / "LCalc"));
    EXPECT_TRUE(fs::is_directory(home / "data" / "RecWav"));
}

TEST_F(FileCommands, DatFileWhoseQvdNameIsTakenKeepsItsName)
{
    StartWith("old.qvd", 1);
    const std::string dat = WriteProject("twin.dat", 2);
    const std::string qvd = WriteProject("twin.qvd", 4);
    ui.ChooseNext(dat);
    Main().mnuFileOpen_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"拡張子を qvd に変更できませんでした."});
    EXPECT_EQ(Doc().SaveFilePath(), dat);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    FakeDocument twin("");
    ASSERT_TRUE(twin.FileRead(qvd));
    EXPECT_EQ(twin.measures.size(), 4u);
}

TEST_F(FileCommands, PathButtonSavesThenRunsTheProjectChoiceAgain)
{
    const std::string project = StartWith("p.qvd", 2);
    g_CommandLine.clear();
    Main().txtMEMO.Text = "before the choice";
    Choose(2);
    const std::string other = WriteProject("q.qvd", 1);
    ui.ChooseNext(other);
    Main().cmdSavePath_Click();
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.memo, "before the choice");
    EXPECT_EQ(ui.Dialogs()[0].Request.FileName, project);
    EXPECT_EQ(Doc().SaveFilePath(), other);
    EXPECT_FALSE(g_bStartSelect);
}

// The command line names the project of the start only: the path button offers the choice and
// does not repeat what the command line's project said.
TEST_F(FileCommands, PathButtonOffersTheChoiceWithoutReadingTheCommandLineAgain) {
    std::ofstream(Data("broken.qvd")) << "not a project";
    Choose(-1);  // closed without a choice
    Start({Data("broken.qvd")});
    const std::vector<std::string> opening{"ファイルを開けませんでした．", "指定のファイルは開けませんでした."};
    const std::vector<std::string> atStart = ui.MessageTexts();
    ASSERT_GE(atStart.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(atStart.begin(), atStart.begin() + 2), opening);
    ui.ClearTranscript();
    Choose(-1);
    Main().cmdSavePath_Click();
    for (const std::string& text : ui.MessageTexts()) {
        EXPECT_EQ(std::find(opening.begin(), opening.end(), text), opening.end()) << text;
    }
    EXPECT_EQ(Count("modal frmFirstSelect"), 1);

    const std::string project = WriteProject("p.qvd", 2);
    Start({project});
    ui.ClearTranscript();
    Choose(-1);
    Main().cmdSavePath_Click();
    EXPECT_EQ(Count("modal frmFirstSelect"), 1);
}

// A save of the project killed before its rename left its temporary file beside the project file: the next
// open of that project removes it, and only it.
TEST_F(FileCommands, OpeningAProjectRemovesWhatAKilledSaveOfItLeft)
{
    const std::string project = WriteProject("p.qvd", 1);
    const std::vector<std::string> kept = {
        "p.qvd.~0123456789AB",  // upper-case digits: not a name the program makes
        "p.qvd.~0123456789a",   // one digit short
        "o.qvd.~0123456789ab",  // another project's
        "p.qvd.~abcdefabcdef0",
    };
    for (const std::string& name : kept) std::ofstream(Data(name)) << "x";
    std::ofstream(Data("p.qvd.~0123456789ab")) << "half a project";
    fs::create_directory(Data("p.qvd.~00000000000a"));
    Start({project});
    ASSERT_FALSE(g_bStartSelect);
    EXPECT_FALSE(fs::exists(Data("p.qvd.~0123456789ab")));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(Data(name))) << name;
    EXPECT_TRUE(fs::is_directory(Data("p.qvd.~00000000000a")));
}

TEST_F(FileCommands, FailingSaveKeepsTheOldFileAndReportsFailure)
{
    const std::string project = StartWith("p.qvd", 2);
    const std::string before = Bytes(project);
    FailWrites(true);
    Main().txtMEMO.Text = "changed";
    EXPECT_FALSE(Main().SaveData());
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"データ保存に失敗しました．"});
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(Bytes(project), before);
    EXPECT_FALSE(ui.Busy());

    FailWrites(false);
    EXPECT_TRUE(Main().SaveData());
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.memo, "changed");
}

// Another running program holds a project (a lock of the test's own, as a second program's):
// opening it asks, names the holder, and opens nothing on "いいえ"; "はい" opens it without
// saving: saves write nothing, told once, the commands that write into its folder are off, and
// closing leaves its files as they were.
TEST_F(FileCommands, AProjectAnotherProgramHoldsOpensOnlyWithoutSaving)
{
    const std::string old = StartWith("old.qvd", 1);
    const std::string shared = WriteProject("shared.qvd", 3);
    const std::string bytes = Bytes(shared);
    std::string other;
    {
        platform::ScopedClock clock(platform::DateFromParts(2024, 5, 1, 9, 30, 0));
        platform::ProjectLock held(shared);
        ASSERT_TRUE(held.Held());
        char host[HOST_NAME_MAX + 1] = {};
        gethostname(host, sizeof host - 1);
        const std::string asked = "このファイルは別のMurteskで開かれています．\r\n" + shared + "\r\n\r\nプロセス番号 " +
                                  std::to_string(getpid()) + "（" + host +
                                  "）が 2024/05/01 09:30:00 から開いています．\r\n\r\n保存しないで開きますか？\r\n"
                                  "「はい」：保存しないで開く（変更は保存されません）\r\n「いいえ」：開かない";
        ui.ChooseNext(shared);
        ui.AnswerNext(MsgAnswer::No);
        Main().mnuFileOpen_Click();
        ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{asked});
        EXPECT_EQ(ui.Messages()[0].Title, "ファイル使用中");
        EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
        EXPECT_EQ(Doc().SaveFilePath(), old);
        EXPECT_EQ(Main().ListView1.Rows.size(), 1u);
        EXPECT_FALSE(g_bStartSelect);

        ui.ClearTranscript();
        ui.ChooseNext(shared);
        ui.AnswerNext(MsgAnswer::Yes);
        Main().mnuFileOpen_Click();
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{asked});
        EXPECT_EQ(Doc().SaveFilePath(), shared);
        EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + shared + "（保存しない）");
        EXPECT_EQ(Main().ListView1.Rows.size(), 3u);
        for (const platform::ControlState* c : std::initializer_list<const platform::ControlState*>{
                 &Main().cmdStart, &Main().cmdDEL, &Main().mnuFileWaveOpen, &Main().mnuToolTestCommand,
                 &Main().mnuToolCalcPlural}) {
            EXPECT_FALSE(c->Enabled);
        }
        EXPECT_TRUE(Main().cmdOK.Enabled);
        ui.ClearTranscript();
        Main().txtMEMO.Text = "typed here";
        EXPECT_TRUE(Main().SaveData());
        Main().cmdUp_Click();
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{"このファイルは保存しないで開いています．\r\n変更は保存されません．"});
        EXPECT_EQ(Main().ListView1.Rows[2].Texts[1], "rec3.wav");  // a move that is not saved is not made
        ui.ChooseNext(old);
        Main().mnuFileOpen_Click();
        EXPECT_EQ(Doc().SaveFilePath(), old);
        EXPECT_EQ(Bytes(shared), bytes);
        EXPECT_EQ(ui.MessageTexts().size(), 1u);
    }
    // Let go by its holder, the project opens as any other.
    ui.ClearTranscript();
    ui.ChooseNext(shared);
    Main().mnuFileOpen_Click();
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + shared);
    EXPECT_TRUE(Main().cmdStart.Enabled);
}

// Opened without saving where no folder of the program's own can take its statistics: they are read
// where they lie, which the user is told once the project is shown.
TEST_F(FileCommands, ACopyWhoseStatisticsStayInThePlaceOfTheHoldersSaysSo)
{
    StartWith("old.qvd", 1);
    const std::string shared = WriteProject("shared.qvd", 2);
    platform::ProjectLock held(shared);
    ASSERT_TRUE(held.Held());
    FakeDocument::ownStatistics = false;
    ui.ChooseNext(shared);
    ui.AnswerNext(MsgAnswer::Yes);
    Main().mnuFileOpen_Click();
    FakeDocument::ownStatistics = true;
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[1].Text,
              "統計データを写しておく空きが一時フォルダにないので、プロジェクトの統計データをそのまま読みます．\r\n"
              "範囲を変えても統計値は計算し直せません．また、開いている別のMurteskが保存すると、"
              "統計値が表示されなくなることがあります．");
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Exclamation);
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + shared + "（保存しない）");
    EXPECT_EQ(Main().ListView1.Rows.size(), 2u);
}

// Another program rewrote the project file after it was read: a save asks before it writes over
// that, and "いいえ" keeps the other program's file.
TEST_F(FileCommands, ASaveAsksBeforeItWritesOverAnotherProgramsChange)
{
    const std::string project = StartWith("p.qvd", 2);
    WriteProject("p.qvd", 5, "written elsewhere");
    const std::string changed = Bytes(project);
    const std::string asked = "保存先ファイルが、読み込んだ後に別のプログラムで変更されています．\r\n" + project +
                              "\r\n\r\n上書き保存しますか？\r\n「いいえ」：保存しない（変更は保存されません）";
    ui.AnswerNext(MsgAnswer::No);
    EXPECT_TRUE(Main().SaveData());
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{asked});
    EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
    EXPECT_EQ(Bytes(project), changed);

    ui.AnswerNext(MsgAnswer::Yes);
    EXPECT_TRUE(Main().SaveData());
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.measures.size(), 2u);
    // The file is this program's own again: the next save writes without a question.
    ui.ClearTranscript();
    EXPECT_TRUE(Main().SaveData());
    EXPECT_TRUE(ui.Messages().empty());
}

// A project opened through a symbolic link is the file behind it: the caption names that file, a save
// writes it and leaves the link a link, and the link's name meets the project's lock.
TEST_F(FileCommands, AProjectOpenedThroughALinkIsSavedToTheFileBehindIt) {
    StartWith("old.qvd", 1);
    const std::string project = WriteProject("p.qvd", 2);
    fs::create_symlink("p.qvd", Data("link.qvd"));
    ui.ChooseNext(Data("link.qvd"));
    Main().mnuFileOpen_Click();
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + project);
    Main().txtMEMO.Text = "saved through the link";
    EXPECT_TRUE(Main().SaveData());
    EXPECT_TRUE(fs::is_symlink(Data("link.qvd")));
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.memo, "saved through the link");
    EXPECT_EQ(platform::ProjectLock(Data("link.qvd")).state(), platform::ProjectLock::State::kTaken);
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

// Where no lock can be had (here a lock file that is a named pipe) the project opens without saving,
// and the user is told so and why; no save writes it, and nothing is made beside it.
TEST_F(FileCommands, AProjectWithoutAUsableLockOpensWithoutSavingAndSaysWhy) {
    StartWith("old.qvd", 1);
    const std::string project = WriteProject("p.qvd", 2);
    const std::string bytes = Bytes(project);
    ASSERT_EQ(mkfifo((project + ".lock").c_str(), 0600), 0);
    ui.ChooseNext(project);
    Main().mnuFileOpen_Click();
    ASSERT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"このファイルは保存しないで開きます（変更は保存されません）．\r\n" + project +
                                       "\r\n\r\nロックファイルが通常のファイルではない（リンク、フォルダなど）ので、"
                                       "別のMurteskが同時に開くのを防げません．\r\n" +
                                       project + ".lock"});
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + project + "（保存しない）");
    EXPECT_FALSE(Main().cmdStart.Enabled);
    Main().txtMEMO.Text = "not kept";
    EXPECT_TRUE(Main().SaveData());
    EXPECT_EQ(Bytes(project), bytes);
    EXPECT_TRUE(fs::is_fifo(project + ".lock"));

    ui.ClearTranscript();
    ui.ChooseNext(Data("new.qvd"));
    ASSERT_EQ(mkfifo(Data("new.qvd.lock").c_str(), 0600), 0);
    Main().mnuFileNew_Click();
    EXPECT_EQ(ui.MessageTexts().at(0),
              Data("new.qvd") +
                  "\r\n\r\nロックファイルが通常のファイルではない（リンク、フォルダなど）ので、"
                  "別のMurteskが同時に開くのを防げません．\r\n" +
                  Data("new.qvd.lock") + "\r\n\r\nこのファイル名では新規作成できません．");
    EXPECT_FALSE(fs::exists(Data("new.qvd")));
}

// The lock is held exactly while the screen shows its project: a failed open lets go of the project
// open before, and a new project made under the name of the open one's deleted file is not taken
// for another program's, nor given the deleted file's other name.
TEST_F(FileCommands, TheLockIsHeldOnlyWhileItsProjectIsShown) {
    const std::string first = StartWith("p.qvd", 2);
    g_CommandLine.clear();
    std::ofstream(Data("broken.qvd")) << "junk";
    ui.ChooseNext(Data("broken.qvd"));
    bool heldWhileChoosing = true;
    ui.OnModal("frmFirstSelect", [&](platform::Form& f) {
        EXPECT_EQ(Main().txtSavePath.Text, "-----");
        heldWhileChoosing = !platform::ProjectLock(first).Held();
        f.Ui().Unload(f, platform::UnloadMode::FormControlMenu);
    });
    Main().mnuFileOpen_Click();
    EXPECT_FALSE(heldWhileChoosing);

    const std::string second = WriteProject("q.qvd", 1);
    ui.ChooseNext(second);
    Main().mnuFileOpen_Click();
    ASSERT_EQ(Main().Caption, "Murtesk メイン画面 " + second);
    fs::create_hard_link(second, Data("kept.qvd"));
    fs::remove(second);
    ui.ClearTranscript();
    ui.ChooseNext(second);
    ui.AnswerNext(MsgAnswer::No);  // the save of the open project, whose file is gone, asks first
    Main().mnuFileNew_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].Title, "ファイル使用中");
    EXPECT_EQ(Main().Caption, "Murtesk メイン画面 " + second);
    FakeDocument made("");
    EXPECT_TRUE(made.FileRead(second));
    // The deleted project's name that was left keeps that project: the new one is another.
    FakeDocument kept("");
    ASSERT_TRUE(kept.FileRead(Data("kept.qvd")));
    EXPECT_EQ(kept.measures.size(), 1u);
    // The new file is held under its other names too.
    fs::create_hard_link(second, Data("hard.qvd"));
    EXPECT_EQ(platform::ProjectLock(Data("hard.qvd")).state(), platform::ProjectLock::State::kTaken);

    // The path button's choice closed without a choice: the project still shown, and still saved from
    // the calculation screen, stays held.
    ui.OnModal("frmFirstSelect", [](platform::Form& f) { f.Ui().Unload(f, platform::UnloadMode::FormControlMenu); });
    Main().cmdSavePath_Click();
    ASSERT_EQ(Main().txtSavePath.Text, second);
    EXPECT_EQ(platform::ProjectLock(second).state(), platform::ProjectLock::State::kTaken);
}

// What another program did to the project file since it was read here: a save asks exactly when the
// bytes differ, whatever the times say.
TEST_F(FileCommands, ASaveAsksExactlyWhenTheBytesChanged) {
    const std::string project = StartWith("p.qvd", 2);
    const auto setModified = [&](const struct timespec& when) {
        const struct timespec times[2] = {when, when};
        ASSERT_EQ(utimensat(AT_FDCWD, project.c_str(), times, 0), 0);
    };
    ASSERT_TRUE(Main().SaveData());
    struct stat read {};
    ASSERT_EQ(stat(project.c_str(), &read), 0);
    const std::string original = Bytes(project);
    std::string sameSize = original;
    sameSize[sameSize.size() - 2] ^= 1;  // a measurement's text, one letter
    struct Case {
        const char* what;
        std::function<void()> change;
        bool asked;
    };
    const std::vector<Case> cases = {
        {"touched",
         [&] {
             setModified({read.st_mtim.tv_sec + 100, 0});
         },
         false},
        {"the same bytes put in its place",
         [&] {
             std::ofstream(Data("copy")) << original;
             fs::rename(Data("copy"), project);
         },
         false},
        {"one byte changed, the time put back",
         [&] {
             std::ofstream(project, std::ios::binary | std::ios::in) << sameSize;
             setModified(read.st_mtim);
         },
         true},
        {"another size", [&] { std::ofstream(project, std::ios::app) << "more"; }, true},
    };
    for (const Case& c : cases) {
        ui.ClearTranscript();
        c.change();
        ui.AnswerNext(MsgAnswer::Yes);
        EXPECT_TRUE(Main().SaveData()) << c.what;
        EXPECT_EQ(ui.Messages().size(), c.asked ? 1u : 0u) << c.what;
        ASSERT_EQ(Bytes(project), original) << c.what;  // the save wrote the project as read
        ASSERT_EQ(stat(project.c_str(), &read), 0);
    }
}

// A save that failed only at the flush of the folder after its rename is a failed save (a power loss may yet
// bring the old file back), and the file it left in place is this program's own: the next save asks nothing.
TEST_F(FileCommands, ASaveWhoseFolderCannotBeFlushedFailsAndTheNextAsksNothing)
{
    const std::string project = StartWith("p.qvd", 2);
    const std::string folder = fs::canonical(fs::path(project).parent_path()).string();
    {
        platform::testing::FailingFlushes failing([&](const std::string& path) { return path == folder; });
        EXPECT_FALSE(Main().SaveData());
        EXPECT_EQ(failing.failed(), 1);
    }
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"データ保存に失敗しました．"});
    ui.ClearTranscript();
    EXPECT_TRUE(Main().SaveData());
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

}  // namespace
}  // namespace murtesk::testing
