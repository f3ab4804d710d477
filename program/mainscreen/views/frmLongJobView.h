// Qt view of the long-job window.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QPushButton;

namespace murtesk {

class frmLongJob;

class frmLongJobView : public platform::qt::FormView {
public:
    frmLongJobView(frmLongJob& form, platform::qt::QtUi& ui);

    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
