// Qt views of the graph-axis dialog and the common graph axis dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

namespace murtesk {

class frmCommonGraphAxis;
class frmSetCalcGraph;

class frmSetCalcGraphView : public platform::qt::FormView {
public:
    frmSetCalcGraphView(frmSetCalcGraph& form, platform::qt::QtUi& ui);
};

class frmCommonGraphAxisView : public platform::qt::FormView {
public:
    frmCommonGraphAxisView(frmCommonGraphAxis& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
