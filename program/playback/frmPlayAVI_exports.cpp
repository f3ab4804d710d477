// frmPlayAVI: the CSV exports of counts and speeds, the deletion of selected speeds, the distance box's focus and
// the window's size.
//
// A CSV file is written whole through the platform's atomic replacement, in CP932 with CR LF line ends: a failed
// write leaves no partial file, and a file of that name from before as it was.
#include "playback/frmPlayAVI.h"

#include <vector>

#include "globals.h"
#include "output_target.h"
#include "platform/atomic_file.h"
#include "platform/numbers.h"
#include "platform/text_encoding.h"
#include "playback/video_times.h"

namespace murtesk::playback {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr const char* kOperationTitle = "操作情報";
constexpr const char* kDatePattern = "yyyy/mm/dd hh:mm:ss";

std::string Direction(std::int16_t course) { return course == 0 ? "上り" : "下り"; }

// Lines joined with CR LF after each, converted to CP932 and written in one replacement.
bool WriteCsv(const std::string& path, const std::string& lines) {
    const std::string bytes = platform::Utf8ToCp932(lines);
    return platform::ReplaceFile(path, [&](platform::BinaryFile& file) { return file.Write(bytes); });
}

void AddLine(std::string& text, const std::string& line) {
    text += line;
    text += "\r\n";
}

std::string CountsHeader() {
    return g_VideoStartTime == 0.0 ? "方向, 車線番号, 車種番号, 経過時間(Sec)"
                                   : "方向, 車線番号, 車種番号, 経過時間(Sec), 走行日時";
}

std::string CountRow(const CCarCount& car) {
    std::string row = Direction(car.Course) + "," + platform::FormatNumber(car.RoadNo, "0") + "," +
                      platform::FormatNumber(car.CarKind, "0") + "," + PositionSeconds(car.PosTime, "0.0");
    if (g_VideoStartTime != 0.0) row += "," + PositionDate(g_VideoStartTime, car.PosTime, kDatePattern);
    return row;
}

std::string SpeedsHeader() {
    return g_VideoStartTime == 0.0 ? "方向, 車線番号, 速度(Km/h), 車種番号, 距離(m), 経過時間１(Sec), 経過時間２(Sec)"
                                   : "方向, 車線番号, 速度(Km/h), 車種番号, 距離(m), 経過時間１(Sec), 経過時間２(Sec), "
                                     "保存時間１, 保存時間２";
}

std::string SpeedRow(const CSpeedInfo& speed) {
    std::string row = Direction(speed.Course) + "," + platform::FormatNumber(speed.RoadNo, "0") + "," +
                      platform::FormatNumber(speed.GetSpeedKmH(), "0.000") + "," +
                      platform::FormatNumber(speed.CarKind, "0") + "," + platform::FormatNumber(speed.Distance, "0.0") +
                      "," + PositionSeconds(speed.SaveTime1, "0.0") + "," + PositionSeconds(speed.SaveTime2, "0.0");
    if (g_VideoStartTime != 0.0) {
        row += "," + PositionDate(g_VideoStartTime, speed.SaveTime1, kDatePattern) + "," +
               PositionDate(g_VideoStartTime, speed.SaveTime2, kDatePattern);
    }
    return row;
}

}  // namespace

// ---- Counts

void frmPlayAVI::cmdSaveCarNum_Click() {
    const MsgAnswer answer = ui_.MsgBox("現在選択している車線のカウント情報だけ保存しますか？", MsgButtons::YesNo,
                                        MsgIcon::Question, "全部 or 現在選択情報?");
    const bool selected = answer == MsgAnswer::Yes;
    if (selected ? m_CarCounts.CarNum(3) > 0 : m_CarCounts.count() > 0)
        OutputCarCountCSV(selected ? 1 : 0);
    else
        ui_.MsgBox("保存するカウント情報がありません．", MsgButtons::OK, MsgIcon::Information, kOperationTitle);
    FocusSlider();
}

void frmPlayAVI::mnuFileSaveCarNum_Click() { cmdSaveCarNum_Click(); }

bool frmPlayAVI::OutputCarCountCSV(std::int16_t mode) {
    return OutputCSV(mode == 1 ? &frmPlayAVI::WriteCarCountCSVSelected : &frmPlayAVI::WriteCarCountCSVAll);
}

bool frmPlayAVI::WriteCarCountCSVSelected(const std::string& path) {
    std::string text;
    AddLine(text, CountsHeader());
    const CCarCount& filter = m_CarCounts.NowCarCount();
    for (std::int32_t i = 1; i <= m_CarCounts.count(); ++i) {
        const CCarCount car = m_CarCounts.Item(i);
        if (car.IsSameCondition(filter)) AddLine(text, CountRow(car));
    }
    return WriteCsv(path, text);
}

bool frmPlayAVI::WriteCarCountCSVAll(const std::string& path) {
    std::string text;
    AddLine(text, CountsHeader());
    for (std::int32_t i = 1; i <= m_CarCounts.count(); ++i) AddLine(text, CountRow(m_CarCounts.Item(i)));
    return WriteCsv(path, text);
}

// ---- Speeds

void frmPlayAVI::cmdSaveSpeed_Click() {
    const MsgAnswer answer = ui_.MsgBox("リストに表示している速度情報だけ保存しますか？", MsgButtons::YesNo,
                                        MsgIcon::Question, "全部 or リスト?");
    const bool listed = answer == MsgAnswer::Yes;
    if (listed ? lstSpeed.ListCount() > 0 : m_SpeedInfos.count() > 0)
        OutputSpeedCSV(listed ? 1 : 0);
    else
        ui_.MsgBox("保存する速度がありません．", MsgButtons::OK, MsgIcon::Information, kOperationTitle);
    FocusSlider();
}

void frmPlayAVI::mnuFileSaveSpeed_Click() { cmdSaveSpeed_Click(); }

bool frmPlayAVI::OutputSpeedCSV(std::int16_t mode) {
    return OutputCSV(mode == 1 ? &frmPlayAVI::WriteSpeedCSVList : &frmPlayAVI::WriteSpeedCSVAll);
}

bool frmPlayAVI::WriteSpeedCSVList(const std::string& path) {
    std::string text;
    AddLine(text, SpeedsHeader());
    for (const std::int32_t number : lstSpeed.ItemData) AddLine(text, SpeedRow(m_SpeedInfos.Item(number)));
    return WriteCsv(path, text);
}

bool frmPlayAVI::WriteSpeedCSVAll(const std::string& path) {
    std::string text;
    AddLine(text, SpeedsHeader());
    for (std::int32_t i = 1; i <= m_SpeedInfos.count(); ++i) AddLine(text, SpeedRow(m_SpeedInfos.Item(i)));
    return WriteCsv(path, text);
}

// ---- Both: the save dialog, the writing, the result

bool frmPlayAVI::OutputCSV(bool (frmPlayAVI::*write)(const std::string&)) {
    platform::FileDialogRequest request;
    request.Title = "出力するﾌｧｲﾙ名を指定して下さい．";
    request.Filter = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";
    request.FileName = dlgFileSaveName_;
    request.OverwritePrompt = true;
    request.HideReadOnly = true;
    request.PathMustExist = true;
    request.NoReadOnlyReturn = true;
    RefuseProjectFiles(request);
    const std::optional<std::string> path = ui_.ShowSave(request);
    if (!path || path->empty()) return false;
    dlgFileSaveName_ = *path;
    ui_.Refresh(*this);
    ui_.DoEvents();
    bool ok = false;
    {
        platform::BusyPointer busy(ui_);
        try {
            ok = (this->*write)(*path);
        } catch (const std::exception&) {  // a record the list cannot give (out of range) or no memory
            ok = false;
        }
    }
    ui_.MsgBox(ok ? "テキストファイルを出力しました．" : "テキストファイル出力が失敗しました．");
    return ok;
}

// ---- Deleting speeds

void frmPlayAVI::cmdDelSpeed_Click() {
    if (lstSpeed.ListCount() == 0) {
        ui_.MsgBox("削除する速度がありません．", MsgButtons::OK, MsgIcon::Information, kOperationTitle);
    } else {
        std::vector<std::int32_t> numbers;
        for (int row = 0; row < lstSpeed.ListCount(); ++row)
            if (lstSpeed.IsSelected(row)) numbers.push_back(lstSpeed.ItemData[static_cast<std::size_t>(row)]);
        if (numbers.empty()) {
            ui_.MsgBox("一覧リストから削除したい日時を複数選択して下さい．", MsgButtons::OK, MsgIcon::Information,
                       kOperationTitle);
        } else {
            m_SpeedInfos.SelectDelete(numbers);
            ShowSpeedList();
        }
    }
    FocusSlider();
}

// ---- The distance box and the window

void frmPlayAVI::txtDistance_GotFocus() {
    // Digits typed here are the distance, not counts.
    KeyPreview = false;
    SetFocus("txtDistance", true);
}

void frmPlayAVI::txtDistance_LostFocus() { KeyPreview = true; }

void frmPlayAVI::Form_Resize() {
    if (Minimized) return;
    if (Width < kMinWidthTwips) Width = kMinWidthTwips;
    if (Height < kMinHeightTwips) Height = kMinHeightTwips;
}

void frmPlayAVI::vsElastic1_ResizeChildren() { kinemo_.ReSizeWindow(); }

}  // namespace murtesk::playback
