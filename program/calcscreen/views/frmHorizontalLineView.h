// Qt view of the horizontal-line dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace murtesk {

class frmHorizontalLine;

class frmHorizontalLineView : public platform::qt::FormView {
public:
    frmHorizontalLineView(frmHorizontalLine& form, platform::qt::QtUi& ui);

    QLineEdit* txtMEMO = nullptr;
    QCheckBox* chkOk = nullptr;
    QLineEdit* txtLevel = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
