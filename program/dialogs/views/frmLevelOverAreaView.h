// Qt view of the level-over dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace murtesk {

class frmLevelOverArea;

class frmLevelOverAreaView : public platform::qt::FormView {
public:
    frmLevelOverAreaView(frmLevelOverArea& form, platform::qt::QtUi& ui);

    QPlainTextEdit* txtMEMO = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* txtLevel = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdNo = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void OnRefresh() override;

private:
    frmLevelOverArea& form_;
};

}  // namespace murtesk
