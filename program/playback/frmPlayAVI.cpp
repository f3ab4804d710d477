// frmPlayAVI: loading, playback, the position read-out, frame steps, saved times and closing.
#include "playback/frmPlayAVI.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "globals.h"
#include "kinemo_binding.h"
#include "platform/atomic_file.h"
#include "platform/file_moves.h"
#include "platform/numbers.h"
#include "playback/dll_interface.h"
#include "playback/side_files.h"
#include "playback/video_times.h"

namespace murtesk::playback {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kNotSet = "---";

// Rounded to the nearest whole number, halves to the even one, and limited to the int range.
int RoundedInt(double value) {
    std::int32_t result = 0;
    if (!platform::RoundToInt32(value, result)) return value < 0 ? INT32_MIN : INT32_MAX;
    return result;
}

// Option buttons with these captions, the first one chosen.
std::vector<platform::OptionButton> Options(std::initializer_list<const char*> captions) {
    std::vector<platform::OptionButton> buttons;
    for (const char* caption : captions) {
        buttons.emplace_back();
        buttons.back().Caption = caption;
    }
    buttons.front().Value = true;
    return buttons;
}

bool FileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

// The name an unreadable side file is kept under: "…/24-5-1-9_30_0_unreadable.car", numbered when taken.
std::string AsideName(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::string stem = path.substr(0, dot) + "_unreadable";
    const std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    std::string name = stem + extension;
    for (int n = 2; FileExists(name); ++n) name = stem + "-" + std::to_string(n) + extension;
    return name;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

frmPlayAVI::frmPlayAVI(platform::UiServices& ui, KinemoApi& kinemo) : Form(ui, "frmPlayAVI"), kinemo_(kinemo) {
    Caption = "ビデオ観測";
    KeyPreview = true;
    lblTime.Caption = "Time";
    cmdStart[0].Caption = "再生開始(&S)";
    cmdStart[1].Caption = "再生";
    cmdStop[0].Caption = "再生停止(&E)";
    cmdStop[1].Caption = "停止";
    for (auto& b : cmdStart) b.ToolTipText = "再生";
    for (auto& b : cmdStop) b.ToolTipText = "停止";
    cmdBack.Caption = "←";
    cmdBack.ToolTipText = "１フレーム戻す";
    cmdForward.Caption = "→";
    cmdForward.ToolTipText = "１フレーム進める";
    cmdSaveTime[0].Caption = "保存時間①(&A)";
    cmdSaveTime[1].Caption = "保存時間②(&B)";
    cmdOk.Caption = "&OK";
    cmdCancel.Caption = "Cancel(&X)";
    cmdCancel.ToolTipText = "データを保存しないで閉じる";
    mnuFile.Caption = "ﾌｧｲﾙ";
    mnuFile.Enabled = false;
    mnuFileSaveCarNum.Caption = "車種別カウント情報のﾃｷｽﾄﾌｧｲﾙ出力...";
    mnuFileSaveSpeed.Caption = "速度情報のﾃｷｽﾄﾌｧｲﾙ出力...";

    fraCourse.Caption = "方向";
    optCourse.Buttons = Options({"上り", "下り"});
    fraCondition.Caption = "交通観測条件";
    lblRoadNo.Caption = "車線番号";
    cmbRoadNo.ToolTipText = "1=最内車線 , 0=区別なし";
    static constexpr std::pair<int, const char*> kKinds[] = {{1, "中型(&1)"},    {2, "乗用(&2)"}, {4, "大型(&4)"},
                                                             {5, "貨物(&5)"},    {6, "二輪(&6)"}, {7, "大型車類(&7)"},
                                                             {8, "小型車類(&8)"}};
    lblCarKind[3].Visible = false;
    for (const auto& [kind, caption] : kKinds) lblCarKind[static_cast<std::size_t>(kind)].Caption = caption;
    for (std::size_t k = 1; k <= 8; ++k) lblCarNum[k].Caption = "0";
    lblTotal.Caption = "合計台数";
    cmdSearch.Caption = "Search";
    cmdSearch.ToolTipText = "最終ｶｳﾝﾄ位置ｻｰﾁ";
    fraDelete.Caption = "車種カウント情報の削除";
    optDell.Buttons = Options({"車線別", "方向別", "全部"});
    cmdBackErase.Caption = "現在位置から後ろを削除(&D)";
    cmdAllErase.Caption = "全範囲削除";
    cmdSaveCarNum.Caption = "ﾃｷｽﾄOut";

    fraSpeed.Caption = "車線別速度情報";
    cmbCarType.ToolTipText = "車種分類";
    lblDistance.Caption = "距離(m)";
    txtDistance.Text = "20";
    cmdCalcSpeed.Caption = "速度算出(&C)";
    lstSpeed.MultiSelect = true;
    cmdSaveSpeed.Caption = "ﾃｷｽﾄOut";
    cmdDelSpeed.Caption = "Delete";
}

frmPlayAVI::~frmPlayAVI() {
    SetTimer1(false);
    if (videoOpened_) kinemo_.CloseAvi();
    if (subclassed_ && FrameAVI) UnSubClassWindow(FrameAVI->Target());
    if (g_frmPlayAVI == this) g_frmPlayAVI = nullptr;
}

// ---- Loading

void frmPlayAVI::Form_Load() {
    loadFailed_ = true;
    Slider1.Enabled = false;
    lstSpeed.Clear();
    g_SaveTime = {-1, -1};
    for (auto& label : lblSaveTime) label.Caption = kNotSet;
    for (auto& b : cmdStop) b.Enabled = false;
    cmdSearch.Enabled = true;
    for (auto& b : cmdStart) b.Enabled = true;
    if (!FrameAVI) FrameAVI = MakeVideoFrame(ui_);
    g_frmPlayAVI = this;
    readOnly_ = g_bVideoReadOnly;

    if (!OpenVideoAndData(g_VideoPath, g_VideoStartMs, g_VideoEndMs)) {
        ui_.MsgBox("動画ファイルをオープンできませんでした.");
        return;
    }
    if (kinemo_.AviIsCanSeek() == 0) {
        ui_.MsgBox("シーク機能がサポートされていない動画ファイルです.");
        return;
    }
    // A side file that does not read (damaged, or of another version) is not overwritten unseen.
    for (const Unreadable& file : unreadable_) {
        ui_.MsgBox("次のファイルを読めないので,空の状態で開きます.\r\n" + file.path +
                       (readOnly_ ? std::string()
                                  : "\r\n保存するときは,元のファイルを「" + FileNameOf(file.aside) +
                                        "」という名前で残します."),
                   MsgButtons::OK, MsgIcon::Exclamation);
    }
    FillLists();
    if (readOnly_) {
        for (platform::Label& kind : lblCarKind) kind.Enabled = false;
        for (platform::CommandButton* b : {&cmdBackErase, &cmdAllErase, &cmdCalcSpeed, &cmdDelSpeed})
            b->Enabled = false;
    }
    mnuFile.Enabled = true;
    cmdStart_Click(0);
    loadFailed_ = false;
    SubClassWindow(FrameAVI->Target(), kSubClassVideo);
    subclassed_ = true;
}

void frmPlayAVI::Form_Activate() {
    if (!loadFailed_) return;
    ui_.MsgBox("エラーが発生しました.");
    ui_.Unload(*this);
}

bool frmPlayAVI::OpenVideoAndData(const std::string& path, std::int32_t& startMs, std::int32_t& endMs) {
    if (!OpenVideo(path, startMs, endMs)) return false;
    unreadable_.clear();
    for (const std::string& side : {CarCountFilePath(path), SpeedFilePath(path)})
        platform::RemoveLeftoverTemporaries(side);  // what a save killed half way left beside the side files
    ReadSideFile(m_CarCounts, CarCountFilePath(path));
    ReadSideFile(m_SpeedInfos, SpeedFilePath(path));
    if (m_SpeedInfos.count() > 0) {
        // As the distance was typed: a single's seven significant digits ("12.5", not 12.5000000000).
        char text[32];
        std::snprintf(text, sizeof text, "%.7g", static_cast<double>(m_SpeedInfos.Item(m_SpeedInfos.count()).Distance));
        txtDistance.Text = platform::NumberToText(std::strtod(text, nullptr));
    }
    return true;
}

template <class List>
void frmPlayAVI::ReadSideFile(List& list, const std::string& path) {
    if (list.FileRead(path)) return;
    list.AllDelete();
    if (FileExists(path)) unreadable_.push_back({path, AsideName(path)});
}

template <class List>
bool frmPlayAVI::WriteSideFile(const List& list, const std::string& path) {
    const auto it = std::find_if(unreadable_.begin(), unreadable_.end(),
                                 [&](const Unreadable& file) { return file.path == path; });
    if (it == unreadable_.end()) return list.FileWrite(path);
    // The unreadable file is kept under its other name before the new one takes its place.
    if (FileExists(it->aside)) it->aside = AsideName(path);
    if (::link(path.c_str(), it->aside.c_str()) != 0 && !platform::CopyFileReplacing(path, it->aside)) return false;
    if (!list.FileWrite(path)) {
        ::unlink(it->aside.c_str());  // the old file is still in its place
        return false;
    }
    unreadable_.erase(it);
    return true;
}

bool frmPlayAVI::OpenVideo(const std::string& path, std::int32_t& startMs, std::int32_t& endMs) {
    kinemo_.CloseAvi();
    Slider1.Min = 0;
    videoOpened_ = true;
    if (kinemo_.OpenAvi(FrameAVI->Host(), path.c_str()) == 0) return false;
    const std::int32_t duration = kinemo_.GetAviTime();
    if (endMs < 1 || endMs > duration) endMs = duration;
    if (startMs > endMs) startMs = endMs;
    if (startMs < 0) startMs = 0;
    if (startMs == endMs) return false;
    const std::int32_t span = endMs - startMs;
    Slider1.Max = span <= kStepSpanLimitMs ? RoundedInt(span / 100.0) : kProportionalMax;
    kinemo_.SetAviRange(startMs, endMs);
    Slider1.Enabled = true;
    Slider1.Value = Slider1.Min;
    Slider1_Scroll();
    return true;
}

// ---- Playback

void frmPlayAVI::SetTimer1(bool enabled) {
    if (enabled == Timer1) return;
    Timer1 = enabled;
    if (enabled) {
        timer_ = ui_.StartTimer(kTimerIntervalMs, false, [this] { Timer1_Timer(); });
    } else {
        ui_.StopTimer(timer_);
        timer_ = 0;
    }
}

void frmPlayAVI::SetPlaying(bool playing) {
    Slider1.Enabled = !playing;
    for (auto& b : cmdStart) b.Enabled = !playing;
    cmdSearch.Enabled = !playing;
    cmdBack.Enabled = !playing;
    cmdForward.Enabled = !playing;
    for (auto& b : cmdStop) b.Enabled = playing;
    SetTimer1(playing);
}

void frmPlayAVI::cmdStart_Click(int) {
    kinemo_.AviStart();
    SetPlaying(true);
}

void frmPlayAVI::cmdStop_Click(int) {
    kinemo_.AviPause();
    SetPlaying(false);
    FocusSlider();
}

void frmPlayAVI::FocusSlider() {
    if (Slider1.Enabled) SetFocus("Slider1");
}

std::optional<int> frmPlayAVI::SliderValueOf(std::int32_t p) const {
    const double offset = static_cast<double>(p) - g_VideoStartMs;
    const int v = Slider1.Max == kProportionalMax
                      ? RoundedInt(kProportionalMax * offset / (static_cast<double>(g_VideoEndMs) - g_VideoStartMs))
                      : RoundedInt(offset / 100.0);
    if (v < Slider1.Min || v > Slider1.Max) return std::nullopt;
    return v;
}

void frmPlayAVI::Timer1_Timer() {
    ShowPosTime();
    const std::int32_t p = kinemo_.GetAviPosition();
    if (g_VideoEndMs <= g_VideoStartMs) return;
    // Limited to the slider's range: the clock may run a little past the span's end.
    const std::optional<int> v = SliderValueOf(p);
    Slider1.Value = v ? *v : (p < g_VideoStartMs ? Slider1.Min : Slider1.Max);
}

void frmPlayAVI::ShowPosTime() {
    const std::int32_t p = kinemo_.GetAviPosition();
    if (g_VideoStartTime != 0.0) {
        lblTime.Caption =
            PositionDate(g_VideoStartTime, p, "yyyy/mm/dd hh:mm'ss") + " (" + PositionSeconds(p, "0") + "Sec)";
    } else {
        lblTime.Caption = PositionSeconds(p, "0") + "Sec";
    }
}

void frmPlayAVI::Slider1_Scroll() {
    if (Slider1.Value < 0 || !Slider1.Enabled) return;
    Slider1.ToolTipText.clear();
    const std::int64_t start = g_VideoStartMs, end = g_VideoEndMs;
    std::int64_t position = 0;
    if (Slider1.Max != kProportionalMax) {
        position = std::int64_t{Slider1.Value} * 100 + start;
    } else {
        position = RoundedInt(static_cast<double>(Slider1.Value) * static_cast<double>(end - start) / Slider1.Max +
                              static_cast<double>(start));
        if (position < start || position > end) return;
    }
    if (position > INT32_MAX) return;
    kinemo_.SetAviPosition(static_cast<std::int32_t>(position));
    ShowPosTime();
}

void frmPlayAVI::StepTo(std::int32_t p) {
    kinemo_.SetAviPosition(p);
    ShowPosTime();
    // Disabled while its value is set, so that its handling does not seek again.
    Slider1.Enabled = false;
    if (const std::optional<int> v = SliderValueOf(p)) Slider1.Value = *v;
    ui_.DoEvents();
    Slider1.Enabled = true;
}

void frmPlayAVI::cmdBack_Click() {
    const std::int64_t p = std::int64_t{kinemo_.GetAviPosition()} - kFrameStepMs;
    if (p >= g_VideoStartMs) StepTo(static_cast<std::int32_t>(p));
}

void frmPlayAVI::cmdForward_Click() {
    const std::int64_t p = std::int64_t{kinemo_.GetAviPosition()} + kFrameStepMs;
    if (p <= g_VideoEndMs) StepTo(static_cast<std::int32_t>(p));
}

void frmPlayAVI::MessageGet(std::intptr_t) {
    if (kinemo_.AviGraphEvent() <= 0) return;
    cmdStop_Click(0);
    kinemo_.SetAviPosition(g_VideoStartMs);
    Slider1.Value = Slider1.Min;
    ShowPosTime();
}

void frmPlayAVI::cmdSaveTime_Click(int Index) {
    const std::int32_t p = kinemo_.GetAviPosition();
    g_SaveTime[static_cast<std::size_t>(Index)] = p;
    platform::Label& label = lblSaveTime[static_cast<std::size_t>(Index)];
    if (g_VideoStartTime != 0.0) {
        label.Caption = PositionDate(g_VideoStartTime, p, "hh:mm'ss") + " (" + PositionSeconds(p, "0.0") + "Sec)";
    } else {
        label.Caption = PositionSeconds(p, "0.0") + "Sec";
    }
    FocusSlider();
}

// ---- Closing

bool frmPlayAVI::SaveCountAndSpeedData() {
    const std::string carPath = CarCountFilePath(g_VideoPath);
    const std::string speedPath = SpeedFilePath(g_VideoPath);
    const bool counts = WriteSideFile(m_CarCounts, carPath);
    const bool speeds = WriteSideFile(m_SpeedInfos, speedPath);
    return counts && speeds;
}

void frmPlayAVI::cmdOk_Click() {
    if (!readOnly_ && !SaveCountAndSpeedData()) {
        ui_.MsgBox("情報の保存に失敗しました．");
        if (ui_.MsgBox("閉じますか？", MsgButtons::YesNo, MsgIcon::Critical, "エラー発生", MsgAnswer::No) ==
            MsgAnswer::No)
            return;
    }
    ui_.Unload(*this);
}

bool frmPlayAVI::ConfirmCloseWithoutSaving() {
    if (g_VideoPath.empty() || readOnly_) return true;
    const bool unsaved = FileExists(CarCountFilePath(g_VideoPath)) || FileExists(SpeedFilePath(g_VideoPath)) ||
                         m_CarCounts.count() > 0 || m_SpeedInfos.count() > 0;
    return !unsaved ||
           ui_.MsgBox("データを保存しないで閉じますか？", MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::No;
}

void frmPlayAVI::cmdCancel_Click() {
    if (ConfirmCloseWithoutSaving()) ui_.Unload(*this);
}

void frmPlayAVI::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    // The close box is Cancel: it asks before counts that were not saved are dropped.
    if (mode == platform::UnloadMode::FormControlMenu && !loadFailed_ && !ConfirmCloseWithoutSaving()) cancel = true;
}

void frmPlayAVI::Form_Unload(bool&) {
    SetTimer1(false);
    kinemo_.CloseAvi();
    videoOpened_ = false;
    if (subclassed_) {
        UnSubClassWindow(FrameAVI->Target());
        subclassed_ = false;
    }
    if (g_frmPlayAVI == this) g_frmPlayAVI = nullptr;
    FrameAVI.reset();  // its widget goes with the window's view
}

void ShowPlayAVI(platform::UiServices& ui, platform::Form* owner) {
    static std::unique_ptr<frmPlayAVI> window;
    window = std::make_unique<frmPlayAVI>(ui, Kinemo());
    ui.ShowModal(*window, owner);
}

}  // namespace murtesk::playback
