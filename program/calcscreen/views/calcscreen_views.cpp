#include "calcscreen_views.h"

#include "frmDateArea.h"
#include "frmDateAreaView.h"
#include "frmHorizontalLine.h"
#include "frmHorizontalLineView.h"
#include "frmInputDate.h"
#include "frmInputDateView.h"
#include "frmOctCalc.h"
#include "frmOctCalcView.h"
#include "frmCommonGraphAxis.h"
#include "frmSetCalcGraph.h"
#include "frmSetCalcGraphView.h"
#include "frmSetTestFileOut.h"
#include "frmSetTestFileOutView.h"
#include "frmVideoConvert.h"
#include "frmVideoConvertView.h"

namespace murtesk {

void RegisterCalcScreenViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmOctCalc, frmOctCalcView>("frmOctCalc");
    ui.RegisterView<frmHorizontalLine, frmHorizontalLineView>("frmHorizontalLine");
    ui.RegisterView<frmDateArea, frmDateAreaView>("frmDateArea");
    ui.RegisterView<frmInputDate, frmInputDateView>("frmInputDate");
    ui.RegisterView<frmSetCalcGraph, frmSetCalcGraphView>("frmSetCalcGraph");
    ui.RegisterView<frmCommonGraphAxis, frmCommonGraphAxisView>("frmCommonGraphAxis");
    ui.RegisterView<frmSetTestFileOut, frmSetTestFileOutView>("frmSetTestFileOut");
    ui.RegisterView<frmVideoConvert, frmVideoConvertView>("frmVideoConvert");
}

}  // namespace murtesk
