// Qt view of the main screen.
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

}  // namespace murtesk
