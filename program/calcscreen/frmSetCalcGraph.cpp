#include "frmSetCalcGraph.h"

#include "frmInputDate.h"
#include "globals.h"
#include "time_window.h"

#include "model/ch_measure.h"
#include "model/input_checks.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <array>
#include <cmath>

namespace murtesk {

namespace {

constexpr const char* kStartOutOfRange = "表示開始日時は測定時間内にしてください. ";
constexpr const char* kMaxNotAboveMin = "最大値を最小値より大きな値にしてください。";
constexpr const char* kSpanFormat = "yyyy/mm/dd  hh:nn:ss";
// The widest window, eight hours, in each unit; the seconds in one step of each unit.
constexpr std::array<double, 3> kWidestWindow = {28800.0, 480.0, 8.0};
constexpr std::array<std::int64_t, 3> kUnitSeconds = {1, 60, 3600};

void FillLevels(platform::ComboBox& list, int first, int step) {
    list.Clear();
    for (int i = 0, level = first; i < 23; ++i, level += step) {
        list.AddItem(std::to_string(level) + "dB", level);
    }
}

// Selects the entry of `level`; the first entry when none has it.
void SelectLevel(platform::ComboBox& list, double level) {
    for (int i = 0; i < list.ListCount(); ++i) {
        if (static_cast<double>(list.ItemData[static_cast<std::size_t>(i)]) == level) {
            list.Select(i);
            return;
        }
    }
    list.Select(0);
}

bool WithinMeasurement(double date) { return WithinWholeSeconds(date, g_MeasStartTime, g_MeasEndTime); }

}  // namespace

frmSetCalcGraph::frmSetCalcGraph(platform::UiServices& ui) : Form(ui, "frmSetCalcGraph") {
    Caption = "演算画面レベル表示グラフの設定";
    fraLevel.Caption = "レベル波形グラフ";
    fraHzGraph.Caption = "周波数バーグラフ";
    optTimeUnit1.Buttons.resize(3);
    optTimeUnit1[0].Caption = "秒";
    optTimeUnit1[1].Caption = "分";
    optTimeUnit1[2].Caption = "時間";
    cmdStartTime.ToolTipText = "表示開始日時指定...";
    chkHzGraphMaxYAuto.Caption = "最大値を自動";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmSetCalcGraph::Form_Load() {
    FillLevels(cmbMaxY1, 170, -10);
    FillLevels(cmbMinY1, -60, 10);
    FillLevels(cmbHzGraphMaxY, 170, -10);
    FillLevels(cmbHzGraphMinY, -60, 10);
    if (!g_ChMeasure) {
        return;
    }
    const CXYAxis& level = g_ChMeasure->CalcXYAxis;
    const std::int64_t d = platform::WholeSecondsBetween(level.XAxisMin.AsDouble(), level.XAxisMax.AsDouble());
    int unit = 0;
    if (d >= 3600 && d % 3600 == 0) {
        unit = 2;
    } else if (d >= 60 && d % 60 == 0) {
        unit = 1;
    }
    txtXAxisWidth1.Text = platform::FormatNumber(static_cast<double>(d / kUnitSeconds[unit]), "0");
    optTimeUnit1.Select(unit);
    lblStartTime.Caption = platform::FormatDisplayDate(level.XAxisMin.AsDouble());
    SelectLevel(cmbMaxY1, FixToTen(level.YAxisMax));
    SelectLevel(cmbMinY1, FixToTen(level.YAxisMin));
    const CXYAxis& hz = g_ChMeasure->HzYAxis;
    SelectLevel(cmbHzGraphMaxY, platform::RoundHalfToEven(hz.YAxisMax));
    SelectLevel(cmbHzGraphMinY, platform::RoundHalfToEven(hz.YAxisMin));
    chkHzGraphMaxYAuto.Value = hz.XAxisUnit == 1;
}

void frmSetCalcGraph::StartOutOfRange() {
    ui_.MsgBox(std::string(kStartOutOfRange) + "\r\n" + platform::FormatDate(g_MeasStartTime, kSpanFormat) + "～" +
                   platform::FormatDate(g_MeasEndTime, kSpanFormat),
               platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
}

void frmSetCalcGraph::cmdStartTime_Click() {
    if (!g_ChMeasure) {
        return;
    }
    g_bDialogOk = true;
    g_InputDate = g_ChMeasure->CalcXYAxis.XAxisMin.AsDouble();
    for (;;) {
        {
            frmInputDate input(ui_);
            ui_.ShowModal(input);
        }
        if (!g_bDialogOk) {
            return;
        }
        if (WithinMeasurement(g_InputDate)) {
            g_ChMeasure->CalcXYAxis.XAxisMin = Variant::FromDate(g_InputDate);
            lblStartTime.Caption = platform::FormatDisplayDate(g_InputDate);
            return;
        }
        StartOutOfRange();
    }
}

void frmSetCalcGraph::Refuse(std::string_view message, const std::string& focus) {
    ui_.MsgBox(message, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
    SetFocus(focus);
}

void frmSetCalcGraph::cmdOK_Click() {
    if (!g_ChMeasure) {
        return;
    }
    const int unit = std::max(0, optTimeUnit1.Selected());
    if (const auto failure = CheckIntegerText(txtXAxisWidth1.Text, 1.0, kWidestWindow[unit])) {
        ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("txtXAxisWidth1", true);
        return;
    }
    if (cmbMinY1.SelectedData() >= cmbMaxY1.SelectedData()) {
        Refuse(kMaxNotAboveMin, "cmbMaxY1");
        return;
    }
    CXYAxis& level = g_ChMeasure->CalcXYAxis;
    if (!WithinMeasurement(level.XAxisMin.AsDouble())) {
        StartOutOfRange();
        SetFocus("cmdStartTime");
        return;
    }
    if (cmbHzGraphMinY.SelectedData() >= cmbHzGraphMaxY.SelectedData()) {
        Refuse(kMaxNotAboveMin, "cmbHzGraphMaxY");
        return;
    }
    const double width = ParseNumericText(txtXAxisWidth1.Text).value_or(1.0);
    level.XAxisMax = Variant::FromDate(
        platform::AddSeconds(level.XAxisMin.AsDouble(), width * static_cast<double>(kUnitSeconds[unit])));
    level.XAxisUnit = 3;
    level.YAxisMax = cmbMaxY1.SelectedData();
    level.YAxisMin = cmbMinY1.SelectedData();
    CXYAxis& hz = g_ChMeasure->HzYAxis;
    hz.YAxisMax = cmbHzGraphMaxY.SelectedData();
    hz.YAxisMin = cmbHzGraphMinY.SelectedData();
    hz.XAxisUnit = chkHzGraphMaxYAuto.Value ? 1 : 0;
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmSetCalcGraph::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmSetCalcGraph::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

}  // namespace murtesk
