#include "frmHorizontalLineView.h"

#include "frmHorizontalLine.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace murtesk {

using platform::qt::ToQ;

frmHorizontalLineView::frmHorizontalLineView(frmHorizontalLine& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()), form_(form) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    txtMEMO = new QLineEdit(w);
    txtMEMO->setFocusPolicy(Qt::NoFocus);
    Bind().Bind(txtMEMO, form.txtMEMO);
    layout->addWidget(txtMEMO);

    chkOk = new QCheckBox(w);
    Bind().Bind(chkOk, form.chkOk, [&form] { form.chkOk_Click(); });
    layout->addWidget(chkOk);

    auto* group = new QGroupBox(ToQ(form.fraLevel.Caption), w);
    auto* groupLayout = new QHBoxLayout(group);
    txtLevel = new QLineEdit(group);
    platform::qt::SelectAllOnFocus(txtLevel);
    Bind().Bind(txtLevel, form.txtLevel);
    groupLayout->addWidget(txtLevel);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout();
    cmdOK = new QPushButton(w);
    Bind().Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    cmdCancel = new QPushButton(w);
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    // Enter presses Ok and Esc presses Cancel, unless the control with the focus takes the key.
    for (QPushButton* button : {cmdOK, cmdCancel}) {
        button->setAutoDefault(false);
    }
    cmdOK->setDefault(true);
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdCancel);

    Refresh();
    w->setFixedSize(320, w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

void frmHorizontalLineView::OnRefresh() {
    if (form_.FocusedControl == "txtLevel") {
        txtLevel->setFocus(Qt::OtherFocusReason);
        if (form_.FocusSelectsAll) {
            txtLevel->selectAll();
        }
    }
    form_.FocusedControl.clear();
    form_.FocusSelectsAll = false;
}

}  // namespace murtesk
