// Qt view of the progress window of a video assignment.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QLabel;
class QPushButton;

namespace murtesk {

class frmVideoConvert;

class frmVideoConvertView : public platform::qt::FormView {
public:
    frmVideoConvertView(frmVideoConvert& form, platform::qt::QtUi& ui);

    QLabel* lblProgress = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace murtesk
