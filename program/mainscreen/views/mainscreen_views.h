// The Qt views of the main-screen windows, and their registration with the Qt services.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QMenu;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace murtesk {

class frmMeasure;
class frmFirstSelect;
class frmSplash;

class frmMeasureView : public platform::qt::FormView {
public:
    frmMeasureView(frmMeasure& form, platform::qt::QtUi& ui);
    ~frmMeasureView() override;

    QTreeWidget* ListView1 = nullptr;
    QPlainTextEdit* txtMEMO = nullptr;
    QLineEdit* txtSavePath = nullptr;
    QPushButton* cmdSavePath = nullptr;
    QPushButton* cmdOK = nullptr;
    QMenu* fileMenu = nullptr;

private:
    // Key presses on "演算"; gone before the window is.
    QObject* keyHook_ = nullptr;
};

class frmFirstSelectView : public platform::qt::FormView {
public:
    frmFirstSelectView(frmFirstSelect& form, platform::qt::QtUi& ui);

    QPushButton* cmdNew = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdEnd = nullptr;
};

class frmSplashView : public platform::qt::FormView {
public:
    frmSplashView(frmSplash& form, platform::qt::QtUi& ui);
};

// Registers the view of every main-screen window, the version window's included.
void RegisterMainScreenViews(platform::qt::QtUi& ui);

}  // namespace murtesk
