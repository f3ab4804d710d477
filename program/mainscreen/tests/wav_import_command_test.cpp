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
                Doc().measures.push_back({"new.wav", "2024/06/01 09:00:00", "imported", "new condition"});
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
