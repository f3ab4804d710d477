// The Qt view of the import dialog: both pages in one window, one shown at a time, drops onto
// the file list and the calibration box, Enter and Esc on the page's default and cancel buttons
// (a control that takes the key itself, an open drop-down list, keeps it).
#pragma once

#include "form_view.h"
#include "frmWavFileReadAD.h"

#include <string>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk::import {

class frmWavFileReadADView : public platform::qt::FormView {
public:
    frmWavFileReadADView(frmWavFileReadAD& form, platform::qt::QtUi& ui);

protected:
    void OnRefresh() override;

private:
    void BuildFilePage(QWidget* page);
    void BuildConditionPage(QWidget* page);
    QPushButton* Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                        std::function<void()> onClick);
    QComboBox* Combo(QWidget* parent, const std::string& name, platform::ComboBox& state, std::function<void()> onClick);
    QLineEdit* Edit(QWidget* parent, const std::string& name, platform::TextBox& state);

    frmWavFileReadAD& form_;
    platform::qt::QtUi& ui_;
    QWidget* filePage_ = nullptr;
    QWidget* conditionPage_ = nullptr;
};

}  // namespace murtesk::import
