#include "frmSetPartitionAreaCSVOutView.h"

#include "dialog_keys.h"
#include "frmSetPartitionAreaCSVOut.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace murtesk {

frmSetPartitionAreaCSVOutView::frmSetPartitionAreaCSVOutView(frmSetPartitionAreaCSVOut& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)),
      form_(form) {
    QWidget* w = Widget();
    Label1 = new QLabel(w);
    txtSplitMin = new QLineEdit(w);
    txtSplitMin->setAlignment(Qt::AlignRight);
    txtSplitMin->setFixedWidth(90);
    platform::qt::SelectAllOnFocus(txtSplitMin);
    auto* minutes = new QHBoxLayout;
    minutes->addWidget(Label1);
    minutes->addWidget(txtSplitMin);
    minutes->addStretch(1);
    chkAllBand = new QCheckBox(w);
    chkCalcAreaInfluence = new QCheckBox(w);

    cmdOK = new QPushButton(w);
    cmdCancel = new QPushButton(w);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdOK, cmdCancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    cmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->addLayout(minutes);
    layout->addWidget(chkAllBand);
    layout->addWidget(chkCalcAreaInfluence);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    Bind().Bind(Label1, form.Label1);
    Bind().Bind(txtSplitMin, form.txtSplitMin);
    Bind().Bind(chkAllBand, form.chkAllBand);
    Bind().Bind(chkCalcAreaInfluence, form.chkCalcAreaInfluence);
    Bind().Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdCancel);
    Refresh();
    w->setFixedSize(std::max(320, w->sizeHint().width()), w->sizeHint().height());  // room for the caption
    platform::qt::CenterOnScreen(w);
}

void frmSetPartitionAreaCSVOutView::OnRefresh() {
    platform::qt::ApplyFocusRequest(
        form_.FocusedControl, form_.FocusSelectsAll,
        [this](const std::string& name) -> QWidget* { return name == "txtSplitMin" ? txtSplitMin : nullptr; });
}

}  // namespace murtesk
