#include "frmInputDate.h"

#include "globals.h"

#include "model/input_checks.h"
#include "platform/dates.h"

#include <algorithm>
#include <cmath>

namespace murtesk {

namespace {

constexpr int kEarliestListedYear = 2001;
constexpr int kYearsAhead = 10;
constexpr double kLowestYear = 1900;
constexpr double kHighestYear = 7000;
constexpr const char* kNoSuchDay = "指定日付は存在しません.";

void Fill(platform::ComboBox& list, int first, int last, int selected) {
    list.Clear();
    for (int n = first; n <= last; ++n) {
        list.AddItem(std::to_string(n), n);
    }
    list.Select(std::clamp(selected, first, last) - first);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// The days of a month of the Gregorian calendar.
int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

frmInputDate::frmInputDate(platform::UiServices& ui) : Form(ui, "frmInputDate") {
    Caption = "測定日時を指定してください";
    cmbyyyy.Editable = true;
    cmdOK.Caption = "OK";
    cmdCancel.Caption = "Cancel";
}

void frmInputDate::Form_Load() {
    const platform::DateParts shown = platform::PartsFromDate(g_InputDate);
    // The shown year is always listed, so that OK without a change keeps it.
    Fill(cmbyyyy, std::min(kEarliestListedYear, shown.Year), shown.Year + kYearsAhead, shown.Year);
    Fill(cmbmm, 1, 12, shown.Month);
    Fill(cmbdd, 1, 31, shown.Day);
    Fill(cmbhh, 0, 23, shown.Hour);
    Fill(cmbnn, 0, 59, shown.Minute);
    Fill(cmbss, 0, 59, shown.Second);
}

void frmInputDate::cmdOK_Click() {
    if (const auto failure = CheckIntegerText(cmbyyyy.Text, kLowestYear, kHighestYear)) {
        ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("cmbyyyy", true);
        return;
    }
    const int year = static_cast<int>(std::lround(*ParseNumericText(cmbyyyy.Text)));
    const int month = cmbmm.SelectedData(1);
    const int day = cmbdd.SelectedData(1);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
        ui_.MsgBox(kNoSuchDay, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("cmbdd");
        return;
    }
    g_InputDate =
        platform::DateFromParts(year, month, day, cmbhh.SelectedData(), cmbnn.SelectedData(), cmbss.SelectedData());
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmInputDate::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmInputDate::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

}  // namespace murtesk
