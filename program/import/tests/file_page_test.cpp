// The file list page: loading from the template, adding by the open dialog and by dropping,
// removing and moving blocks of entries, and the closing paths.
#include "import_fakes.h"

#include <gtest/gtest.h>

namespace murtesk::import::testing {
namespace {

using platform::MsgAnswer;
using Strings = std::vector<std::string>;

class FilePage : public ::testing::Test, public DialogFixture {
protected:
    // Opens the dialog with entries "1" .. "n" and the given 1-based entries selected.
    frmWavFileReadAD& OpenWith(int n, std::initializer_list<int> selected = {})
    {
        std::string account;
        for (int i = 1; i <= n; ++i) {
            if (i > 1) account.push_back('\0');
            account += std::to_string(i);
        }
        document.targets = account;
        frmWavFileReadAD& f = Open();
        for (int s : selected) f.lstWaveFile.SetSelected(s - 1, true);
        return f;
    }
};

TEST_F(FilePage, LoadsTheFilesAndCalibrationOfTheLastCheck)
{
    document.targets = std::string("a.wav\0\0b.wav\0", 14);
    document.calibration = "/data/cal.wav";
    frmWavFileReadAD& f = Open();
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{"a.wav", "b.wav"}));
    EXPECT_EQ(f.txtCSVPathName.Text, "/data/cal.wav");
    EXPECT_TRUE(f.vsElastic1.Visible);
    EXPECT_FALSE(f.vsElastic2.Visible);
    EXPECT_FALSE(f.chkWaveOut.Value);
    EXPECT_EQ(f.DefaultButton, "cmdNext");
    EXPECT_EQ(f.CancelButton, "cmdCancel0");
    EXPECT_EQ(f.txtCalLevel.Text, "94");
    EXPECT_EQ(f.txtZeroPlus.Text, "0");
}

TEST_F(FilePage, EmptyTemplateGivesAnEmptyList)
{
    frmWavFileReadAD& f = Open();
    EXPECT_EQ(f.lstWaveFile.ListCount(), 0);
}

TEST_F(FilePage, ChoiceListsCarryTheirCodes)
{
    document.userNames = {"道路", "鉄道"};
    frmWavFileReadAD& f = Open();
    EXPECT_EQ(f.cmbW.Items, (Strings{"A", "C", "G", "Ｌvz", "Ｌvxy", "計算しない", "道路", "鉄道"}));
    EXPECT_EQ(f.cmbW.ItemData, (std::vector<std::int32_t>{3, 4, 2, 0, 1, -1, 6, 7}));
    EXPECT_EQ(f.cmbTimeWeighting.Items, (Strings{"FAST", "SLOW", "VL", "IMPULSE", "10mSec", "1mSec"}));
    EXPECT_EQ(f.cmbTimeWeighting.ItemData, (std::vector<std::int32_t>{0, 2, 1, 3, 4, 5}));
    EXPECT_EQ(f.cmbLevelIntervalMS.ItemData, (std::vector<std::int32_t>{100, 10, 1}));
    EXPECT_EQ(f.cmbOct1or3.ItemData, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(f.cmbCALWavePattern.Items, (Strings{"正弦波", "矩形波", "三角波"}));
    EXPECT_EQ(f.cmbW.ListIndex, -1);
}

TEST_F(FilePage, OpenDialogAppendsOneOrSeveralFiles)
{
    frmWavFileReadAD& f = OpenWith(1);
    ui.ChooseNext("/rec/x.wav");
    f.cmdWaveFiles_Click();
    ui.ChooseNext(std::string("/rec\0c.wav\0a.WAV\0b.wav", 22));
    f.cmdWaveFiles_Click();
    ui.ChooseNext(std::nullopt);  // cancelled
    f.cmdWaveFiles_Click();
    ui.ChooseNext(std::string());
    f.cmdWaveFiles_Click();
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{"1", "/rec/x.wav", "/rec/c.wav", "/rec/a.WAV", "/rec/b.wav"}));

    const platform::FileDialogRequest& request = ui.Dialogs().front().Request;
    EXPECT_EQ(request.Title, "解析Waveファイルを選択して下さい．");
    EXPECT_EQ(request.Filter, "Waveﾌｧｲﾙ (*.wav)|*.wav");
    EXPECT_TRUE(request.MultiSelect);
    EXPECT_TRUE(request.FileMustExist);
    EXPECT_TRUE(request.HideReadOnly);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FilePage, DroppedFilesComeInCaseInsensitiveOrderAfterTheList)
{
    frmWavFileReadAD& f = OpenWith(1);
    f.lstWaveFile_OLEDragDrop({{"/d/b.wav", "/d/A.wav", "/d/c.wav", "/d/b.wav"}, std::nullopt});
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{"1", "/d/A.wav", "/d/b.wav", "/d/b.wav", "/d/c.wav"}));
}

TEST_F(FilePage, DroppedTextCountsOnlyWhenItNamesAFile)
{
    frmWavFileReadAD& f = OpenWith(0);
    const std::string file = folder.Touch("t.wav");
    f.lstWaveFile_OLEDragDrop({{}, folder.Path("missing.wav")});
    f.lstWaveFile_OLEDragDrop({{}, folder.Folder()});
    f.lstWaveFile_OLEDragDrop({{}, file});
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{file}));
    EXPECT_TRUE(ui.Messages().empty());
}

// Text from an editor or a browser: a path or a file address per line, each line one file.
TEST_F(FilePage, DroppedTextNamesOneFilePerLineAsPathOrAddress)
{
    frmWavFileReadAD& f = OpenWith(0);
    const std::string spaced = folder.Touch("a b.wav");
    const std::string plain = folder.Touch("c.wav");
    std::string address = "file://";
    for (const char c : spaced) {
        address += c == ' ' ? std::string("%20") : std::string(1, c);
    }
    f.lstWaveFile_OLEDragDrop({{}, address + "\r\n\"" + plain + "\"\r\n" + folder.Path("missing.wav") + "\r\n"});
    f.lstWaveFile_OLEDragDrop({{}, plain + "\nbad|name.wav"});  // a line that can name no file: none added
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{spaced, plain}));

    f.txtCSVPathName_OLEDragDrop({{}, address + "\r\n"});
    EXPECT_EQ(f.txtCSVPathName.Text, spaced);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FilePage, CalibrationBoxTakesTheChosenOrDroppedPath)
{
    frmWavFileReadAD& f = Open();
    ui.ChooseNext("/cal/one.wav");
    f.cmdCalWaveFile_Click();
    EXPECT_EQ(f.txtCSVPathName.Text, "/cal/one.wav");
    EXPECT_EQ(ui.Dialogs().back().Request.Title, "CAL信号Waveファイルを一つ選択して下さい．");
    EXPECT_FALSE(ui.Dialogs().back().Request.MultiSelect);
    ui.ChooseNext(std::nullopt);
    f.cmdCalWaveFile_Click();
    EXPECT_EQ(f.txtCSVPathName.Text, "/cal/one.wav");

    f.txtCSVPathName_OLEDragDrop({{"/a.wav", "/b.wav"}, std::nullopt});
    EXPECT_EQ(f.txtCSVPathName.Text, "/a.wav");
    f.txtCSVPathName_OLEDragDrop({{"/a.wav"}, std::string("typed text")});
    EXPECT_EQ(f.txtCSVPathName.Text, "typed text");
}

TEST_F(FilePage, DeleteRemovesTheSelectedAndSelectsTheLast)
{
    frmWavFileReadAD& f = OpenWith(5, {2, 4});
    f.cmdDeleteFile_Click();
    EXPECT_EQ(f.lstWaveFile.Items, (Strings{"1", "3", "5"}));
    EXPECT_EQ(SelectedEntries(), (std::vector<int>{2}));
    EXPECT_EQ(f.lstWaveFile.ListIndex, 2);

    for (int i = 0; i < 3; ++i) f.lstWaveFile.SetSelected(i, true);
    f.cmdDeleteFile_Click();
    EXPECT_EQ(f.lstWaveFile.ListCount(), 0);
    EXPECT_EQ(f.lstWaveFile.ListIndex, -1);
    f.cmdDeleteFile_Click();  // empty list: nothing
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FilePage, DeleteWithoutSelectionAsksForOne)
{
    frmWavFileReadAD& f = OpenWith(3);
    f.cmdDeleteFile_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "削除したいファイルを複数選択して下さい．");
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::None);
    EXPECT_EQ(f.FocusedControl, "lstWaveFile");
    EXPECT_EQ(f.lstWaveFile.ListCount(), 3);
}

struct MoveCase {
    const char* name;
    bool up;
    std::vector<int> selected;  // 1-based
    Strings order;
    std::vector<int> selectedAfter;  // 0-based
    const char* message;             // nullptr: none
};

class MoveEntries : public FilePage, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveEntries, MovesOneContiguousBlock)
{
    const MoveCase& c = GetParam();
    frmWavFileReadAD& f = OpenWith(5);
    for (int s : c.selected) f.lstWaveFile.SetSelected(s - 1, true);
    if (c.up) {
        f.cmdUp_Click();
    } else {
        f.cmdDown_Click();
    }
    EXPECT_EQ(f.lstWaveFile.Items, c.order);
    EXPECT_EQ(SelectedEntries(), c.selectedAfter);
    if (c.message == nullptr) {
        EXPECT_TRUE(ui.Messages().empty());
    } else {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, c.message);
        EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
        EXPECT_EQ(f.FocusedControl, "lstWaveFile");
    }
}

const Strings kUnchanged{"1", "2", "3", "4", "5"};
INSTANTIATE_TEST_SUITE_P(
    Blocks, MoveEntries,
    ::testing::Values(
        MoveCase{"UpMiddle", true, {2, 3}, {"2", "3", "1", "4", "5"}, {0, 1}, nullptr},
        MoveCase{"DownMiddle", false, {2, 3}, {"1", "4", "2", "3", "5"}, {2, 3}, nullptr},
        MoveCase{"UpOne", true, {5}, {"1", "2", "3", "5", "4"}, {3}, nullptr},
        MoveCase{"UpAtTop", true, {1, 2}, kUnchanged, {0, 1}, nullptr},
        MoveCase{"DownAtBottom", false, {4, 5}, kUnchanged, {3, 4}, nullptr},
        MoveCase{"UpGap", true, {1, 3}, kUnchanged, {0, 2}, "移動したいファイルは連続して選択して下さい．"},
        MoveCase{"DownGap", false, {1, 3}, kUnchanged, {0, 2}, "移動したいファイルは連続して選択して下さい．"},
        MoveCase{"NoneSelected", false, {}, kUnchanged, {}, "移動したいファイルを選択して下さい．"}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

TEST_F(FilePage, MoveNeedsTwoEntries)
{
    frmWavFileReadAD& f = OpenWith(1);
    f.cmdUp_Click();
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(FilePage, CancelAndFrameCloseCloseTheDialog)
{
    frmWavFileReadAD& f = Open();
    f.cmdCancel_Click(0);
    EXPECT_FALSE(ui.IsLoaded(f));

    frmWavFileReadAD& g = Open();
    EXPECT_TRUE(ui.CloseByFrame(g));
    EXPECT_FALSE(ui.IsLoaded(g));
}

}  // namespace
}  // namespace murtesk::import::testing
