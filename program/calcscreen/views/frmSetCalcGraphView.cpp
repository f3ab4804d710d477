#include "frmSetCalcGraphView.h"

#include "frmCommonGraphAxis.h"
#include "frmSetCalcGraph.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace murtesk {

using platform::qt::ToQ;

frmSetCalcGraphView::frmSetCalcGraphView(frmSetCalcGraph& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    // A level range: the maximum and minimum lists under "縦軸（レベル）".
    const auto levelRange = [this](QWidget* parent, const char* maxName, platform::ComboBox& max, const char* minName,
                                   platform::ComboBox& min) {
        auto* box = new QGroupBox(QStringLiteral("縦軸（レベル）"), parent);
        auto* grid = new QGridLayout(box);
        const auto row = [&](int r, const QString& label, const char* name, platform::ComboBox& state) {
            grid->addWidget(new QLabel(label, box), r, 0);
            auto* combo = new QComboBox(box);
            NameControl(name, combo);
            Bind().Bind(combo, state);
            grid->addWidget(combo, r, 1);
        };
        row(0, QStringLiteral("最大値"), maxName, max);
        row(1, QStringLiteral("最小値"), minName, min);
        return box;
    };

    auto* levelBox = new QGroupBox(ToQ(form.fraLevel.Caption), w);
    auto* level = new QHBoxLayout(levelBox);
    level->addWidget(levelRange(levelBox, "cmbMaxY1", form.cmbMaxY1, "cmbMinY1", form.cmbMinY1));
    auto* timeColumn = new QVBoxLayout();
    auto* widthBox = new QGroupBox(QStringLiteral("時間長"), levelBox);
    auto* widthLayout = new QHBoxLayout(widthBox);
    auto* width = new QLineEdit(widthBox);
    platform::qt::SelectAllOnFocus(width);
    NameControl("txtXAxisWidth1", width);
    Bind().Bind(width, form.txtXAxisWidth1);
    widthLayout->addWidget(width);
    timeColumn->addWidget(widthBox);
    auto* unitBox = new QGroupBox(QStringLiteral("時間単位"), levelBox);
    auto* unitLayout = new QHBoxLayout(unitBox);
    std::vector<QRadioButton*> units;
    for (int i = 0; i < form.optTimeUnit1.Count(); ++i) {
        units.push_back(new QRadioButton(ToQ(form.optTimeUnit1[i].Caption), unitBox));
        NameControl("optTimeUnit1" + std::to_string(i), units.back());
        unitLayout->addWidget(units.back());
    }
    Bind().Bind(units, form.optTimeUnit1);
    timeColumn->addWidget(unitBox);
    auto* startBox = new QGroupBox(QStringLiteral("表示開始日時"), levelBox);
    auto* startLayout = new QHBoxLayout(startBox);
    auto* start = new QPushButton(startBox);
    start->setIcon(w->style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    NameControl("cmdStartTime", start);
    Bind().Bind(start, form.cmdStartTime, [&form] { form.cmdStartTime_Click(); });
    startLayout->addWidget(start);
    auto* startLabel = new QLabel(startBox);
    NameControl("lblStartTime", startLabel);
    Bind().Bind(startLabel, form.lblStartTime);
    startLayout->addWidget(startLabel, 1);
    timeColumn->addWidget(startBox);
    level->addLayout(timeColumn);
    layout->addWidget(levelBox);

    auto* hzBox = new QGroupBox(ToQ(form.fraHzGraph.Caption), w);
    auto* hz = new QHBoxLayout(hzBox);
    hz->addWidget(levelRange(hzBox, "cmbHzGraphMaxY", form.cmbHzGraphMaxY, "cmbHzGraphMinY", form.cmbHzGraphMinY));
    auto* automatic = new QCheckBox(hzBox);
    NameControl("chkHzGraphMaxYAuto", automatic);
    Bind().Bind(automatic, form.chkHzGraphMaxYAuto);
    hz->addWidget(automatic);
    layout->addWidget(hzBox);

    AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    Refresh();
    w->adjustSize();
    platform::qt::CenterOnScreen(w);
}

frmCommonGraphAxisView::frmCommonGraphAxisView(frmCommonGraphAxis& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    const auto check = [&](QWidget* parent, QBoxLayout* into, const char* name, platform::CheckBox& state) {
        auto* box = new QCheckBox(parent);
        NameControl(name, box);
        Bind().Bind(box, state);
        into->addWidget(box);
    };
    auto* levelBox = new QGroupBox(ToQ(form.fraLevel.Caption), w);
    auto* level = new QVBoxLayout(levelBox);
    check(levelBox, level, "chkLevelXAxis", form.chkLevelXAxis);
    check(levelBox, level, "chkLevelYAxis", form.chkLevelYAxis);
    layout->addWidget(levelBox);
    auto* hzBox = new QGroupBox(ToQ(form.fraHzGraph.Caption), w);
    auto* hz = new QVBoxLayout(hzBox);
    check(hzBox, hz, "chkHzGraphYAxis", form.chkHzGraphYAxis);
    layout->addWidget(hzBox);
    check(w, layout, "chkAllData", form.chkAllData);
    check(w, layout, "chkAllCh", form.chkAllCh);
    AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    Refresh();
    w->adjustSize();
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
