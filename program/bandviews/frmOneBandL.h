// The one-band window ("マーク範囲計算値"): every statistic of the shown band slot over the mark
// range the calculation screen hands over, and one percentile of the user's choice. Its read-outs
// show each value as it is ("-60.0dB" included); "---dB" means the range counted no value.
//
// The statistics are built at the first activation only; their histogram files go when the window
// unloads, by Cancel or by its frame.
#pragma once

#include "band_statistics.h"
#include "controls.h"
#include "form.h"

#include <memory>

namespace murtesk {

class frmOneBandL : public platform::Form {
public:
    explicit frmOneBandL(platform::UiServices& ui);

    platform::ControlState vsElastic9;
    platform::Label lblLeq, lblLmax, lblL5, lblL10, lblL25, lblL50, lblL75, lblL90, lblL95, lblLE, lblLeqMinus10, lblLx;
    platform::ComboBox cmbLx;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void cmbLx_Click();
    void cmdCancel_Click();

    const BandStatistics* Statistics() const { return statistics_.get(); }

private:
    bool MakeOneBandLCalc();
    // The range calculator and the upper one; null when the range counted no value.
    const CLCalc* Range() const;
    const CLCalc* Upper() const;

    std::unique_ptr<BandStatistics> statistics_;
    bool activated_ = false;
};

}  // namespace murtesk
