#include "frmSetPartitionAreaCSVOutView.h"

#include "frmSetPartitionAreaCSVOut.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace murtesk {

frmSetPartitionAreaCSVOutView::frmSetPartitionAreaCSVOutView(frmSetPartitionAreaCSVOut& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    QWidget* w = Widget();
    Label1 = new QLabel(w);
    txtSplitMin = new QLineEdit(w);
    txtSplitMin->setAlignment(Qt::AlignRight);
    txtSplitMin->setFixedWidth(90);
    platform::qt::SelectAllOnFocus(txtSplitMin);
    NameControl("txtSplitMin", txtSplitMin);
    auto* minutes = new QHBoxLayout;
    minutes->addWidget(Label1);
    minutes->addWidget(txtSplitMin);
    minutes->addStretch(1);
    chkAllBand = new QCheckBox(w);
    chkCalcAreaInfluence = new QCheckBox(w);

    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addLayout(minutes);
    layout->addWidget(chkAllBand);
    layout->addWidget(chkCalcAreaInfluence);
    layout->addSpacing(6);
    std::tie(cmdOK, cmdCancel) = AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });

    Bind().Bind(Label1, form.Label1);
    Bind().Bind(txtSplitMin, form.txtSplitMin);
    Bind().Bind(chkAllBand, form.chkAllBand);
    Bind().Bind(chkCalcAreaInfluence, form.chkCalcAreaInfluence);
    Refresh();
    w->setFixedSize(std::max(320, w->sizeHint().width()), w->sizeHint().height());  // room for the caption
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
