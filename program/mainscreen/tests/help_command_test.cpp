// The manual command: xdg-open's outcome as a shell result code, the message the Help menu shows
// for it.
#include "fake_ui.h"
#include "help_command.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using Kind = ProcessOutcome::Kind;

class ScriptedRunner final : public ProcessRunner {
public:
    ProcessOutcome Run(const std::vector<std::string>& argv) override
    {
        calls.push_back(argv);
        return outcome;
    }
    ProcessOutcome RunToEnd(const std::vector<std::string>& argv, const std::function<void()>&) override
    {
        return Run(argv);
    }
    ProcessOutcome outcome;
    std::vector<std::vector<std::string>> calls;
};

struct CodeCase {
    const char* name;
    ProcessOutcome outcome;
    std::int32_t code;
};

class ShellCodes : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ShellCodes, MapTheOutcomeOfXdgOpen)
{
    ScriptedRunner runner;
    runner.outcome = GetParam().outcome;
    EXPECT_EQ(ShellOpenFile(runner, "/p/Murtesk.pdf"), GetParam().code);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0], (std::vector<std::string>{"xdg-open", "/p/Murtesk.pdf"}));
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ShellCodes,
    ::testing::Values(CodeCase{"Opened", {Kind::Exited, 0}, 33},
                      CodeCase{"ViewerStillRunning", {Kind::StillRunning, 0}, 33},
                      CodeCase{"FileMissing", {Kind::Exited, 2}, 2},
                      CodeCase{"NoToolForTheType", {Kind::Exited, 3}, 31},
                      CodeCase{"OpeningFailed", {Kind::Exited, 4}, 31},
                      CodeCase{"NoXdgOpen", {Kind::NotStarted, 0}, 31},
                      CodeCase{"BadCommandLine", {Kind::Exited, 1}, 0},
                      CodeCase{"Killed", {Kind::Signalled, 0}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellErrorText, NamesEachCodeOfTheTable)
{
    EXPECT_EQ(ShellErrorText(2), "File not found");
    EXPECT_EQ(ShellErrorText(26), "A sharing violation occurred");
    EXPECT_EQ(ShellErrorText(32), "DLL not found");
    EXPECT_EQ(ShellErrorText(27), ShellErrorText(31));
    EXPECT_EQ(ShellErrorText(0), "Unknown error");
    EXPECT_EQ(ShellErrorText(4), "Unknown error");
}

class ManualCommand : public ::testing::Test {
protected:
    ManualCommand()
    {
        setenv("MURTESK_HOME", home.c_str(), 1);
    }
    ~ManualCommand() override
    {
        unsetenv("MURTESK_HOME");
    }
    void Touch(const char* name) { std::ofstream(home / name) << "x"; }

    test_support::ScratchFolder scratch_{"help"};
    fs::path home = scratch_.path();
    platform::testing::FakeUi ui;
    ScriptedRunner runner;
};

TEST_F(ManualCommand, ManualWithoutViewerTellsWhereToGetOne)
{
    Touch("Murtesk.pdf");
    runner.outcome = {Kind::Exited, 3};
    OpenManual(ui, runner);
    ASSERT_EQ(runner.calls.size(), 1u);
    EXPECT_EQ(runner.calls[0][1], (home / "Murtesk.pdf").string());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text,
              "ヘルプはPDFファイルで作成しております。\r\n"
              "Adobe社サイトより Acrobat Reader をダウンロードしてください。\r\n"
              "Acrobat Reader はAdobe社サイトで無償提供・配布されています。");
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
}

TEST_F(ManualCommand, OpenedManualShowsNothing)
{
    Touch("Murtesk.pdf");
    runner.outcome = {Kind::Exited, 0};
    OpenManual(ui, runner);
    EXPECT_TRUE(ui.Messages().empty());
}

class ReadMeCommand : public ManualCommand, public ::testing::WithParamInterface<ProcessOutcome> {};

TEST_P(ReadMeCommand, WithoutManualTheReadMeOpensAndItsFailureNamesIt)
{
    runner.outcome = GetParam();
    OpenManual(ui, runner);
    ASSERT_EQ(runner.calls.size(), 1u);
    const std::string readMe = (home / "ReadMe.txt").string();
    EXPECT_EQ(runner.calls[0][1], readMe);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "説明ファイルを開けませんでした.\r\n" + readMe);
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
}

INSTANTIATE_TEST_SUITE_P(Failures, ReadMeCommand,
                         ::testing::Values(ProcessOutcome{Kind::NotStarted, 0}, ProcessOutcome{Kind::Exited, 2},
                                           ProcessOutcome{Kind::Exited, 4}, ProcessOutcome{Kind::Signalled, 0}));

}  // namespace
}  // namespace murtesk
