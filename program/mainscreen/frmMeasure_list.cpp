// The measurement list: filling it and the enabling of the commands, the hand-over of a measurement
// to the calculation screen, delete, move, check marks, and the list after an import, which tells
// of new measurements that start in the same second as another.
#include "frmMeasure.h"

#include "globals.h"

#include <algorithm>

namespace murtesk {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kSelectRow = "処理したいデータを一覧から選択（強調表示）してください．";
constexpr const char* kCannotSave = "保存できなくなりました.終了します.";
constexpr const char* kImportQuestion =
    "\r\n\r\nWaveファイルを読み込んで上書き保存しますか？\r\n「いいえ」：読み込まない";
constexpr const char* kSameStartImported = "読み込んだ測定に,開始日時が他の測定と同じものがあります.";
constexpr const char* kSameStartShares =
    "開始日時が同じ測定は動画ファイルとそのカウント情報・速度情報を共有するので,"
    "動画の割り当てとカウント情報・速度情報の変更はできません.\r\n"
    "別々に使うときは,演算画面の「実測開始日時の変更」で1つの測定を残して他の測定の開始日時を変えて下さい"
    "(動画ファイルとカウント情報・速度情報は変えなかった測定に残ります).";

}  // namespace

void frmMeasure::EditForm()
{
    RefreshMeasureList();
    txtMEMO.Text = g_PreserveDoc().Memo();
}

void frmMeasure::txtMEMO_Change() {
    txtMEMO.Text = platform::MemoEntry(std::move(txtMEMO.Text));
    g_PreserveDoc().SetMemo(txtMEMO.Text);
}

void frmMeasure::txtMEMO_LostFocus() { TellMemo(); }

void frmMeasure::TellMemo() { memoCheck_.Tell(ui_, txtMEMO.Text); }

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
    // A project opened without saving belongs to the program that holds it: no command writes files
    // into its folder or deletes any (import, recovery, deletion, the jobs over all measurements).
    const bool open = !g_bStartSelect;
    const bool writable = open && !g_bProjectReadOnly;
    cmdStart.Enabled = writable;
    mnuFileWaveOpen.Enabled = writable;
    mnuToolRestore.Enabled = writable && restoreFileFound_;
    if (open && g_bProjectReadOnly) {
        for (platform::ControlState* c :
             std::initializer_list<platform::ControlState*>{&cmdDEL, &mnuToolCalcPlural, &mnuToolTestCommand}) {
            c->Enabled = false;
        }
    }
}

std::int32_t frmMeasure::SelectedRowOrAsk()
{
    const int row = ListView1.SelectedIndex;
    if (row < 0 || row >= static_cast<int>(ListView1.Rows.size())) {
        ui_.MsgBox(kSelectRow);
        return 0;
    }
    return row + 1;
}

frmMeasure::SaveOutcome frmMeasure::SaveListChange(const MeasureListCopy* before) {
    const SaveOutcome outcome = SaveProjectFile();
    if (outcome == SaveOutcome::Written) {
        return outcome;
    }
    // The project file still holds the old list: so does the document, and the list shows it again
    // with its check marks and selection, in case the user carries on.
    if (before != nullptr) {
        g_PreserveDoc().RestoreMeasureList(*before);
        const platform::ListView shown = ListView1;
        RefreshMeasureList();
        if (ListView1.Rows.size() == shown.Rows.size()) {
            for (std::size_t i = 0; i < shown.Rows.size(); ++i) {
                ListView1.Rows[i].Checked = shown.Rows[i].Checked;
            }
            ListView1.SelectedIndex = shown.SelectedIndex;
        }
    }
    if (outcome == SaveOutcome::Failed) {
        ui_.MsgBox(kCannotSave, MsgButtons::OK, MsgIcon::Critical, "お詫び");
        ui_.Unload(*this);
    }
    return outcome;
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
    if (k == 'A') {
        StartTextJob(9);
    } else if (k == 'B') {
        StartTextJob(8);
    } else if (k == 'C' && StartTextJob(10) == JobOutcome::Done) {
        // The trimmed ranges and their statistics are kept once the whole output is written.
        SaveData();
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
    const std::unique_ptr<MeasureListCopy> before = doc.CopyMeasureList();
    std::vector<std::unique_ptr<RemovedMeasure>> removed;
    {
        platform::BusyPointer busy(ui_);
        for (auto it = checked.rbegin(); it != checked.rend(); ++it) {
            if (*it <= count) {
                removed.push_back(doc.TakeMeasure(*it));
            }
        }
    }
    // The files go only once the project file no longer names the measurements: a failed save
    // leaves the old project file, which still needs them.
    if (SaveListChange(before.get()) != SaveOutcome::Written) {
        return;
    }
    {
        platform::BusyPointer busy(ui_);
        const std::string projectPath = doc.SaveFilePath();
        for (const std::unique_ptr<RemovedMeasure>& m : removed) {
            m->DeleteFiles(projectPath);
        }
    }

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
    const std::unique_ptr<MeasureListCopy> before = doc.CopyMeasureList();
    doc.SwapMeasures(row, other);
    if (SaveListChange(before.get()) != SaveOutcome::Written) {
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

// The import adds one measurement per recording; a project that gained any is saved at once.
void frmMeasure::mnuFileWaveOpen_Click()
{
    if (!g_ShowWavImport) {
        return;
    }
    // Asked before anything is written: the new measurements' files go into the project's folders
    // at once, and the project file, once saved, names them.
    const std::optional<platform::FileStamp> read = projectStamp_;
    if (!MayWriteProject(kImportQuestion)) {
        return;
    }
    const std::int32_t before = g_PreserveDoc().MeasureCount();
    g_ShowWavImport(ui_);
    if (g_PreserveDoc().MeasureCount() == before) {
        // Nothing imported, nothing written: another program's change is asked about again.
        projectStamp_ = read;
        return;
    }
    // New measurements stay in the document even when the save fails (their files are written): a
    // screen that carries on lists them, and the next save keeps them.
    if (SaveListChange(nullptr) == SaveOutcome::Failed && !ui_.IsLoaded(*this)) {
        return;
    }
    ShowLastMeasure();
    TellSameStarts(before + 1);
}

void frmMeasure::TellSameStarts(std::int32_t firstNew)
{
    const ProjectDocument& doc = g_PreserveDoc();
    std::string lines;
    for (std::int32_t i = firstNew; i <= doc.MeasureCount(); ++i) {
        const std::vector<std::int32_t> others = doc.MeasuresOfSameStart(i);
        if (others.empty()) {
            continue;
        }
        lines += "\r\n" + MeasureListName(doc, i) + " : ";
        for (std::size_t k = 0; k < others.size(); ++k) {
            lines += (k > 0 ? ", No." : "No.") + std::to_string(others[k]);
        }
        lines += "と同じ開始日時";
    }
    if (!lines.empty()) {
        ui_.MsgBox(kSameStartImported + lines + "\r\n" + kSameStartShares, MsgButtons::OK, MsgIcon::Exclamation);
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

}  // namespace murtesk
