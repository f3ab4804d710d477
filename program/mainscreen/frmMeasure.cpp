#include "frmMeasure.h"

#include "globals.h"
#include "model/shared_procedures.h"
#include "platform/dropped_text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace murtesk {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace fs = std::filesystem;

namespace {

constexpr const char* kMainCaption = "Murtesk メイン画面 ";
constexpr const char* kTryAgain = "もう一度、別の保存先ファイルを指定してください";
constexpr const char* kSelectRow = "処理したいデータを一覧から選択（強調表示）してください．";
constexpr const char* kCannotSave = "保存できなくなりました.終了します.";
constexpr const char* kNotAvailable = "この機能はまだ使用できません.";

bool EndsWith(const std::string& text, const char* tail)
{
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::exists(fs::u8path(path), ec);
}

}  // namespace

bool HasProjectExtension(const std::string& path)
{
    return EndsWith(path, ".dat") || EndsWith(path, ".qvd");
}

frmMeasure::frmMeasure(platform::UiServices& ui) : MainScreen(ui, "frmMeasure"), firstSelect_(std::make_unique<frmFirstSelect>(ui))
{
    Caption = "Waveファイル 1/1 ・ 1/3オクターブバンドレベル分析プログラム";
    Label1.Caption = "<<全データ一覧>>";
    Label9.Caption = "<<全データのコメント>>";
    Label8.Caption = "<<保存先>>";
    txtSavePath.Text = "-----";
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
    restoreFileFound_ = FileExists(AppFile("CMeasure.tmp"));
    m_MeasureIndex = g_PreserveDoc().MeasureCount() > 0 ? 1 : 0;
    ListView1.Checkboxes = true;
    ListView1.Columns = {
        {"No.", 800, platform::ColumnAlignment::Left},
        {"ファイル名", 2000, platform::ColumnAlignment::Left},
        {"開始日時", 2000, platform::ColumnAlignment::Center},
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

void frmMeasure::ChooseProject()
{
    // Cleared first: activations while the dialogs below are open do nothing.
    g_bStartSelect = false;
    ProjectDocument& doc = g_PreserveDoc();

    if (g_CommandLine.size() > 1) {
        ui_.MsgBox("コマンドラインのファイルパス名は１個しか指定できません.");
    } else if (g_CommandLine.size() == 1 && !g_CommandLine.front().empty()) {
        std::string path = g_CommandLine.front();
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
            path = path.substr(1, path.size() - 2);
        }
        std::error_code ec;
        const bool isFile = !path.empty() && fs::is_regular_file(fs::u8path(path), ec);
        if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
            ui_.MsgBox("コマンドラインのファイルパス名は１個しか指定できません.");
        } else if (isFile && HasProjectExtension(path)) {
            const std::string keptPath = doc.SaveFilePath();
            doc.SetSaveFilePath(path);
            if (OpenProject(path)) {
                return;
            }
            ui_.MsgBox("指定のファイルは開けませんでした.");
            g_PreserveDoc().SetSaveFilePath(keptPath);
        }
    }

    const std::string proposed = g_PreserveDoc().SaveFilePath();
    for (;;) {
        g_SelectNo = -1;
        ui_.ShowModal(*firstSelect_);
        ui_.Refresh(*this);
        bool opened = false;
        if (g_SelectNo == 0) {
            g_bStartSelect = true;
            UpdateProjectCommands();
            ui_.Unload(*this);
            return;
        } else if (g_SelectNo == 1) {
            dlgFileName = proposed;
            if (!SelectNewSaveFile()) {
                continue;
            }
            opened = CreateNewProject(g_PreserveDoc().SaveFilePath());
        } else if (g_SelectNo == 2) {
            dlgFileName = proposed;
            if (!SelectExistingSaveFile()) {
                continue;
            }
            std::string path = g_PreserveDoc().SaveFilePath();
            opened = OpenProject(path);
        } else {
            // Closed without a choice: the main screen stays, with no project open.
            g_bStartSelect = true;
            UpdateProjectCommands();
            return;
        }
        if (opened) {
            return;
        }
        ui_.MsgBox(std::string(kTryAgain) + ".");
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
        // "Temp.tmp" carries the conditions to the next run, never the measurements.
        doc.AllDeleteMeasures();
        ui_.SetBusy(true);
        doc.SetMemo(txtMEMO.Text);
        doc.FileWrite(AppFile("Temp.tmp"));
        ui_.SetBusy(false);
    }
    g_frmWavFileReadAD = nullptr;
    g_frmMeasure = nullptr;
    g_frmOctCalc = nullptr;
}

void frmMeasure::Form_Unload(bool&)
{
    ui_.UnloadAll();
}

bool frmMeasure::ChooseProjectFile(bool existing)
{
    platform::FileDialogRequest request;
    request.HideReadOnly = true;
    request.NoReadOnlyReturn = true;
    request.FileName = dlgFileName;
    if (existing) {
        request.Title = "既存の保存先ファイル名を選択して下さい．";
        request.FileMustExist = true;
        request.Filter = "ﾃﾞｰﾀﾌｧｲﾙ (*.qvd;*.dat)|*.qvd;*.dat";
    } else {
        request.Title = "新規の保存先ファイル名を指定して下さい．";
        request.PathMustExist = true;
        request.Filter = "ﾃﾞｰﾀﾌｧｲﾙ (*.qvd)|*.qvd";
    }
    const std::optional<std::string> chosen = existing ? ui_.ShowOpen(request) : ui_.ShowSave(request);
    if (!chosen || chosen->empty()) {
        return false;
    }
    dlgFileName = *chosen;
    g_PreserveDoc().SetSaveFilePath(*chosen);
    ui_.Refresh(*this);
    ui_.DoEvents();
    return true;
}

bool frmMeasure::SelectNewSaveFile()
{
    while (ChooseProjectFile(false)) {
        if (!FileExists(dlgFileName)) {
            return true;
        }
        ui_.MsgBox("既存のファイルは選択できません．", MsgButtons::OK, MsgIcon::Information, "新規作成...");
    }
    return false;
}

bool frmMeasure::SelectExistingSaveFile()
{
    return ChooseProjectFile(true);
}

bool frmMeasure::EnsureFolder(const std::string& folder, const char* message, MsgIcon icon)
{
    std::error_code ec;
    const fs::path p = fs::u8path(folder);
    if (!fs::is_directory(p, ec)) {
        fs::create_directory(p, ec);
    }
    if (fs::is_directory(p, ec)) {
        return true;
    }
    ui_.SetBusy(false);
    ui_.MsgBox(message, MsgButtons::OK, icon);
    return false;
}

bool frmMeasure::EnsureProjectFolders(const std::string& path, MsgIcon icon)
{
    if (!EnsureFolder(GetLCalcFolder(path), "Ｌ値計算データ保存フォルダ作成に失敗しました．", icon) ||
        !EnsureFolder(GetRecWavFolder(path), "録音データ保存フォルダ作成に失敗しました．", icon)) {
        return false;
    }
    // The one-third-octave slots name every octave band's folder as well.
    for (std::int16_t slot = 1; slot <= 47; ++slot) {
        if (!EnsureFolder(GetBandFolder(path, 3, slot), "レベル波形データ保存フォルダ作成に失敗しました．", icon)) {
            return false;
        }
    }
    return true;
}

bool frmMeasure::CreateNewProject(const std::string& pathIn)
{
    const std::string path = pathIn;  // may name the document's own path, which changes below
    ProjectDocument& doc = g_PreserveDoc();
    if (!EnsureProjectFolders(path, MsgIcon::None)) {
        return false;
    }
    doc.AllDeleteMeasures();
    ui_.SetBusy(true);
    doc.SetMemo(txtMEMO.Text);
    if (doc.FileWrite(path)) {
        doc.SetSaveFilePath(path);
        ShowProjectPath();
        m_MeasureIndex = doc.MeasureCount();
        EditForm();
        ui_.SetBusy(false);
        return true;
    }
    // The write replaces a file only once it is complete, so there is no partial file to remove,
    // and a file that was there before is kept.
    ui_.SetBusy(false);
    ui_.MsgBox("ファイル保存に失敗しました．");
    m_MeasureIndex = 0;
    EditForm();
    return false;
}

void frmMeasure::FailOpen(const ProjectDocument& keptConditions)
{
    g_ResetPreserve();
    g_PreserveDoc().AdoptChannelConditions(keptConditions);
    // The list must not go on showing measurements the document no longer holds.
    m_MeasureIndex = 0;
    EditForm();
}

bool frmMeasure::OpenProject(std::string& path)
{
    ProjectDocument& doc = g_PreserveDoc();
    const std::unique_ptr<ProjectDocument> kept = g_NewDocument();
    kept->AdoptChannelConditions(doc);

    ui_.SetBusy(true);
    g_SelFileName = path;
    if (!doc.FileRead(path)) {
        ui_.SetBusy(false);
        ui_.MsgBox("ファイルを開けませんでした．", MsgButtons::OK, MsgIcon::Critical);
        FailOpen(*kept);
        return false;
    }
    // An opened project gets every folder a new one has.
    if (!EnsureProjectFolders(path, MsgIcon::Critical)) {
        FailOpen(*kept);
        return false;
    }

    if (EndsWith(path, ".dat")) {
        const std::string renamed = path.substr(0, path.size() - 4) + ".qvd";
        std::error_code ec;
        bool moved = false;
        if (!fs::exists(fs::u8path(renamed), ec) && !ec) {
            fs::rename(fs::u8path(path), fs::u8path(renamed), ec);
            moved = !ec;
        }
        if (moved) {
            path = renamed;
            ui_.MsgBox("拡張子を qvd に変更しました.");
        } else {
            ui_.MsgBox("拡張子を qvd に変更できませんでした.");
        }
    }

    doc.SetSaveFilePath(path);
    // The running program's channel conditions replace the project file's own.
    doc.AdoptChannelConditions(*kept);
    ShowProjectPath();
    m_MeasureIndex = doc.MeasureCount();
    if (m_MeasureIndex > 0) {
        doc.AdoptLastMeasureCondition();
    }
    EditForm();
    ui_.SetBusy(false);
    return true;
}

bool frmMeasure::SaveData()
{
    ProjectDocument& doc = g_PreserveDoc();
    ui_.SetBusy(true);
    doc.SetMemo(txtMEMO.Text);
    if (doc.FileWrite(doc.SaveFilePath())) {
        ui_.SetBusy(false);
        return true;
    }
    // A failed write leaves the previous project file whole; it is never deleted here.
    ui_.SetBusy(false);
    ui_.MsgBox("データ保存に失敗しました．");
    return false;
}

bool frmMeasure::SaveMemoAndData()
{
    g_PreserveDoc().SetMemo(txtMEMO.Text);
    return SaveData();
}

void frmMeasure::ShowProjectPath()
{
    const std::string path = g_PreserveDoc().SaveFilePath();
    txtSavePath.Text = path;
    Caption = kMainCaption + path;
}

void frmMeasure::EditForm()
{
    RefreshMeasureList();
    txtMEMO.Text = g_PreserveDoc().Memo();
}

void frmMeasure::RefreshMeasureList()
{
    const ProjectDocument& doc = g_PreserveDoc();
    ListView1.Clear();
    const bool any = m_MeasureIndex > 0;
    if (any) {
        const std::int32_t count = doc.MeasureCount();
        for (std::int32_t i = 1; i <= count; ++i) {
            platform::ListRow row;
            row.Texts.push_back(std::to_string(i));
            for (std::string& text : doc.MeasureListTexts(i)) {
                row.Texts.push_back(std::move(text));
            }
            ListView1.Rows.push_back(std::move(row));
        }
        if (m_MeasureIndex <= count) {
            ListView1.SelectedIndex = m_MeasureIndex - 1;
        }
    }
    const bool several = any && doc.MeasureCount() > 1;
    cmdDEL.Enabled = any;
    cmdUp.Enabled = several;
    cmdDown.Enabled = several;
    for (platform::ControlState* c : {static_cast<platform::ControlState*>(&cmdOK), static_cast<platform::ControlState*>(&cmdAllON),
                                      static_cast<platform::ControlState*>(&cmdAllOFF),
                                      static_cast<platform::ControlState*>(&mnuFileCalcValueTextOut),
                                      static_cast<platform::ControlState*>(&mnuFilePartitionAreaTextOut),
                                      static_cast<platform::ControlState*>(&mnuFileLmaxTextOut),
                                      static_cast<platform::ControlState*>(&mnuToolCalcPlural),
                                      static_cast<platform::ControlState*>(&mnuToolTestCommand)}) {
        c->Enabled = any;
    }
    UpdateProjectCommands();
}

void frmMeasure::UpdateProjectCommands()
{
    // Import and recovery add measurements to a project: with none open there is nowhere to put them.
    const bool open = !g_bStartSelect;
    cmdStart.Enabled = open;
    mnuFileWaveOpen.Enabled = open;
    mnuToolRestore.Enabled = open && restoreFileFound_;
}

void frmMeasure::mnuFileNew_Click()
{
    if (!g_bStartSelect) {
        SaveMemoAndData();
    }
    const std::string oldPath = g_PreserveDoc().SaveFilePath();
    dlgFileName = oldPath;
    if (!SelectNewSaveFile()) {
        g_PreserveDoc().SetSaveFilePath(oldPath);
        return;
    }
    if (CreateNewProject(g_PreserveDoc().SaveFilePath())) {
        EndFileCommand(true);
        return;
    }
    std::string reopen = oldPath;
    EndFileCommand(OpenProject(reopen));
}

void frmMeasure::mnuFileOpen_Click()
{
    if (!g_bStartSelect) {
        SaveMemoAndData();
    }
    const std::string oldPath = g_PreserveDoc().SaveFilePath();
    dlgFileName = oldPath;
    if (!SelectExistingSaveFile()) {
        g_PreserveDoc().SetSaveFilePath(oldPath);
        return;
    }
    std::string path = g_PreserveDoc().SaveFilePath();
    EndFileCommand(OpenProject(path));
}

// File New and File Open end alike: with a project open, or back to the first-run choice.
void frmMeasure::EndFileCommand(bool projectOpen)
{
    if (projectOpen) {
        g_bStartSelect = false;
        UpdateProjectCommands();
        return;
    }
    ui_.MsgBox(kTryAgain);
    g_bStartSelect = true;
    Form_Activate();
}

// The import adds one measurement per recording; a project that gained any is saved at once.
void frmMeasure::mnuFileWaveOpen_Click()
{
    if (!g_ShowWavImport) {
        return;
    }
    const std::int32_t before = g_PreserveDoc().MeasureCount();
    g_ShowWavImport(ui_);
    if (g_PreserveDoc().MeasureCount() == before) {
        return;
    }
    if (!SaveListChange()) {
        return;
    }
    ShowLastMeasure();
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
    if (!about_) about_ = std::make_unique<frmAbout>(ui_, kAppMajor, kAppMinor, kAppRevision);
    ui_.ShowModal(*about_);
}

void frmMeasure::cmdSavePath_Click()
{
    if (!g_bStartSelect) {
        SaveMemoAndData();
    }
    g_bStartSelect = true;
    Form_Activate();
}

// ---- The measurement list

std::int32_t frmMeasure::SelectedRowOrAsk()
{
    const int row = ListView1.SelectedIndex;
    if (row < 0 || row >= static_cast<int>(ListView1.Rows.size())) {
        ui_.MsgBox(kSelectRow);
        return 0;
    }
    return row + 1;
}

bool frmMeasure::SaveListChange()
{
    if (SaveData()) {
        return true;
    }
    ui_.MsgBox(kCannotSave, MsgButtons::OK, MsgIcon::Critical, "お詫び");
    ui_.Unload(*this);
    return false;
}

void frmMeasure::cmdOK_Click()
{
    const std::int32_t row = SelectedRowOrAsk();
    if (row == 0) {
        return;
    }
    m_MeasureIndex = row;
    g_PreserveDoc().UpdateEndTimeFromLevels(m_MeasureIndex);
    if (g_frmOctCalc == nullptr) {
        return;
    }
    g_frmOctCalc->setForm(m_MeasureIndex);
    ui_.Show(*g_frmOctCalc);
    ui_.Hide(*this);
}

void frmMeasure::cmdOK_KeyDown(char key, bool alt)
{
    if (!alt) {
        return;
    }
    const char k = static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
    if (k == 'A' || k == 'B' || k == 'C') {
        NotAvailableYet();
    }
}

void frmMeasure::cmdDEL_Click()
{
    std::vector<std::int32_t> checked;
    for (std::size_t i = 0; i < ListView1.Rows.size(); ++i) {
        if (ListView1.Rows[i].Checked) {
            checked.push_back(static_cast<std::int32_t>(i + 1));
        }
    }
    if (checked.empty()) {
        ui_.MsgBox("削除したいデータのチェックボックスをオンにしてください.");
        return;
    }
    if (ui_.MsgBox("削除するとデータは復元出来ません.削除してよろしいですか？", MsgButtons::OKCancel, MsgIcon::Question,
                   "選択データ削除指示") != MsgAnswer::OK) {
        return;
    }
    ProjectDocument& doc = g_PreserveDoc();
    const std::int32_t count = doc.MeasureCount();
    std::vector<std::unique_ptr<RemovedMeasure>> removed;
    ui_.SetBusy(true);
    for (auto it = checked.rbegin(); it != checked.rend(); ++it) {
        if (*it <= count) {
            removed.push_back(doc.TakeMeasure(*it));
        }
    }
    ui_.SetBusy(false);
    // The files go only once the project file no longer names the measurements: a failed save
    // leaves the old project file, which still needs them.
    if (!SaveListChange()) {
        return;
    }
    ui_.SetBusy(true);
    const std::string projectPath = doc.SaveFilePath();
    for (const std::unique_ptr<RemovedMeasure>& m : removed) {
        m->DeleteFiles(projectPath);
    }
    ui_.SetBusy(false);

    m_MeasureIndex = std::min(m_MeasureIndex, doc.MeasureCount());
    if (m_MeasureIndex > 0) {
        doc.AdoptMeasureCondition(m_MeasureIndex);
        doc.SetMemo(txtMEMO.Text);
    }
    EditForm();
}

void frmMeasure::MoveSelected(int step)
{
    const std::int32_t row = SelectedRowOrAsk();
    if (row == 0) {
        return;
    }
    ProjectDocument& doc = g_PreserveDoc();
    const std::int32_t other = row + step;
    if (other < 1 || other > doc.MeasureCount() || row > doc.MeasureCount()) {
        return;
    }
    doc.SwapMeasures(row, other);
    if (!SaveListChange()) {
        return;
    }
    m_MeasureIndex = other;
    EditForm();
}

void frmMeasure::cmdUp_Click()
{
    MoveSelected(-1);
}

void frmMeasure::cmdDown_Click()
{
    MoveSelected(1);
}

void frmMeasure::cmdAllON_Click()
{
    for (platform::ListRow& row : ListView1.Rows) {
        row.Checked = true;
    }
}

void frmMeasure::cmdAllOFF_Click()
{
    for (platform::ListRow& row : ListView1.Rows) {
        row.Checked = false;
    }
}

void frmMeasure::ShowLastMeasure()
{
    ProjectDocument& doc = g_PreserveDoc();
    m_MeasureIndex = doc.MeasureCount();
    if (m_MeasureIndex > 0) {
        doc.AdoptMeasureCondition(m_MeasureIndex);
    }
    doc.SetMemo(txtMEMO.Text);
    EditForm();
}

void frmMeasure::txtSavePath_Drop(const platform::DropData& data)
{
    std::string path;
    if (data.Text) {
        const std::optional<std::vector<std::string>> paths = platform::DroppedTextPaths(*data.Text);
        // One project opens at a time: a text naming several files names none.
        if (!paths || paths->size() > 1) {
            ui_.MsgBox("ドロップされた文字列は無効です.");
            return;
        }
        if (!paths->empty()) {
            path = paths->front();
        }
    } else if (!data.Files.empty()) {
        path = data.Files.front();
    }
    std::error_code ec;
    const bool isFile = !path.empty() && fs::is_regular_file(fs::u8path(path), ec);
    if (!isFile || !HasProjectExtension(path)) {
        return;
    }
    // The open project keeps its memo and list: it is saved before the other one replaces it.
    if (!g_bStartSelect && !SaveMemoAndData()) {
        return;
    }
    std::unique_ptr<ProjectDocument> kept = std::move(g_Preserve);
    g_Preserve = g_NewDocument();
    g_Preserve->AdoptChannelConditions(*kept);
    g_Preserve->SetSaveFilePath(path);
    const std::int32_t keptIndex = m_MeasureIndex;
    std::string opened = path;
    if (OpenProject(opened)) {
        g_bStartSelect = false;
        UpdateProjectCommands();
        return;
    }
    ui_.MsgBox("指定のファイルは開けませんでした.");
    g_Preserve = std::move(kept);
    m_MeasureIndex = keptIndex;
    if (!g_bStartSelect) {
        ShowProjectPath();
    }
    EditForm();
}

// ---- Commands of later work

void frmMeasure::NotAvailableYet()
{
    ui_.MsgBox(kNotAvailable, MsgButtons::OK, MsgIcon::Information);
}

void frmMeasure::mnuFileCalcValueTextOut_Click() { NotAvailableYet(); }
void frmMeasure::mnuFilePartitionAreaTextOut_Click() { NotAvailableYet(); }
void frmMeasure::mnuFileLmaxTextOut_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolCalcPlural_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolTestCommand_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolAllCalc_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolTestCommand2_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolTestCommand1_Click() { NotAvailableYet(); }
void frmMeasure::mnuToolRestore_Click() { NotAvailableYet(); }

}  // namespace murtesk
