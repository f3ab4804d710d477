// Qt view of the partition dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace murtesk {

class frmSetPartitionAreaCSVOut;

class frmSetPartitionAreaCSVOutView : public platform::qt::FormView {
public:
    frmSetPartitionAreaCSVOutView(frmSetPartitionAreaCSVOut& form, platform::qt::QtUi& ui);

    QLabel* Label1 = nullptr;
    QLineEdit* txtSplitMin = nullptr;
    QCheckBox* chkAllBand = nullptr;
    QCheckBox* chkCalcAreaInfluence = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
