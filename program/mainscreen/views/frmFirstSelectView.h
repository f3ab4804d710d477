// Qt view of the first-run choice window.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QPushButton;

namespace murtesk {

class frmFirstSelect;

class frmFirstSelectView : public platform::qt::FormView {
public:
    frmFirstSelectView(frmFirstSelect& form, platform::qt::QtUi& ui);

    QPushButton* cmdNew = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdEnd = nullptr;
};

}  // namespace murtesk
