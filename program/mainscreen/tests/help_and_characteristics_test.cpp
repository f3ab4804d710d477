// The main screen's start-up loads the user correction characteristics before the main screen
// shows; its Help menu opens the manual and the version window.
#include "mainscreen_fixture.h"

#include "platform/text_encoding.h"

#include <algorithm>

namespace murtesk::testing {
namespace {

class ScriptedRunner final : public ProcessRunner {
public:
    explicit ScriptedRunner(ProcessOutcome outcome) : outcome_(outcome) {}
    ProcessOutcome Run(const std::vector<std::string>& argv) override
    {
        opened.push_back(argv.back());
        return outcome_;
    }
    ProcessOutcome RunToEnd(const std::vector<std::string>& argv, const std::function<void()>&) override
    {
        return Run(argv);
    }
    std::vector<std::string> opened;

private:
    ProcessOutcome outcome_;
};

class StartWithCharacteristics : public MainScreenTest {
protected:
    void WriteCharacteristic(int n, const std::string& names, int corrections)
    {
        std::string text = platform::Utf8ToCp932(names) + "\r\nheadings\r\n";
        for (int i = 0; i < corrections; ++i) text += (i ? ",-" : "-") + std::to_string(i);
        text += "\r\n";
        std::ofstream(home / ("オリジナル特性" + std::to_string(n) + ".csv"), std::ios::binary) << text;
    }
};

TEST_F(StartWithCharacteristics, LoadsThemUpToTheFirstBadFileBeforeTheMainScreenShows)
{
    WriteCharacteristic(1, "道路交通騒音補正,道路", 45);
    WriteCharacteristic(2, "不足,x", 44);
    WriteCharacteristic(3, "届かない,y", 45);
    Choose(0);
    ui.AnswerNext(platform::MsgAnswer::No);
    Start();

    ASSERT_EQ(g_OriginalWs.count(), 1);
    EXPECT_EQ(g_OriginalWs.Item(1).WName, "道路交通騒音補正");
    EXPECT_EQ(g_OriginalWs.Item(1).WNameHalfSize, "道路");
    EXPECT_DOUBLE_EQ(g_OriginalWs.Item(1).WRevise3.dB(44), -44.0);
    const std::string message = "msg " + AppFile("オリジナル特性2.csv") + "3行目フィールド数エラー";
    const auto& e = ui.Events();
    const auto at = [&](const std::string& s) { return std::find(e.begin(), e.end(), s) - e.begin(); };
    ASSERT_LT(at(message), static_cast<long>(e.size()));
    EXPECT_LT(at(message), at("show frmMeasure"));
}

TEST_F(MainScreenTest, HelpMenuOpensTheManualAndReportsAMissingViewer)
{
    Choose(0);
    ui.AnswerNext(platform::MsgAnswer::No);
    Start();
    std::ofstream(home / "Murtesk.pdf") << "%PDF";
    auto runner = std::make_unique<ScriptedRunner>(ProcessOutcome{ProcessOutcome::Kind::Exited, 4});
    ScriptedRunner& seen = *runner;
    Main().m_ProcessRunner = std::move(runner);
    ui.ClearTranscript();

    Main().mnuHelpFile_Click();
    ASSERT_EQ(seen.opened, std::vector<std::string>{AppFile("Murtesk.pdf")});
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text.substr(0, ui.Messages()[0].Text.find('\r')), "ヘルプはPDFファイルで作成しております。");
}

TEST_F(MainScreenTest, HelpMenuShowsTheVersionWindowModally)
{
    Choose(0);
    ui.AnswerNext(platform::MsgAnswer::No);
    Start();
    std::string version;
    ui.OnModal("frmAbout", [&](platform::Form& f) {
        auto& about = static_cast<frmAbout&>(f);
        version = about.lblVersion.Caption;
        about.cmdOK_Click();
    });
    Main().mnuHelpVer_Click();
    EXPECT_EQ(version, "ﾊﾞｰｼﾞｮﾝ " + std::to_string(kAppMajor) + "." + std::to_string(kAppMinor) + "." +
                           std::to_string(kAppRevision));
    EXPECT_EQ(Count("modal frmAbout"), 1);
}

}  // namespace
}  // namespace murtesk::testing
