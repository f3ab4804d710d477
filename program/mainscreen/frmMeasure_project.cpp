// The project file commands: the first-run project choice, choosing, creating, opening and saving a
// project file, File New, File Open and the path button.
#include "frmMeasure.h"

#include "globals.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "platform/atomic_file.h"
#include "platform/program_folder.h"

#include <filesystem>
#include <system_error>

namespace murtesk {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace fs = std::filesystem;

namespace {

constexpr const char* kMainCaption = "Murtesk メイン画面 ";
constexpr const char* kNoProjectCaption = "Waveファイル 1/1 ・ 1/3オクターブバンドレベル分析プログラム";
constexpr const char* kNoProjectPath = "-----";
constexpr const char* kTryAgain = "もう一度、別の保存先ファイルを指定してください";
constexpr const char* kProjectPathNotHeld =
    "保存先ファイルのパス名に保存できない文字があります．\r\n"
    "次回の起動時に提案する保存先には、次のように置き換えた名前が記録されます．";
constexpr const char* kReadOnlyCaption = "（保存しない）";
constexpr const char* kInUseTitle = "ファイル使用中";
constexpr const char* kNotSaved = "このファイルは保存しないで開いています．\r\n変更は保存されません．";
constexpr const char* kStatisticsInPlace =
    "統計データを写しておく空きが一時フォルダにないので、プロジェクトの統計データをそのまま読みます．\r\n"
    "範囲を変えても統計値は計算し直せません．また、開いている別のMurteskが保存すると、"
    "統計値が表示されなくなることがあります．";
constexpr const char* kChangedElsewhere = "保存先ファイルが、読み込んだ後に別のプログラムで変更されています．\r\n";
constexpr const char* kOverwriteQuestion =
    "\r\n\r\n上書き保存しますか？\r\n「いいえ」：保存しない（変更は保存されません）";

// Why no lock can be had on project `path`, whose lock is `lock`.
std::string NoLockText(const std::string& path, const platform::ProjectLock& lock) {
    using Problem = platform::ProjectLock::Problem;
    std::string text = path + "\r\n\r\n";
    switch (lock.problem()) {
    case Problem::kReadOnly: return text + "ファイルのあるフォルダは読み取り専用です．";
    case Problem::kNoPermission: return text + "ファイルのあるフォルダに書き込む権限がありません．";
    case Problem::kNoSpace:
        return text + "ディスクに空きがないので、ロックファイルを作れません．\r\n" + lock.lockPath() +
               "\r\n空きを作ってから開き直すと保存できます．";
    case Problem::kLockNotAFile:
        return text +
               "ロックファイルが通常のファイルではない（リンク、フォルダなど）ので、"
               "別のMurteskが同時に開くのを防げません．\r\n" +
               lock.lockPath();
    case Problem::kNoLocks:
        return text + "このファイルシステムではファイルをロックできないので、別のMurteskが同時に開くのを防げません．";
    case Problem::kNone:
    case Problem::kOther: break;
    }
    return text + "ロックファイルを作れないので、別のMurteskが同時に開くのを防げません．\r\n" + lock.lockPath();
}

// Who holds project `path`, as its lock file says.
std::string HolderText(const std::string& path, const platform::ProjectHolder& holder)
{
    std::string text = "このファイルは別のMurteskで開かれています．\r\n" + path + "\r\n\r\n";
    if (holder.pid > 0) {
        text += "プロセス番号 " + std::to_string(holder.pid);
        if (!holder.host.empty()) {
            text += "（" + holder.host + "）";
        }
        text += holder.since.empty() ? std::string("が開いています．") : "が " + holder.since + " から開いています．";
    } else {
        text += "開いているプログラムは分かりません．";
    }
    return text;
}

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

// The folder of its own that an installed program proposes the first project in is made when the
// project is proposed: the save dialog takes only a folder that exists. Returns the folder when this
// call made it, else an empty path.
fs::path MakeDefaultProjectFolder(const std::string& proposed)
{
    if (proposed != platform::DefaultProjectPath()) {
        return {};
    }
    const fs::path folder = fs::u8path(proposed).parent_path();
    std::error_code ec;
    return fs::create_directories(folder, ec) ? folder : fs::path{};
}

// The folder made for the proposal goes again when no project came to lie in it (the dialog was
// cancelled, or the project was created elsewhere): only an empty folder is removed.
void RemoveUnusedProjectFolder(const fs::path& made)
{
    std::error_code ec;
    if (!made.empty()) {
        fs::remove(made, ec);
    }
}

}  // namespace

bool HasProjectExtension(const std::string& path)
{
    return EndsWith(path, ".dat") || EndsWith(path, ".qvd");
}

bool frmMeasure::OpenCommandLineProject() {
    if (g_CommandLine.size() > 1) {
        ui_.MsgBox("コマンドラインのファイルパス名は１個しか指定できません.");
        return false;
    }
    if (g_CommandLine.empty() || g_CommandLine.front().empty()) {
        return false;
    }
    std::string path = g_CommandLine.front();
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
        path = path.substr(1, path.size() - 2);
    }
    std::error_code ec;
    const bool isFile = !path.empty() && fs::is_regular_file(fs::u8path(path), ec);
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
        ui_.MsgBox("コマンドラインのファイルパス名は１個しか指定できません.");
        return false;
    }
    if (!isFile || !HasProjectExtension(path)) {
        return false;
    }
    ProjectDocument& doc = g_PreserveDoc();
    const std::string keptPath = doc.SaveFilePath();
    doc.SetSaveFilePath(path);
    if (OpenProject(path)) {
        return true;
    }
    if (!OpenDeclined()) {
        ui_.MsgBox("指定のファイルは開けませんでした.");
    }
    g_PreserveDoc().SetSaveFilePath(keptPath);
    return false;
}

void frmMeasure::ChooseProject()
{
    // Cleared first: activations while the dialogs below are open do nothing.
    g_bStartSelect = false;
    // The command line names the project of the start only: the path button and a failed New or
    // Open go straight to the choice.
    if (!commandLineRead_) {
        commandLineRead_ = true;
        if (OpenCommandLineProject()) {
            return;
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
            const fs::path made = MakeDefaultProjectFolder(proposed);
            if (!SelectNewSaveFile()) {
                RemoveUnusedProjectFolder(made);
                continue;
            }
            opened = CreateNewProject(g_PreserveDoc().SaveFilePath());
            RemoveUnusedProjectFolder(made);
        } else if (g_SelectNo == 2) {
            dlgFileName = proposed;
            if (!SelectExistingSaveFile()) {
                continue;
            }
            std::string path = g_PreserveDoc().SaveFilePath();
            opened = OpenProject(path);
            if (!opened && OpenDeclined()) {
                continue;
            }
        } else {
            // Closed without a choice: the main screen stays, with no project open. A project it
            // still shows (the path button's choice) keeps its lock: the calculation screen can still
            // save it.
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

bool frmMeasure::EnsureFolder(const std::string& folder, const char* message, MsgIcon icon,
                              platform::BusyPointer* busy)
{
    std::error_code ec;
    const fs::path p = fs::u8path(folder);
    if (!fs::is_directory(p, ec)) {
        fs::create_directory(p, ec);
    }
    if (fs::is_directory(p, ec)) {
        return true;
    }
    if (busy != nullptr) {
        busy->End();
    }
    ui_.MsgBox(message, MsgButtons::OK, icon);
    return false;
}

bool frmMeasure::EnsureProjectFolders(const std::string& path, MsgIcon icon, platform::BusyPointer* busy)
{
    if (!EnsureFolder(GetLCalcFolder(path), "Ｌ値計算データ保存フォルダ作成に失敗しました．", icon, busy) ||
        !EnsureFolder(GetRecWavFolder(path), "録音データ保存フォルダ作成に失敗しました．", icon, busy)) {
        return false;
    }
    // The one-third-octave slots name every octave band's folder as well.
    for (std::int16_t slot = 1; slot <= kMaxSlots; ++slot) {
        if (!EnsureFolder(GetBandFolder(path, kOneThirdOctaveBandMode, slot), "レベル波形データ保存フォルダ作成に失敗しました．", icon,
                          busy)) {
            return false;
        }
    }
    return true;
}

bool frmMeasure::HoldsProject(const std::string& path) const { return projectLock_.Covers(path); }

bool frmMeasure::LockProject(const std::string& path, bool creating, platform::ProjectLock& lock, bool& readOnly)
{
    readOnly = false;
    lock = platform::ProjectLock(path);
    if (lock.state() == platform::ProjectLock::State::kUnusable) {
        // Nobody can be kept out, so nothing is written there.
        if (creating) {
            ui_.MsgBox(NoLockText(path, lock) + "\r\n\r\nこのファイル名では新規作成できません．", MsgButtons::OK,
                       MsgIcon::Exclamation);
            return false;
        }
        ui_.MsgBox("このファイルは保存しないで開きます（変更は保存されません）．\r\n" + NoLockText(path, lock),
                   MsgButtons::OK, MsgIcon::Information);
        readOnly = true;
        return true;
    }
    if (lock.state() != platform::ProjectLock::State::kTaken) {
        return true;
    }
    const std::string holder = HolderText(path, lock.holder());
    if (creating) {
        ui_.MsgBox(holder + "\r\n\r\nこのファイル名では新規作成できません．", MsgButtons::OK, MsgIcon::Exclamation,
                   kInUseTitle);
        return false;
    }
    const std::string question = holder +
                                 "\r\n\r\n保存しないで開きますか？\r\n"
                                 "「はい」：保存しないで開く（変更は保存されません）\r\n「いいえ」：開かない";
    if (ui_.MsgBox(question, MsgButtons::YesNo, MsgIcon::Exclamation, kInUseTitle, MsgAnswer::No) != MsgAnswer::Yes) {
        return false;
    }
    readOnly = true;
    return true;
}

void frmMeasure::AdoptProject(platform::ProjectLock lock, bool held, bool readOnly,
                              std::optional<platform::FileStamp> stamp)
{
    if (!held) {
        projectLock_ = std::move(lock);
        toldNotSaved_ = false;
    }
    g_bProjectReadOnly = readOnly;
    projectStamp_ = std::move(stamp);
}

bool frmMeasure::CreateNewProject(const std::string& pathIn)
{
    const std::string path = pathIn;  // may name the document's own path, which changes below
    ProjectDocument& doc = g_PreserveDoc();
    // The open project's file deleted and a new one made under its name: the lock is this program's own.
    const bool held = HoldsProject(path);
    platform::ProjectLock lock;
    bool readOnly = false;
    if ((!held && !LockProject(path, true, lock, readOnly)) || !EnsureProjectFolders(path, MsgIcon::None)) {
        return false;
    }
    doc.AllDeleteMeasures();
    TellMemo();
    platform::BusyPointer busy(ui_);
    doc.SetMemo(txtMEMO.Text);
    if (doc.FileWrite(path)) {
        doc.SetSaveFilePath(path);
        doc.BeginProject();
        doc.HoldProject();
        AdoptProject(std::move(lock), held, false, platform::StampOf(path));
        projectLock_.FollowFile(path);
        ShowProjectPath();
        busy.End();
        TellProjectPath();
        m_MeasureIndex = doc.MeasureCount();
        EditForm();
        return true;
    }
    // The write replaces a file only once it is complete, so there is no partial file to remove,
    // and a file that was there before is kept.
    busy.End();
    ui_.MsgBox("ファイル保存に失敗しました．");
    m_MeasureIndex = 0;
    EditForm();
    return false;
}

void frmMeasure::FailOpen(const ProjectDocument& keptConditions)
{
    g_ResetPreserve();
    g_PreserveDoc().AdoptChannelConditions(keptConditions);
    // No project is open: none is held, so another program may open the one open before.
    projectLock_.Release();
    projectStamp_.reset();
    g_bProjectReadOnly = false;
    // The list must not go on showing measurements the document no longer holds, nor the caption
    // and path box a project that is no longer open.
    m_MeasureIndex = 0;
    EditForm();
    ShowNoProject();
}

bool frmMeasure::OpenProject(std::string& path)
{
    openDeclined_ = false;
    // Through a symbolic link the project is the file behind it: its folders lie beside that file,
    // and a save replaces that file, never the link.
    path = platform::FileBehindLinks(path);
    // The project this program holds is open here already: its lock and its saving stay as they are.
    const bool held = HoldsProject(path);
    platform::ProjectLock lock;
    bool readOnly = held && g_bProjectReadOnly;
    if (!held && !LockProject(path, false, lock, readOnly)) {
        openDeclined_ = true;
        return false;
    }
    ProjectDocument& doc = g_PreserveDoc();
    const std::unique_ptr<ProjectDocument> kept = g_NewDocument();
    kept->AdoptChannelConditions(doc);

    platform::BusyPointer busy(ui_);
    g_SelFileName = path;
    // Taken before the read: a change between the two is then taken for a change by another program.
    const std::optional<platform::FileStamp> stamp = platform::StampOf(path);
    if (!doc.FileRead(path)) {
        busy.End();
        ui_.MsgBox("ファイルを開けませんでした．", MsgButtons::OK, MsgIcon::Critical);
        FailOpen(*kept);
        return false;
    }
    // An opened project gets every folder a new one has; one opened without saving is left as the
    // program that holds it keeps it: no folder made, no file renamed or removed.
    if (!readOnly && !EnsureProjectFolders(path, MsgIcon::Critical, &busy)) {
        FailOpen(*kept);
        return false;
    }

    if (!readOnly && EndsWith(path, ".dat")) {
        const std::string renamed = path.substr(0, path.size() - 4) + ".qvd";
        std::error_code ec;
        bool moved = false;
        if (!fs::exists(fs::u8path(renamed), ec) && !ec) {
            fs::rename(fs::u8path(path), fs::u8path(renamed), ec);
            moved = !ec;
        }
        if (moved) {
            path = renamed;
            // The lock goes with the name, unless another program took that name's lock meanwhile.
            (held ? projectLock_ : lock).MoveTo(path);
            ui_.MsgBox("拡張子を qvd に変更しました.");
        } else {
            ui_.MsgBox("拡張子を qvd に変更できませんでした.");
        }
    }

    // A save of this project that never completed (the program was killed during it) left its
    // temporary file beside the project file.
    if (!readOnly) {
        platform::RemoveLeftoverTemporaries(path);
    }
    if (held) {
        // The same file under another name (a hard link): the lock file goes with the name shown.
        projectLock_.MoveTo(path);
    }
    doc.SetSaveFilePath(path);
    bool statisticsInPlace = false;
    if (readOnly) {
        statisticsInPlace = !doc.BeginProjectWithoutSaving();
    } else {
        doc.BeginProject();
        doc.HoldProject();
    }
    AdoptProject(std::move(lock), held, readOnly, stamp);
    // The running program's channel conditions replace the project file's own.
    doc.AdoptChannelConditions(*kept);
    ShowProjectPath();
    m_MeasureIndex = doc.MeasureCount();
    if (m_MeasureIndex > 0) {
        doc.AdoptLastMeasureCondition();
    }
    EditForm();
    busy.End();
    TellProjectPath();
    if (statisticsInPlace) {
        ui_.MsgBox(kStatisticsInPlace, MsgButtons::OK, MsgIcon::Exclamation);
    }
    return true;
}

bool frmMeasure::SaveData()
{
    return SaveProjectFile() != SaveOutcome::Failed;
}

frmMeasure::SaveOutcome frmMeasure::SaveProjectFile()
{
    ProjectDocument& doc = g_PreserveDoc();
    TellMemo();
    doc.SetMemo(txtMEMO.Text);
    if (g_bProjectReadOnly) {
        if (!toldNotSaved_) {
            toldNotSaved_ = true;
            ui_.MsgBox(kNotSaved, MsgButtons::OK, MsgIcon::Information);
        }
        return SaveOutcome::NotWritten;
    }
    const std::string path = doc.SaveFilePath();
    if (!MayWriteProject(kOverwriteQuestion)) {
        return SaveOutcome::NotWritten;
    }
    platform::BusyPointer busy(ui_);
    const std::optional<platform::FileStamp> before = platform::StampOf(path);
    if (doc.SaveProject()) {
        projectLock_.FollowSavedFile(path);
        projectStamp_ = platform::StampOf(path);
        ForgetRecoveryFile();
        return SaveOutcome::Written;
    }
    // A failed write leaves the previous project file whole; it is never deleted here. A save that failed only
    // at the flush after its rename left its own new file in place: no other program changed it.
    if (const std::optional<platform::FileStamp> after = platform::StampOf(path);
        after && (!before || after->device != before->device || after->inode != before->inode)) {
        projectLock_.FollowSavedFile(path);
        projectStamp_ = after;
    }
    busy.End();
    ui_.MsgBox("データ保存に失敗しました．");
    return SaveOutcome::Failed;
}

bool frmMeasure::MayWriteProject(const char* question) {
    const std::string path = g_PreserveDoc().SaveFilePath();
    if (!projectStamp_ || platform::Unchanged(*projectStamp_, path)) {
        return true;
    }
    if (ui_.MsgBox(kChangedElsewhere + path + question, MsgButtons::YesNo, MsgIcon::Exclamation, {}, MsgAnswer::No) !=
        MsgAnswer::Yes) {
        return false;
    }
    // The file as it is now is the one the user chose to write over.
    projectStamp_ = platform::StampOf(path);
    return true;
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
    Caption = kMainCaption + path + (g_bProjectReadOnly ? kReadOnlyCaption : "");
}

void frmMeasure::ShowNoProject() {
    txtSavePath.Text = kNoProjectPath;
    Caption = kNoProjectCaption;
}

void frmMeasure::TellProjectPath() {
    platform::TellPathsNotHeld(ui_, kProjectPathNotHeld, {g_PreserveDoc().SaveFilePath()});
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
    if (OpenProject(path)) {
        EndFileCommand(true);
    } else if (OpenDeclined()) {
        // The project open before stays open.
        g_PreserveDoc().SetSaveFilePath(oldPath);
    } else {
        EndFileCommand(false);
    }
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
    // No project is open while the choice is made: nothing can be imported into one.
    UpdateProjectCommands();
    Form_Activate();
}

void frmMeasure::cmdSavePath_Click()
{
    if (!g_bStartSelect) {
        SaveMemoAndData();
    }
    g_bStartSelect = true;
    Form_Activate();
}

}  // namespace murtesk
