#include "frmHorizontalLineView.h"

#include "frmHorizontalLine.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <tuple>

namespace murtesk {

using platform::qt::ToQ;

frmHorizontalLineView::frmHorizontalLineView(frmHorizontalLine& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
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
    NameControl("txtLevel", txtLevel);
    Bind().Bind(txtLevel, form.txtLevel);
    groupLayout->addWidget(txtLevel);
    layout->addWidget(group);

    std::tie(cmdOK, cmdCancel) = AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });

    Refresh();
    w->setFixedSize(320, w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
