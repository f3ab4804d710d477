// Qt view of the version window.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace murtesk {

class frmAbout;

class frmAboutView : public platform::qt::FormView {
public:
    frmAboutView(frmAbout& form, platform::qt::QtUi& ui);

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblDisclaimer;
    QPlainTextEdit* Text1;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
};

}  // namespace murtesk
