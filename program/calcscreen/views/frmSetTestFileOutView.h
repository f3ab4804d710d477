// Qt view of the level-series output settings: the interval list and the span choice, each in its
// frame, and the OK and Cancel buttons. Alt+A and Alt+B reach the form on their release.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

#include <vector>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace murtesk {

class frmSetTestFileOut;

class frmSetTestFileOutView : public platform::qt::FormView {
public:
    frmSetTestFileOutView(frmSetTestFileOut& form, platform::qt::QtUi& ui);

    QComboBox* cmbTimeInterval = nullptr;
    std::vector<QRadioButton*> optArea;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
