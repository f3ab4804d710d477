// Qt view of the calculation screen.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

#include <functional>
#include <map>
#include <string>

class QAction;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollBar;
class QVBoxLayout;

namespace murtesk::platform {
struct CommandButton;
struct ComboBox;
struct Label;
}  // namespace murtesk::platform
namespace murtesk::platform::qt {
class LevelChartWidget;
}

namespace murtesk {

class frmOctCalc;

// The calculation screen: menus, the measurement and channel bar, the level chart with its
// read-outs and scroll bar, the drag choices, the two band panels, the band's statistics and the
// three range panels on tab pages.
class frmOctCalcView : public platform::qt::FormView {
public:
    frmOctCalcView(frmOctCalc& form, platform::qt::QtUi& ui);

    QAction* Menu(const std::string& name) const { return actions_.count(name) ? actions_.at(name) : nullptr; }
    platform::qt::LevelChartWidget* Chart() const { return chart_; }

    QPushButton* cmdREC = nullptr;
    QScrollBar* Scroll() const { return scroll_; }

private:
    void BuildMenus(QVBoxLayout* root);
    void BuildHeader(QVBoxLayout* root);
    void BuildChart(QVBoxLayout* column);
    void BuildDragAction(QHBoxLayout* row);
    void BuildBandPanels(QHBoxLayout* row);
    void BuildStatistics(QHBoxLayout* row);
    void BuildRangePanels(QHBoxLayout* row);
    QPushButton* Button(QWidget* parent, const std::string& name, platform::CommandButton& state,
                        std::function<void()> onClick);
    QLabel* Label(QWidget* parent, const std::string& name, platform::Label& state);
    QComboBox* Combo(QWidget* parent, const std::string& name, platform::ComboBox& state,
                     std::function<void()> onClick);

    frmOctCalc& form_;
    std::map<std::string, QAction*> actions_;
    platform::qt::LevelChartWidget* chart_ = nullptr;
    QScrollBar* scroll_ = nullptr;
};

}  // namespace murtesk
