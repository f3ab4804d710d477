#include "calcscreen_views.h"

#include "frmHorizontalLine.h"
#include "frmHorizontalLineView.h"
#include "frmOctCalc.h"
#include "frmOctCalcView.h"

namespace murtesk {

void RegisterCalcScreenViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmOctCalc, frmOctCalcView>("frmOctCalc");
    ui.RegisterView<frmHorizontalLine, frmHorizontalLineView>("frmHorizontalLine");
}

}  // namespace murtesk
