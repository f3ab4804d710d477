// frmPlayAVI: counting vehicles by kind for a direction and lane, the jump to the last count, erasing counts,
// and measuring speeds.
#include "playback/frmPlayAVI.h"

#include "globals.h"
#include "model/input_checks.h"
#include "platform/numbers.h"

namespace murtesk::playback {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

// The line of a speed in lstSpeed: "45.3km/h 大型車".
std::string SpeedLine(const CSpeedInfo& speed) {
    return platform::FormatNumber(speed.GetSpeedKmH(), "0.0") + "km/h " + speed.GetCarKindName();
}

}  // namespace

void frmPlayAVI::FillLists() {
    cmbRoadNo.Clear();
    for (std::int32_t lane = 0; lane <= 10; ++lane)
        cmbRoadNo.AddItem(" " + platform::FormatNumber(lane, "0") + " ", lane);
    cmbRoadNo.ListIndex = 0;
    cmbRoadNo_Click();
    cmbCarType.Clear();
    // The two-class kinds carry the names the list shows, not the names their records give them.
    static constexpr std::pair<const char*, std::int32_t> kTypes[] = {
        {"大型車", 4},   {"中型車", 1},          {"小型貨物車", 5},     {"乗用車", 2},
        {"自動二輪", 6}, {"大型車類(2分類)", 7}, {"小型車類(2分類)", 8}};
    for (const auto& [name, kind] : kTypes) cmbCarType.AddItem(name, kind);
    cmbCarType.ListIndex = 0;
}

void frmPlayAVI::optCourse_Click(int) {
    SetNowCourseRoad();
    ShowSpeedList();
}

void frmPlayAVI::cmbRoadNo_Click() {
    SetNowCourseRoad();
    ShowSpeedList();
}

void frmPlayAVI::SetNowCourseRoad() {
    if (cmbRoadNo.ListIndex < 0) return;
    platform::BusyPointer busy(ui_);
    CCarCount filter = m_CarCounts.NowCarCount();
    filter.Course = optCourse[0].Value ? 0 : 1;
    filter.RoadNo = static_cast<std::int16_t>(cmbRoadNo.SelectedData());
    m_CarCounts.ReCount(filter);
    ShowCarNums();
}

void frmPlayAVI::ShowCarNums() {
    for (std::int32_t k = 1; k <= 8; ++k)
        lblCarNum[static_cast<std::size_t>(k)].Caption = platform::FormatNumber(m_CarCounts.CarNum(k), "0");
}

void frmPlayAVI::ShowSpeedList() {
    if (cmbRoadNo.ListIndex < 0) return;
    lstSpeed.Clear();
    CSpeedInfo& filter = m_SpeedInfos.NowSpeedInfo();
    filter.Course = optCourse[0].Value ? 0 : 1;
    filter.RoadNo = static_cast<std::int16_t>(cmbRoadNo.SelectedData());
    for (std::int32_t i = 1; i <= m_SpeedInfos.count(); ++i) {
        const CSpeedInfo speed = m_SpeedInfos.Item(i);
        if (speed.IsSameCondition(filter)) lstSpeed.AddItem(SpeedLine(speed), i);
    }
}

void frmPlayAVI::CountCar(std::int16_t kind) {
    if (readOnly_) return;
    CCarCount& now = m_CarCounts.NowCarCount();
    now.CarKind = kind;
    now.PosTime = kinemo_.GetAviPosition();
    m_CarCounts.PlusCarNum(m_CarCounts.Add(now.MeCopy()));
    ShowCarNums();
}

void frmPlayAVI::lblCarKind_Click(int Index) {
    if (Index >= 1 && Index <= 8 && Index != 3) CountCar(static_cast<std::int16_t>(Index));
}

void frmPlayAVI::Form_KeyPress(int& KeyAscii) {
    // "3" is the total, not a kind.
    if (KeyAscii >= '1' && KeyAscii <= '8' && KeyAscii != '3') CountCar(static_cast<std::int16_t>(KeyAscii - '0'));
}

void frmPlayAVI::cmdSearch_Click() {
    if (!Slider1.Enabled) return;
    const std::int32_t t = m_CarCounts.NowCarCount().PosTime;
    const bool proportional = Slider1.Max == kProportionalMax;
    const std::optional<int> v = SliderValueOf(t);
    if (!v || (proportional && (t < g_VideoStartMs || t > g_VideoEndMs))) {
        ui_.MsgBox("範囲外でした.", MsgButtons::OK, MsgIcon::Information);
        FocusSlider();
        return;
    }
    Slider1.Value = *v;
    kinemo_.SetAviPosition(t);
    ShowPosTime();
    FocusSlider();
}

void frmPlayAVI::cmdBackErase_Click() {
    m_CarCounts.SelectDelete(kinemo_.GetAviPosition(), optDell.Selected());
    SetNowCourseRoad();
    FocusSlider();
}

void frmPlayAVI::cmdAllErase_Click() {
    if (ui_.MsgBox("削除してよろしいですか？", MsgButtons::YesNo, MsgIcon::Question, {}, MsgAnswer::No) !=
        MsgAnswer::No)
        m_CarCounts.SelectDelete(0, optDell.Selected());
    SetNowCourseRoad();
    FocusSlider();
}

void frmPlayAVI::cmdCalcSpeed_Click() {
    if (g_SaveTime[0] < 0 || g_SaveTime[1] < 0) {
        ui_.MsgBox("保存時間が設定されていません");
        FocusSlider();
        return;
    }
    if (const std::optional<std::string> refusal = CheckRangeText(txtDistance.Text, 1, 1000)) {
        ui_.MsgBox(*refusal, MsgButtons::OK, MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("txtDistance", true);
        FocusSlider();
        return;
    }
    CSpeedInfo speed = m_SpeedInfos.NowSpeedInfo().MeCopy();
    speed.SaveTime1 = g_SaveTime[0];
    speed.SaveTime2 = g_SaveTime[1];
    speed.Distance = static_cast<float>(*ParseNumericText(txtDistance.Text));
    speed.CarKind = static_cast<std::int16_t>(cmbCarType.SelectedData());
    if (speed.GetSpeedKmH() <= 0) {
        ui_.MsgBox("保存時間の差が足りません");
    } else {
        m_SpeedInfos.Add(speed);
        lstSpeed.AddItem(SpeedLine(speed), m_SpeedInfos.count());
    }
    FocusSlider();
}

}  // namespace murtesk::playback
