#include "frmDateArea.h"

#include "frmInputDate.h"
#include "globals.h"
#include "time_window.h"

#include "model/input_checks.h"
#include "model/scopes.h"
#include "platform/dates.h"

namespace murtesk {

namespace {

constexpr const char* kDateTip = "表示開始日時指定...";
constexpr const char* kOutOfRange = "範囲外の日時です. 以下の範囲で指定してください.";
constexpr const char* kEndNotAfterStart = "終了日時が開始日時より過去になっています。";
constexpr const char* kLimitFormat = "yyyy/mm/dd  hh:nn:ss";

// Dates compared as the program counts them: to the millisecond.
std::int64_t Ms(const Variant& date) { return platform::DateToMilliseconds(date.AsDouble()); }

}  // namespace

frmDateArea::frmDateArea(platform::UiServices& ui) : Form(ui, "frmDateArea") {
    Caption = "日時範囲指定";
    fraStartTime.Caption = "開始日時";
    fraEndTime.Caption = "終了日時";
    cmdStartTime.ToolTipText = kDateTip;
    cmdEndTime.ToolTipText = kDateTip;
    lblStartTime.Caption = "2000/12/01 17:20:00";
    lblEndTime.Caption = "2000/12/01 17:20:00";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmDateArea::Form_Load() {
    if (g_DateAreaScope) {
        lblStartTime.Caption = platform::FormatDisplayDate(g_DateAreaScope->S.AsDouble());
        lblEndTime.Caption = platform::FormatDisplayDate(g_DateAreaScope->E.AsDouble());
    }
}

void frmDateArea::cmdStartTime_Click() { EditEnd(true, lblStartTime); }

void frmDateArea::cmdEndTime_Click() { EditEnd(false, lblEndTime); }

void frmDateArea::EditEnd(bool start, platform::Label& label) {
    if (!g_DateAreaScope || !g_DateAreaLimit) {
        return;
    }
    Variant& end = start ? g_DateAreaScope->S : g_DateAreaScope->E;
    g_bDialogOk = true;
    g_InputDate = end.AsDouble();
    for (;;) {
        {
            frmInputDate input(ui_);
            ui_.ShowModal(input);
        }
        if (!g_bDialogOk) {
            return;
        }
        if (WithinWholeSeconds(g_InputDate, g_DateAreaLimit->S.AsDouble(), g_DateAreaLimit->E.AsDouble())) {
            end = Variant::FromDate(g_InputDate);
            label.Caption = platform::FormatDisplayDate(g_InputDate);
            return;
        }
        ui_.MsgBox(std::string(kOutOfRange) + "\r\n" +
                       platform::FormatDate(g_DateAreaLimit->S.AsDouble(), kLimitFormat) + "～" +
                       platform::FormatDate(g_DateAreaLimit->E.AsDouble(), kLimitFormat),
                   platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
    }
}

void frmDateArea::cmdOK_Click() {
    if (g_DateAreaScope && Ms(g_DateAreaScope->S) >= Ms(g_DateAreaScope->E)) {
        ui_.MsgBox(kEndNotAfterStart, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("cmdEndTime");
        return;
    }
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmDateArea::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmDateArea::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

}  // namespace murtesk
