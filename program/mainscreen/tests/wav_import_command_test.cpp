// The main screen's WAV import command: the dialog, then the save and the list.
#include "mainscreen_fixture.h"

namespace murtesk::testing {
namespace {

class WavImportCommand : public MainScreenTest {
protected:
    ~WavImportCommand() override { g_ShowWavImport = {}; }

    std::string StartWith(const std::string& name, int n)
    {
        const std::string project = WriteProject(name, n);
        Start({project});
        ui.ClearTranscript();
        return project;
    }
    // The import adds these measurements.
    void ImportAdds(int n)
    {
        g_ShowWavImport = [this, n](platform::UiServices&) {
            ++shown;
            for (int i = 0; i < n; ++i) {
                Doc().measures.push_back(
                    {"new.wav", "2024/06/01 09:00:0" + std::to_string(i), "imported", "new condition"});
            }
        };
    }
    int shown = 0;
};

TEST_F(WavImportCommand, NewMeasurementsAreSavedAndListed)
{
    const std::string project = StartWith("p.qvd", 1);
    ImportAdds(2);
    Main().txtMEMO.Text = "memo at import";
    Main().mnuFileWaveOpen_Click();
    EXPECT_EQ(shown, 1);
    ASSERT_EQ(Main().ListView1.Rows.size(), 3u);
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.measures.size(), 3u);
    EXPECT_EQ(saved.memo, "memo at import");
    EXPECT_TRUE(ui.Messages().empty());
}

// The video and its counts are named after the start: a new measurement of a start already listed is told,
// with the measurements it shares them with; one of a start of its own is not.
TEST_F(WavImportCommand, AMeasurementStartingInTheSameSecondAsAnotherIsNamed)
{
    StartWith("p.qvd", 2);
    g_ShowWavImport = [this](platform::UiServices&) {
        Doc().measures.push_back({"rec2.wav", "2024/05/02 10:00:00", "again", "c"});
        Doc().measures.push_back({"other.wav", "2024/05/02 10:00:01", "a second later", "c"});
        Doc().measures.push_back({"rec2.wav", "2024/05/02 10:00:00", "once more", "c"});
    };
    Main().mnuFileWaveOpen_Click();
    ASSERT_EQ(Main().ListView1.Rows.size(), 5u);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text,
              "読み込んだ測定に,開始日時が他の測定と同じものがあります.\r\n"
              "No.3 rec2.wav 2024/05/02 10:00:00 : No.2, No.5と同じ開始日時\r\n"
              "No.5 rec2.wav 2024/05/02 10:00:00 : No.2, No.3と同じ開始日時\r\n"
              "開始日時が同じ測定は動画ファイルとそのカウント情報・速度情報を共有するので,"
              "動画の割り当てとカウント情報・速度情報の変更はできません.\r\n"
              "別々に使うときは,演算画面の「実測開始日時の変更」で1つの測定を残して他の測定の開始日時を変えて下さい"
              "(動画ファイルとカウント情報・速度情報は変えなかった測定に残ります).");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Exclamation);
}

// Another program changed the project file since it was read: the import asks before it starts;
// "いいえ" imports nothing and keeps that file, "はい" imports and saves without asking again.
TEST_F(WavImportCommand, AProjectChangedElsewhereIsAskedAboutBeforeTheImport) {
    const std::string project = StartWith("p.qvd", 2);
    WriteProject("p.qvd", 1, "written elsewhere");
    const std::string changed = Bytes(project);
    ImportAdds(1);
    ui.AnswerNext(platform::MsgAnswer::No);
    Main().mnuFileWaveOpen_Click();
    EXPECT_EQ(
        ui.MessageTexts(),
        std::vector<std::string>{"保存先ファイルが、読み込んだ後に別のプログラムで変更されています．\r\n" + project +
                                 "\r\n\r\nWaveファイルを読み込んで上書き保存しますか？\r\n"
                                 "「いいえ」：読み込まない"});
    EXPECT_EQ(ui.Messages()[0].Default, platform::MsgAnswer::No);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(Main().ListView1.Rows.size(), 2u);
    EXPECT_EQ(Bytes(project), changed);

    // "はい" and an import that adds nothing: a later save still asks.
    ImportAdds(0);
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    Main().mnuFileWaveOpen_Click();
    ui.AnswerNext(platform::MsgAnswer::No);
    EXPECT_TRUE(Main().SaveData());
    EXPECT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(Bytes(project), changed);

    ImportAdds(1);
    shown = 0;
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    Main().mnuFileWaveOpen_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(ui.Messages().size(), 1u);
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_EQ(saved.measures.size(), 3u);
}

TEST_F(WavImportCommand, NothingImportedWritesNothing)
{
    const std::string project = StartWith("p.qvd", 1);
    const std::string before = Bytes(project);
    ImportAdds(0);
    Main().txtMEMO.Text = "changed";
    Main().mnuFileWaveOpen_Click();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Bytes(project), before);
}

TEST_F(WavImportCommand, ASaveThatFailsEndsTheMainScreen)
{
    const std::string project = StartWith("p.qvd", 1);
    ImportAdds(1);
    FailWrites(true);
    ui.AnswerNext(platform::MsgAnswer::OK);
    ui.AnswerNext(platform::MsgAnswer::OK);
    ui.AnswerNext(platform::MsgAnswer::Yes);
    Main().mnuFileWaveOpen_Click();
    FailWrites(false);
    ASSERT_GE(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[0].Text, "データ保存に失敗しました．");
    EXPECT_EQ(ui.Messages()[1].Text, "保存できなくなりました.終了します.");
    EXPECT_EQ(ui.Messages()[1].Title, "お詫び");
    EXPECT_EQ(ui.Messages()[1].Icon, platform::MsgIcon::Critical);
    EXPECT_EQ(ui.Messages()[2].Text, "終了しますか？");
    EXPECT_TRUE(ui.Ended());
    FakeDocument old("");
    ASSERT_TRUE(old.FileRead(project));
    EXPECT_EQ(old.measures.size(), 1u) << "the old project file stays whole";
}

}  // namespace
}  // namespace murtesk::testing
