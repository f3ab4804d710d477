#include "calcscreen_views.h"

#include "frmOctCalc.h"
#include "frmOctCalcView.h"

namespace murtesk {

void RegisterCalcScreenViews(platform::qt::QtUi& ui) { ui.RegisterView<frmOctCalc, frmOctCalcView>("frmOctCalc"); }

}  // namespace murtesk
