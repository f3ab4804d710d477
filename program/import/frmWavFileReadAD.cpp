// The import dialog as a whole: its controls, loading, the two pages, closing, and the file list page.
#include "frmWavFileReadAD.h"

#include "platform/dropped_text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace murtesk::import {

namespace {

constexpr const char* kWaveFilter = "Waveﾌｧｲﾙ (*.wav)|*.wav";

std::vector<std::string> SplitAtNul(const std::string& text)
{
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == '\0') {
            pieces.emplace_back();
        } else {
            pieces.back().push_back(c);
        }
    }
    return pieces;
}

// Ascending order without regard to the case of ASCII letters, as the sorted scratch list keeps it.
bool CaseInsensitiveLess(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

bool IsExistingFile(const std::string& path)
{
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::u8path(path), error);
}

frmWavFileReadAD::frmWavFileReadAD(platform::UiServices& ui, WavImportDocument& document, WavLibrary& library)
    : Form(ui, "frmWavFileReadAD"), document_(document), library_(library)
{
    Caption = "Waveファイル読込み条件を指定してください";
    Label1.Caption = "レベル解析入力Waveファイルパス名";
    lstWaveFile.MultiSelect = true;
    cmdWaveFiles.Caption = "参照(&B)...";
    cmdDeleteFile.Caption = "削除";
    cmdUp.Caption = "↑";
    cmdUp.ToolTipText = "選択データ上移動";
    cmdDown.Caption = "↓";
    cmdDown.ToolTipText = "選択データ下移動";
    Label2.Caption = "CAL信号入力Waveファイルパス名";
    cmdCalWaveFile.Caption = "参照(&A)...";
    chkWaveOut.Caption = "Waveファイル出力条件を「全出力」とする";
    cmdNext.Caption = "次へ(&N)";
    cmdCancel[0].Caption = "&Cancel";
    cmdCancel[1].Caption = "&Cancel";
    for (platform::CommandButton* b : {&cmdComonBand, &cmdCommonW, &cmdCommonTW, &cmdCommonLevelIntervalMS,
                                       &cmdCommonCAL0p, &cmdCommonCALWave, &cmdCommonLevel, &cmdCommonZeroPlus}) {
        b->Caption = "共通";
    }
    cmdBack.Caption = "戻る(&R)";
    cmdStart.Caption = "測定開始(&M)";
    cmdStart.ToolTipText = "測定開始";
    vsElastic2.Visible = false;
}

frmWavFileReadAD::~frmWavFileReadAD() = default;

void frmWavFileReadAD::Form_Load()
{
    CancelButton = "cmdCancel0";
    DefaultButton = "cmdNext";
    m_ShownCh = -1;

    txtCSVPathName.Text = document_.CalibrationPath();
    lstWaveFile.Clear();
    for (std::string& path : SplitAtNul(document_.TargetPaths())) {
        if (!path.empty()) {
            lstWaveFile.AddItem(std::move(path));
        }
    }

    cmbOct1or3.Clear();
    cmbOct1or3.AddItem("1/1ｵｸﾀｰﾌﾞﾊﾞﾝﾄﾞ", 1);
    cmbOct1or3.AddItem("1/3ｵｸﾀｰﾌﾞﾊﾞﾝﾄﾞ", 3);

    cmbW.Clear();
    cmbW.AddItem("A", 3);
    cmbW.AddItem("C", 4);
    cmbW.AddItem("G", 2);
    cmbW.AddItem("Ｌvz", 0);
    cmbW.AddItem("Ｌvxy", 1);
    cmbW.AddItem("計算しない", -1);
    std::int32_t code = 6;
    for (std::string& name : document_.UserCharacteristicNames()) {
        cmbW.AddItem(std::move(name), code++);
    }

    // The list position is the time-weighting number of the condition; the item data is what
    // setCR takes.
    cmbTimeWeighting.Clear();
    cmbTimeWeighting.AddItem("FAST", 0);
    cmbTimeWeighting.AddItem("SLOW", 2);
    cmbTimeWeighting.AddItem("VL", 1);
    cmbTimeWeighting.AddItem("IMPULSE", 3);
    cmbTimeWeighting.AddItem("10mSec", 4);
    cmbTimeWeighting.AddItem("1mSec", 5);

    cmbLevelIntervalMS.Clear();
    cmbLevelIntervalMS.AddItem("100ms", 100);
    cmbLevelIntervalMS.AddItem("10ms", 10);
    cmbLevelIntervalMS.AddItem("1ms", 1);

    cmbCALWavePattern.Clear();
    cmbCALWavePattern.AddItem("正弦波", 0);
    cmbCALWavePattern.AddItem("矩形波", 1);
    cmbCALWavePattern.AddItem("三角波", 2);

    txtCalLevel.Text = "94";
    txtZeroPlus.Text = "0";
    lblFs.Caption.clear();
    lblBit.Caption.clear();
    lblSate.Caption.clear();

    vsElastic2.Visible = false;
    vsElastic1.Visible = true;

    if (!statusWindow_) {
        statusWindow_ = MakeStatusWindow([this](std::int32_t status) {
            if (hooked_) {
                MessageGet(status);
            }
        });
    }
    hooked_ = true;
}

void frmWavFileReadAD::ShowFilePage()
{
    vsElastic2.Visible = false;
    vsElastic1.Visible = true;
    CancelButton = "cmdCancel0";
    DefaultButton = "cmdNext";
}

void frmWavFileReadAD::ShowConditionPage()
{
    vsElastic1.Visible = false;
    vsElastic2.Visible = true;
    CancelButton = "cmdBack";
    DefaultButton = "cmdStart";
}

void frmWavFileReadAD::cmdCancel_Click(int /*index*/) { ui_.Unload(*this); }

void frmWavFileReadAD::Form_QueryUnload(bool& cancel, platform::UnloadMode /*mode*/)
{
    if (phase_ == RunPhase::Idle) {
        return;
    }
    // A run is on: the last status is handled as if it had just come, a stop already asked for is
    // asked again, and the dialog stays open.
    MessageGet(WAVSTATUS_POLL);
    if (phase_ != RunPhase::Idle) {
        if (phase_ == RunPhase::Stopping) {
            library_.DoStopOfWAV();
        }
        cancel = true;
    }
}

// The status window itself lives as long as the form: the unload may come from inside the handling
// of one of its messages.
void frmWavFileReadAD::Form_Unload(bool& /*cancel*/) { hooked_ = false; }

void frmWavFileReadAD::cmdWaveFiles_Click()
{
    platform::FileDialogRequest request;
    request.Title = "解析Waveファイルを選択して下さい．";
    request.Filter = kWaveFilter;
    request.MultiSelect = true;
    request.FileMustExist = true;
    request.HideReadOnly = true;
    const std::optional<std::string> chosen = ui_.ShowOpen(request);
    if (!chosen || chosen->empty()) {
        return;
    }
    const std::vector<std::string> pieces = SplitAtNul(*chosen);
    if (pieces.size() == 1) {
        lstWaveFile.AddItem(pieces.front());
        return;
    }
    std::string folder = pieces.front();
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        lstWaveFile.AddItem(folder + pieces[i]);
    }
}

void frmWavFileReadAD::lstWaveFile_OLEDragDrop(const platform::DropData& data)
{
    if (!data.Files.empty()) {
        std::vector<std::string> lstSort = data.Files;
        std::stable_sort(lstSort.begin(), lstSort.end(), CaseInsensitiveLess);
        for (std::string& path : lstSort) {
            lstWaveFile.AddItem(std::move(path));
        }
    }
    // Each line of a text that names existing files adds one; a text that can name no file adds none.
    const std::optional<std::vector<std::string>> paths =
        data.Text ? platform::DroppedTextPaths(*data.Text) : std::nullopt;
    for (const std::string& path : paths.value_or(std::vector<std::string>{})) {
        if (IsExistingFile(path)) {
            lstWaveFile.AddItem(path);
        }
    }
}

void frmWavFileReadAD::cmdCalWaveFile_Click()
{
    platform::FileDialogRequest request;
    request.Title = "CAL信号Waveファイルを一つ選択して下さい．";
    request.Filter = kWaveFilter;
    request.FileMustExist = true;
    request.HideReadOnly = true;
    const std::optional<std::string> chosen = ui_.ShowOpen(request);
    if (chosen && !chosen->empty()) {
        txtCSVPathName.Text = *chosen;
    }
}

void frmWavFileReadAD::txtCSVPathName_OLEDragDrop(const platform::DropData& data)
{
    if (!data.Files.empty()) {
        txtCSVPathName.Text = data.Files.front();
    }
    // Text wins: the one path it names, or else the text itself for the user to correct.
    if (data.Text) {
        const std::optional<std::vector<std::string>> paths = platform::DroppedTextPaths(*data.Text);
        txtCSVPathName.Text = paths && paths->size() == 1 ? paths->front() : *data.Text;
    }
}

void frmWavFileReadAD::cmdDeleteFile_Click()
{
    if (lstWaveFile.ListCount() == 0) {
        return;
    }
    std::vector<int> selected;
    for (int i = 0; i < lstWaveFile.ListCount(); ++i) {
        if (lstWaveFile.IsSelected(i)) {
            selected.push_back(i);
        }
    }
    if (selected.empty()) {
        ui_.MsgBox("削除したいファイルを複数選択して下さい．", platform::MsgButtons::OK, platform::MsgIcon::None,
                   platform::kProgramTitle);
        SetFocus("lstWaveFile");
        return;
    }
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        lstWaveFile.RemoveItem(*it);
    }
    if (lstWaveFile.ListCount() > 0) {
        const int last = lstWaveFile.ListCount() - 1;
        lstWaveFile.ListIndex = last;
        lstWaveFile.SetSelected(last, true);
    } else {
        lstWaveFile.ListIndex = -1;
    }
}

void frmWavFileReadAD::cmdUp_Click() { MoveSelectedBlock(true); }
void frmWavFileReadAD::cmdDown_Click() { MoveSelectedBlock(false); }

void frmWavFileReadAD::MoveSelectedBlock(bool up)
{
    const int count = lstWaveFile.ListCount();
    if (count < 2) {
        return;
    }
    int first = -1;
    int last = -1;
    for (int i = 0; i < count; ++i) {
        if (!lstWaveFile.IsSelected(i)) {
            continue;
        }
        if (first >= 0 && i != last + 1) {
            ui_.MsgBox("移動したいファイルは連続して選択して下さい．", platform::MsgButtons::OK,
                       platform::MsgIcon::None, platform::kProgramTitle);
            SetFocus("lstWaveFile");
            return;
        }
        if (first < 0) {
            first = i;
        }
        last = i;
    }
    if (first < 0) {
        ui_.MsgBox("移動したいファイルを選択して下さい．", platform::MsgButtons::OK, platform::MsgIcon::None,
                   platform::kProgramTitle);
        SetFocus("lstWaveFile");
        return;
    }
    if ((up && first == 0) || (!up && last == count - 1)) {
        return;
    }
    // Moving the block one place is swapping it with the one entry beside it.
    std::vector<std::string>& items = lstWaveFile.Items;
    if (up) {
        std::rotate(items.begin() + first - 1, items.begin() + first, items.begin() + last + 1);
    } else {
        std::rotate(items.begin() + first, items.begin() + last + 1, items.begin() + last + 2);
    }
    const int shift = up ? -1 : 1;
    for (int i = 0; i < count; ++i) {
        lstWaveFile.SetSelected(i, i >= first + shift && i <= last + shift);
    }
    lstWaveFile.ListIndex = first + shift;
}

void frmWavFileReadAD::cmdBack_Click()
{
    ShowFilePage();
    SetFocus("cmdNext");
}

}  // namespace murtesk::import
