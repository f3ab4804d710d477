// Qt view of the one-band window: the read-outs of every statistic, row by row, the percentile
// chooser and Cancel.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

namespace murtesk {

class frmOneBandL;

class frmOneBandLView : public platform::qt::FormView {
public:
    frmOneBandLView(frmOneBandL& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
