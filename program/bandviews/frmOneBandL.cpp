#include "frmOneBandL.h"

#include "model/mark_statistics.h"
#include "platform/numbers.h"

namespace murtesk {

namespace {

constexpr const char* kNoValue = "---dB";

std::string ReadOut(double level) { return platform::FormatNumber(level, "0.0") + "dB"; }

}  // namespace

frmOneBandL::frmOneBandL(platform::UiServices& ui) : Form(ui, "frmOneBandL") {
    Caption = "マーク範囲計算値";
    cmdCancel.Caption = "Cancel";
    for (platform::Label* label : {&lblLeq, &lblLmax, &lblL5, &lblL10, &lblL25, &lblL50, &lblL75, &lblL90, &lblL95,
                                   &lblLE, &lblLeqMinus10, &lblLx}) {
        label->Caption = kNoValue;
    }
}

void frmOneBandL::Form_Load() {
    activated_ = false;
    vsElastic9.Visible = false;
    cmbLx.Clear();
    for (std::int32_t x = 1; x <= 99; ++x) {
        cmbLx.AddItem(platform::FormatNumber(x, "0"), x);
    }
    cmbLx.AddItem("min", kCodeLmin);
}

const CLCalc* frmOneBandL::Range() const {
    const CLCalcs* list = statistics_ ? statistics_->RangeLCalcs() : nullptr;
    return list != nullptr && list->count() >= 1 && !CountedNothing(list->Item(1)) ? &list->Item(1) : nullptr;
}

const CLCalc* frmOneBandL::Upper() const {
    const CLCalcs* list = statistics_ ? statistics_->UpperLCalcs() : nullptr;
    return Range() != nullptr && list->count() >= 1 && !CountedNothing(list->Item(1)) ? &list->Item(1) : nullptr;
}

bool frmOneBandL::MakeOneBandLCalc() {
    statistics_ = std::make_unique<BandStatistics>();
    return statistics_->MakeOneBandLCalc();
}

void frmOneBandL::Form_Activate() {
    if (activated_) {
        return;
    }
    activated_ = true;
    platform::BusyPointer busy(ui_);
    const bool stored = MakeOneBandLCalc();
    if (const CLCalc* range = Range()) {
        const std::pair<platform::Label*, std::int32_t> percentiles[] = {
            {&lblL5, 5}, {&lblL10, 10}, {&lblL25, 25}, {&lblL50, 50}, {&lblL75, 75}, {&lblL90, 90}, {&lblL95, 95}};
        lblLeq.Caption = ReadOut(range->getLeq());
        lblLmax.Caption = ReadOut(range->getLmax());
        for (const auto& [label, x] : percentiles) {
            label->Caption = ReadOut(range->getLx(x));
        }
        lblLE.Caption = ReadOut(range->LE);
        const CLCalc* upper = Upper();
        lblLeqMinus10.Caption = upper != nullptr ? ReadOut(upper->getLeq()) : kNoValue;
    }
    lblLx.Caption = kNoValue;
    vsElastic9.Visible = true;
    busy.End();
    cmbLx.Select(0);
    cmbLx_Click();
    SetFocus("cmbLx");
    if (!stored) ui_.MsgBox(kStatisticsNotStored, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

void frmOneBandL::cmbLx_Click() {
    if (cmbLx.ListIndex < 0) {
        return;
    }
    const CLCalc* range = Range();
    lblLx.Caption = range != nullptr ? ReadOut(range->getLx(cmbLx.SelectedData())) : kNoValue;
}

void frmOneBandL::cmdCancel_Click() { ui_.Unload(*this); }

void frmOneBandL::Form_Unload(bool& cancel) {
    (void)cancel;
    statistics_.reset();  // deletes both histogram files
}

}  // namespace murtesk
