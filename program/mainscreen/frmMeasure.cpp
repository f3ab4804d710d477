// The main screen's life: its controls and captions, load, activation, the closing question and
// the end of the run, and help.
#include "frmMeasure.h"

#include "globals.h"
#include "kinemo_binding.h"

#include <filesystem>
#include <system_error>

namespace murtesk {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace fs = std::filesystem;

frmMeasure::frmMeasure(platform::UiServices& ui) : MainScreen(ui, "frmMeasure"), firstSelect_(std::make_unique<frmFirstSelect>(ui))
{
    ShowNoProject();
    Label1.Caption = "<<全データ一覧>>";
    Label9.Caption = "<<全データのコメント>>";
    Label8.Caption = "<<保存先>>";
    txtSavePath.Locked = true;
    cmdSavePath.Caption = "...";
    cmdSavePath.ToolTipText = "保存先ファイル指定...";
    cmdOK.Caption = "演算(&G)...";
    cmdOK.ToolTipText = "演算画面へ...";
    Label3.Caption = "↑　左の一覧表で選択(強調表示)しているデータの演算画面を開きます";
    cmdStart.Caption = "Wave分析...";
    cmdDEL.Caption = "データ削除(&D)";
    Label2.Caption = "↑　左の一覧表のチェックボックスをオンにしたデータを削除します";
    cmdUp.Caption = "↑";
    cmdUp.ToolTipText = "選択データ上移動";
    cmdDown.Caption = "↓";
    cmdDown.ToolTipText = "選択データ下移動";
    Label4.Caption = "一覧表で選択(強調表示)しているデータを移動します→";
    cmdAllON.Caption = "全ﾃﾞｰﾀﾁｪｯｸON";
    cmdAllOFF.Caption = "全ﾃﾞｰﾀﾁｪｯｸOFF";
    lblLp0.Visible = false;

    mnuFile.Caption = "ファイル(&F)";
    mnuFileNew.Caption = "新規作成(&N)";
    mnuFileOpen.Caption = "開く(&O)...";
    mnuFileCalcValueTextOut.Caption = "計算値(全測定)テキストファイル出力(&T)...";
    mnuFilePartitionAreaTextOut.Caption = "分割計算値(全測定)テキストファイル出力...";
    mnuFileLmaxTextOut.Caption = "Ｌmax(全測定)テキストファイル出力...";
    mnuFileWaveOpen.Caption = "Ａ/Ｄ変換データをWaveファイルから読込む...";
    mnuFileExit.Caption = "終了(&X)";
    mnuTool.Caption = "ツール(&T)";
    mnuToolCalcPlural.Caption = "複数測定組合せ計算...";
    mnuToolTestCommand.Caption = "一括処理";
    mnuToolAllCalc.Caption = "一括再計算";
    mnuToolTestCommand2.Caption = "一括Lch補正特性オレンジ範囲指定...";
    mnuToolTestCommand1.Caption = "一括Lch補正特性オレンジ範囲削除";
    mnuToolRestore.Caption = "復旧";
    mnuHelp.Caption = "ヘルプ(&H)";
    mnuHelpFile.Caption = "説明ファイル(&R)...";
    mnuHelpVer.Caption = "バージョン情報...";
}

void frmMeasure::Form_Load()
{
    std::error_code ec;
    restoreFileFound_ = fs::exists(fs::u8path(AppFile("CMeasure.tmp")), ec);
    m_MeasureIndex = g_PreserveDoc().MeasureCount() > 0 ? 1 : 0;
    ListView1.Checkboxes = true;
    ListView1.Columns = {
        {"No.", 800, platform::ColumnAlignment::Left},
        {"ファイル名", 2000, platform::ColumnAlignment::Left},
        {"開始日時", 2000, platform::ColumnAlignment::Center, true},
        {"1chコメント", 8000, platform::ColumnAlignment::Left},
    };
    // The list stays empty until a project is open; its commands wait for it.
    RefreshMeasureList();
}

void frmMeasure::Form_Activate()
{
    if (g_bStartSelect) {
        ChooseProject();
    }
}

void frmMeasure::Form_QueryUnload(bool& cancel, platform::UnloadMode)
{
    if (ui_.MsgBox("終了しますか？", MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes) {
        cancel = true;
        return;
    }
    if (!g_bStartSelect) {
        SaveMemoAndData();
        ProjectDocument& doc = g_PreserveDoc();
        doc.EndProject();
        // "Temp.tmp" carries the conditions to the next run, never the measurements.
        doc.AllDeleteMeasures();
        platform::BusyPointer busy(ui_);
        doc.SetMemo(txtMEMO.Text);
        doc.FileWrite(AppFile("Temp.tmp"));
    }
    projectLock_.Release();
    g_frmWavFileReadAD = nullptr;
    g_frmMeasure = nullptr;
    g_frmOctCalc = nullptr;
}

void frmMeasure::Form_Unload(bool&)
{
    ui_.UnloadAll();
}

void frmMeasure::mnuFileExit_Click()
{
    ui_.Unload(*this);
}

void frmMeasure::mnuHelpFile_Click()
{
    OpenManual(ui_, *m_ProcessRunner);
}

void frmMeasure::mnuHelpVer_Click()
{
    if (!about_) about_ = std::make_unique<frmAbout>(ui_, kAppMajor, kAppMinor, kAppRevision, Kinemo().ReportFfmpeg());
    ui_.ShowModal(*about_);
}

}  // namespace murtesk
