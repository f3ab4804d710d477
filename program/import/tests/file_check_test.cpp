// The file check behind "次へ(&N)": each failure with its message, mark and focus, the template left
// alone on failure, and the template fitted to the recordings on success.
#include "import_fakes.h"

#include <gtest/gtest.h>

namespace murtesk::import::testing {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;

const std::string kNeedOneSecond = "\r\n（１秒以上のデータが必要です）";

class FileCheck : public ::testing::Test, public DialogFixture {
protected:
    std::string cal;
    std::vector<std::string> targets;

    // A calibration file and n target files of one format, all readable.
    frmWavFileReadAD& OpenChecked(int n, int channels = 2)
    {
        cal = folder.Touch("cal.wav");
        library.Add(cal, channels);
        for (int i = 1; i <= n; ++i) {
            targets.push_back(folder.Touch("rec" + std::to_string(i) + ".wav"));
            library.Add(targets.back(), channels);
        }
        frmWavFileReadAD& f = Open();
        f.txtCSVPathName.Text = cal;
        for (const std::string& t : targets) f.lstWaveFile.AddItem(t);
        return f;
    }

    void ExpectRefused(const std::string& message, const std::string& focus, std::vector<int> selected = {},
                       bool selectAll = false)
    {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, message);
        EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
        EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
        EXPECT_EQ(form->FocusedControl, focus);
        EXPECT_EQ(form->FocusSelectsAll, selectAll);
        EXPECT_EQ(SelectedEntries(), selected);
        EXPECT_TRUE(form->vsElastic1.Visible);
        EXPECT_FALSE(form->vsElastic2.Visible);
        EXPECT_EQ(document.ChannelCount(), 0);
        EXPECT_EQ(document.targets, "");
    }
};

TEST_F(FileCheck, CalibrationPathMustNameAFile)
{
    for (std::string path : {std::string(), folder.Path("none.wav"), folder.Folder()}) {
        ui.ClearTranscript();
        frmWavFileReadAD& f = OpenChecked(1);
        f.txtCSVPathName.Text = path;
        f.cmdNext_Click();
        ExpectRefused("指定ファイルが存在しません。", "txtCSVPathName", {}, true);
    }
}

TEST_F(FileCheck, ListMustNotBeEmpty)
{
    frmWavFileReadAD& f = OpenChecked(0);
    f.cmdNext_Click();
    ExpectRefused("解析対象Waveファイルを指定してください。", "cmdWaveFiles");
}

TEST_F(FileCheck, FirstMissingTargetIsSelected)
{
    frmWavFileReadAD& f = OpenChecked(2);
    f.lstWaveFile.AddItem(folder.Path("gone.wav"));
    f.lstWaveFile.AddItem(folder.Path("gone2.wav"));
    f.lstWaveFile.SetSelected(0, true);
    f.cmdNext_Click();
    ExpectRefused("指定ファイルが存在しません。", "cmdDeleteFile", {2});
    EXPECT_TRUE(library.calReads.empty());
}

TEST_F(FileCheck, UnreadableCalibration)
{
    frmWavFileReadAD& f = OpenChecked(1);
    library.files[cal].result = 0;
    f.cmdNext_Click();
    ExpectRefused("CAL入力Waveファイルを読めません。" + kNeedOneSecond, "txtCSVPathName", {}, true);
}

TEST_F(FileCheck, UnreadableTargetIsReportedBeforeAnEarlierMismatch)
{
    frmWavFileReadAD& f = OpenChecked(3);
    library.files[targets[0]].probe.rate = 44100;
    library.files[targets[2]].result = 0;
    f.cmdNext_Click();
    ExpectRefused("解析対象Waveファイルを読めません。" + kNeedOneSecond, "cmdDeleteFile", {2});
}

TEST_F(FileCheck, MoreChannelsThanTheLibraryCanReportCountAsUnreadable)
{
    frmWavFileReadAD& f = OpenChecked(1);
    library.files[targets[0]].probe.channels = kMaxWavChannels + 1;
    library.files[cal].probe.channels = kMaxWavChannels + 1;
    f.cmdNext_Click();
    ExpectRefused("CAL入力Waveファイルを読めません。" + kNeedOneSecond, "txtCSVPathName", {}, true);
}

struct MismatchCase {
    const char* name;
    void (*change)(WavProbe&);
    const char* suffix;
};

class FormatMismatch : public FileCheck, public ::testing::WithParamInterface<MismatchCase> {};

TEST_P(FormatMismatch, NamesTheFirstDifference)
{
    frmWavFileReadAD& f = OpenChecked(3);
    GetParam().change(library.files[targets[1]].probe);
    library.files[targets[2]].probe.channels = 1;
    f.cmdNext_Click();
    ExpectRefused(std::string("CAL入力Waveファイルと解析対象Waveファイルの形式が一致しません。") + GetParam().suffix,
                  "cmdDeleteFile", {1});
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FormatMismatch,
    ::testing::Values(MismatchCase{"Channels", [](WavProbe& p) { p.channels = 3; p.rate = 1; }, "(ch)"},
                      MismatchCase{"Rate", [](WavProbe& p) { p.rate = 44100; p.bits = 24; }, "(Hz)"},
                      MismatchCase{"Bits", [](WavProbe& p) { p.bits = 24; p.format = 3; }, "(bit)"},
                      MismatchCase{"Format", [](WavProbe& p) { p.format = 3; }, "(FormatType)"}),
    [](const ::testing::TestParamInfo<MismatchCase>& info) { return std::string(info.param.name); });

TEST_F(FileCheck, SilentCalibrationChannelIsNamedZeroBased)
{
    frmWavFileReadAD& f = OpenChecked(1, 4);
    WavProbe& p = library.files[cal].probe;
    p.maxima[2] = 7.0;  // constant channel 2
    p.minima[2] = 7.0;
    p.maxima[3] = -5.0;  // and one whose maximum lies below its minimum
    p.minima[3] = 5.0;
    f.cmdNext_Click();
    ExpectRefused("2ch(ゼロ開始)のCAL信号が小さすぎます。", "txtCSVPathName", {}, true);
}

TEST_F(FileCheck, FloatWithSplitAsksFirst)
{
    frmWavFileReadAD& f = OpenChecked(1);
    library.files[cal].probe.format = 3;
    library.files[targets[0]].probe.format = 3;
    f.chkWaveOut.Value = true;
    ui.AnswerNext(MsgAnswer::No);
    f.cmdNext_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text,
              "浮動小数点形式の場合、再生可能なのは値が±1以内である必要があります。\r\n"
              "そうでなければ、「全出力」のチェックをはずしてください。\r\n全出力のまま処理を続けますか？");
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::YesNo);
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Question);
    EXPECT_EQ(ui.Messages()[0].Default, MsgAnswer::No);
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(f.FocusedControl, "chkWaveOut");
    EXPECT_FALSE(f.vsElastic2.Visible);
    EXPECT_EQ(document.ChannelCount(), 0);

    ui.AnswerNext(MsgAnswer::Yes);
    f.cmdNext_Click();
    EXPECT_TRUE(f.vsElastic2.Visible);
    EXPECT_EQ(f.lblBit.Caption, "16bit float");
}

TEST_F(FileCheck, FloatQuestionAnswersNoWhenEnterIsPressed)
{
    frmWavFileReadAD& f = OpenChecked(1);
    library.files[cal].probe.format = 3;
    library.files[targets[0]].probe.format = 3;
    f.chkWaveOut.Value = true;
    f.cmdNext_Click();  // no scripted answer: the default button
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_FALSE(f.vsElastic2.Visible);
}

TEST_F(FileCheck, FloatWithoutSplitAsksNothing)
{
    frmWavFileReadAD& f = OpenChecked(1);
    library.files[cal].probe.format = 3;
    library.files[targets[0]].probe.format = 3;
    f.cmdNext_Click();
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(f.vsElastic2.Visible);
}

TEST_F(FileCheck, FitsTheTemplateAndTurnsThePage)
{
    frmWavFileReadAD& f = OpenChecked(2, 2);
    WavProbe& p = library.files[cal].probe;
    p.maxima[0] = 1000.0;
    p.minima[0] = -900.0;
    p.maxima[1] = 16000.0;
    p.minima[1] = -16000.0;
    library.files[targets[0]].probe.bits = 16;
    f.cmdNext_Click();
    EXPECT_TRUE(ui.Messages().empty());

    ASSERT_EQ(document.ChannelCount(), 2);
    EXPECT_EQ(document.channels[0].ZeroPlus, -50.0);
    EXPECT_EQ(document.channels[0].CAL, 950.0);
    EXPECT_EQ(document.channels[1].ZeroPlus, 0.0);
    EXPECT_EQ(document.channels[1].CAL, 16000.0);
    EXPECT_EQ(document.inHz, 48000.0);
    EXPECT_EQ(document.calibration, cal);
    EXPECT_EQ(document.targets, targets[0] + '\0' + targets[1]);

    EXPECT_FALSE(f.vsElastic1.Visible);
    EXPECT_TRUE(f.vsElastic2.Visible);
    EXPECT_EQ(f.CancelButton, "cmdBack");
    EXPECT_EQ(f.DefaultButton, "cmdStart");
    EXPECT_EQ(f.lblFs.Caption, "48000Hz");
    EXPECT_EQ(f.lblBit.Caption, "16bit PCM");
    EXPECT_EQ(f.cmbCh.Items, (std::vector<std::string>{"1ch", "2ch"}));
    EXPECT_EQ(f.cmbCh.ItemData, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(f.cmbCh.ListIndex, 0);
    EXPECT_EQ(f.m_ShownCh, 0);
    EXPECT_EQ(f.txtCAL0p.Text, "950");
    EXPECT_EQ(f.txtZeroPlus.Text, "-50");
    EXPECT_TRUE(f.cmdCommonW.Visible);
    EXPECT_EQ(f.FocusedControl, "cmbCh");
}

TEST_F(FileCheck, KeepsConditionsOfChannelsThatStayAndDefaultsNewOnes)
{
    document.channels.resize(4);
    document.channels[1].LVL = 100.0;
    document.channels[3].LVL = 110.0;
    frmWavFileReadAD& f = OpenChecked(1, 2);
    f.cmdNext_Click();
    ASSERT_EQ(document.ChannelCount(), 2);
    EXPECT_EQ(document.channels[1].LVL, 100.0);

    f.cmdBack_Click();
    for (const std::string& path : {cal, targets[0]}) library.Add(path, 6);
    f.cmdNext_Click();
    ASSERT_EQ(document.ChannelCount(), 6);
    EXPECT_EQ(document.channels[1].LVL, 100.0);
    EXPECT_EQ(document.channels[5].LVL, CChMeasureCondition().LVL);
    EXPECT_EQ(f.cmbCh.ListCount(), 6);
}

TEST_F(FileCheck, OneChannelHidesTheCopyButtons)
{
    frmWavFileReadAD& f = OpenChecked(1, 1);
    f.cmdNext_Click();
    for (const platform::CommandButton* b : {&f.cmdComonBand, &f.cmdCommonW, &f.cmdCommonTW, &f.cmdCommonLevelIntervalMS,
                                             &f.cmdCommonCAL0p, &f.cmdCommonCALWave, &f.cmdCommonLevel,
                                             &f.cmdCommonZeroPlus}) {
        EXPECT_FALSE(b->Visible);
    }
}

// Paths CP932 cannot hold are told in one message as the check passes, each with the name the
// project and the template keep in its place; a path told once is not told again.
TEST_F(FileCheck, PathsTheFilesCannotKeepAreToldOnceWithTheNameKept) {
    frmWavFileReadAD& f = OpenChecked(1);
    const std::string accented = folder.Touch("mono_é.wav");
    const std::string dash = folder.Touch("a〜b.wav");
    for (const std::string& path : {accented, dash}) {
        library.Add(path, 2);
        f.lstWaveFile.AddItem(path);
    }
    f.cmdNext_Click();
    const std::string told =
        "Waveファイルのパス名に保存できない文字があります。\r\n"
        "測定一覧と読込みファイルの指定には、次のように置き換えた名前が記録されます"
        "（レベルデータは開始日時の名前で保存されるため、そのまま使えます）。";
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{told + "\r\n\r\n" + accented + "\r\n→ " + folder.Path("mono_?.wav") +
                                       "\r\n\r\n" + dash + "\r\n→ " + folder.Path("a～b.wav")});
    EXPECT_TRUE(f.vsElastic2.Visible);
    EXPECT_EQ(document.targets, targets[0] + '\0' + accented + '\0' + dash);
    f.cmdBack_Click();
    f.cmdNext_Click();
    EXPECT_EQ(ui.Messages().size(), 1u);
}

TEST_F(FileCheck, BackReturnsToTheFilePageKeepingTheTemplate) {
    frmWavFileReadAD& f = OpenChecked(1);
    f.cmdNext_Click();
    f.cmdBack_Click();
    EXPECT_TRUE(ui.IsLoaded(f));
    EXPECT_TRUE(f.vsElastic1.Visible);
    EXPECT_FALSE(f.vsElastic2.Visible);
    EXPECT_EQ(f.DefaultButton, "cmdNext");
    EXPECT_EQ(f.CancelButton, "cmdCancel0");
    EXPECT_EQ(f.FocusedControl, "cmdNext");
    EXPECT_EQ(document.ChannelCount(), 2);
    f.cmdNext_Click();
    EXPECT_TRUE(f.vsElastic2.Visible);
}

}  // namespace
}  // namespace murtesk::import::testing
