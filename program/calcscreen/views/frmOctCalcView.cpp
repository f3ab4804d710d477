#include "frmOctCalcView.h"

#include "frmOctCalc.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace murtesk {

frmOctCalcView::frmOctCalcView(frmOctCalc& form, platform::qt::QtUi& ui) : FormView(form, ui, std::make_unique<QWidget>())
{
    auto* layout = new QVBoxLayout(Widget());
    auto* top = new QHBoxLayout();
    auto* measure = new QLabel(Widget());
    Bind().Bind(measure, form.lblDisplayMeas);
    cmdREC = new QPushButton(Widget());
    cmdREC->setMinimumSize(90, 32);
    Bind().Bind(cmdREC, form.cmdREC, [&form] { form.cmdREC_Click(); });
    top->addWidget(measure, 1);
    top->addWidget(cmdREC);
    layout->addLayout(top);
    layout->addStretch(1);
    Refresh();
    Widget()->resize(1040, 700);
    platform::qt::CenterOnScreen(Widget());
}

}  // namespace murtesk
