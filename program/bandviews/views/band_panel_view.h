// Qt views of the two band panel windows: the all-band window and the weighted band level window.
// Both show the bar chart and, in its place when chosen, the list of band names and values, with
// their command buttons in a column at the right.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QComboBox;
class QVBoxLayout;

namespace murtesk {

class BandPanelForm;
class frmAllBandL;
class frmALevel;

class BandPanelView : public platform::qt::FormView {
protected:
    BandPanelView(BandPanelForm& form, platform::qt::QtUi& ui);
    // The column of buttons at the right, filled by the window's own view before Finish.
    QVBoxLayout* Buttons() const { return buttons_; }
    QPushButton* AddButton(const std::string& name, platform::CommandButton& state, std::function<void()> onClick);
    // Adds the toggle, the copy and Cancel, then sizes and places the window.
    void Finish();

private:
    BandPanelForm& form_;
    QVBoxLayout* buttons_ = nullptr;
};

class frmAllBandLView : public BandPanelView {
public:
    frmAllBandLView(frmAllBandL& form, platform::qt::QtUi& ui);
};

class frmALevelView : public BandPanelView {
public:
    frmALevelView(frmALevel& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
