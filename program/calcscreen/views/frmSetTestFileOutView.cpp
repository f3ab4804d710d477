#include "frmSetTestFileOutView.h"

#include "frmSetTestFileOut.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include <tuple>

namespace murtesk {

using platform::qt::ToQ;

frmSetTestFileOutView::frmSetTestFileOutView(frmSetTestFileOut& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(16, 14, 16, 12);

    auto* intervals = new QGroupBox(ToQ(form.fraTimeInterval.Caption), w);
    auto* intervalsLayout = new QHBoxLayout(intervals);
    cmbTimeInterval = new QComboBox(intervals);
    NameControl("cmbTimeInterval", cmbTimeInterval);
    Bind().Bind(cmbTimeInterval, form.cmbTimeInterval);
    intervalsLayout->addWidget(cmbTimeInterval);
    intervalsLayout->addStretch(1);
    layout->addWidget(intervals);

    auto* area = new QGroupBox(ToQ(form.fraArea.Caption), w);
    auto* areaLayout = new QVBoxLayout(area);
    for (int i = 0; i < form.optArea.Count(); ++i) {
        optArea.push_back(new QRadioButton(area));
        NameControl("optArea" + std::to_string(i), optArea.back());
        areaLayout->addWidget(optArea.back());
    }
    Bind().Bind(optArea, form.optArea);
    layout->addWidget(area);

    std::tie(cmdOK, cmdCancel) = AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });

    Refresh();
    w->setFixedSize(300, w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
