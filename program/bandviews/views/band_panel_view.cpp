#include "band_panel_view.h"

#include "band_chart_widget.h"
#include "band_label_grid_widget.h"
#include "frmALevel.h"
#include "frmAllBandL.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace murtesk {

using platform::qt::BandBarChartWidget;
using platform::qt::BandLabelGridWidget;

BandPanelView::BandPanelView(BandPanelForm& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()), form_(form) {
    QWidget* w = Widget();
    auto* row = new QHBoxLayout(w);

    // The chart with its titles, and the list in the same place in front of it.
    auto* stack = new QGridLayout();
    auto* chartBox = new QWidget(w);
    auto* chartColumn = new QVBoxLayout(chartBox);
    chartColumn->setContentsMargins(0, 0, 0, 0);
    chartColumn->addWidget(new QLabel(QStringLiteral("レベル(dB)"), chartBox));
    auto* chart = new BandBarChartWidget(chartBox);
    Bind().Bind(chart, form.chartCalcFFT);
    NameControl("chartCalcFFT", chart);
    chartColumn->addWidget(chart, 1);
    auto* xTitle = new QLabel(QStringLiteral("オクターブバンド中心周波数(Hz)"), chartBox);
    xTitle->setAlignment(Qt::AlignHCenter);
    chartColumn->addWidget(xTitle);
    stack->addWidget(chartBox, 0, 0);

    auto* list = new QWidget(w);
    list->setAutoFillBackground(true);
    auto* listLayout = new QVBoxLayout(list);
    auto* grid = new BandLabelGridWidget(form.gridCalc, list);
    Bind().Bind(grid, form.gridCalc);
    NameControl("gridCalc", grid);
    listLayout->addWidget(grid);
    listLayout->addStretch(1);
    Bind().Bind(list, form.vsElasticCalcList, [chartBox, &form] { chartBox->setVisible(!form.vsElasticCalcList.Visible); });
    NameControl("vsElasticCalcList", list);
    stack->addWidget(list, 0, 0);
    row->addLayout(stack, 1);

    buttons_ = new QVBoxLayout();
    row->addLayout(buttons_);
    // The toggle and the copy as square picture buttons.
    for (QPushButton* b : {AddButton("cmdCalcBarOrList", form.cmdCalcBarOrList, [&form] { form.cmdCalcBarOrList_Click(); }),
                           AddButton("cmdCopyCalc", form.cmdCopyCalc, [&form] { form.cmdCopyCalc_Click(); })}) {
        b->setFixedSize(38, 38);
        b->setIconSize(QSize(24, 24));
        buttons_->setAlignment(b, Qt::AlignRight);
    }
}

QPushButton* BandPanelView::AddButton(const std::string& name, platform::CommandButton& state,
                                      std::function<void()> onClick) {
    auto* button = new QPushButton(Widget());
    Bind().Bind(button, state, std::move(onClick));
    NameControl(name, button);
    buttons_->addWidget(button);
    return button;
}

void BandPanelView::Finish() {
    BandPanelForm& f = form_;
    buttons_->addStretch(1);
    QPushButton* cancel = AddButton("cmdCancel", f.cmdCancel, [&f] { f.cmdCancel_Click(); });
    if (auto* dialog = dynamic_cast<platform::qt::FormDialog*>(Widget())) {
        dialog->SetCancelButton(cancel);
    }
    Refresh();
    Widget()->resize(640, 380);
    platform::qt::CenterOnScreen(Widget());
}

frmAllBandLView::frmAllBandLView(frmAllBandL& form, platform::qt::QtUi& ui) : BandPanelView(form, ui) {
    auto* chooser = new QComboBox(Widget());
    Bind().Bind(chooser, form.cmbCalcL, [&form] { form.cmbCalcL_Click(); });
    NameControl("cmbCalcL", chooser);
    chooser->setMinimumContentsLength(10);
    Buttons()->insertWidget(0, chooser);
    AddButton("cmdA", form.cmdA, [&form] { form.cmdA_Click(); });
    Finish();
}

frmALevelView::frmALevelView(frmALevel& form, platform::qt::QtUi& ui) : BandPanelView(form, ui) { Finish(); }

}  // namespace murtesk
