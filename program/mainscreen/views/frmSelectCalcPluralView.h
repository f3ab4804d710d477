// Qt view of the choice of measurements for a combined calculation.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace murtesk {

class frmSelectCalcPlural;

class frmSelectCalcPluralView : public platform::qt::FormView {
public:
    frmSelectCalcPluralView(frmSelectCalcPlural& form, platform::qt::QtUi& ui);

    QPlainTextEdit* txtMEMO = nullptr;
    QLineEdit* txtStartNo = nullptr;
    QLineEdit* txtEndNo = nullptr;
    QPushButton* cmdAdd = nullptr;
    QListWidget* lstNoCondition = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
