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

// Registers the version window's view with the Qt services.
void RegisterAboutView(platform::qt::QtUi& ui);

}  // namespace murtesk
