#include "frmLevelOverAreaView.h"

#include "dialog_keys.h"
#include "frmLevelOverArea.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace murtesk {

frmLevelOverAreaView::frmLevelOverAreaView(frmLevelOverArea& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)), form_(form) {
    QWidget* w = Widget();
    txtMEMO = new QPlainTextEdit(w);
    txtMEMO->setReadOnly(true);
    txtMEMO->setFocusPolicy(Qt::NoFocus);
    txtMEMO->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMEMO->setFixedHeight(txtMEMO->fontMetrics().lineSpacing() * 2 + 12);
    Frame1 = new QGroupBox(w);
    txtLevel = new QLineEdit(Frame1);
    txtLevel->setAlignment(Qt::AlignRight);
    platform::qt::SelectAllOnFocus(txtLevel);
    NameControl("txtLevel", txtLevel);
    auto* frameLayout = new QHBoxLayout(Frame1);
    frameLayout->addWidget(txtLevel);
    frameLayout->addWidget(new QLabel(QStringLiteral("dB"), Frame1));

    cmdOK = new QPushButton(w);
    cmdNo = new QPushButton(w);
    cmdCancel = new QPushButton(w);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdOK, cmdNo, cmdCancel}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(90);
        buttons->addWidget(b);
    }
    cmdOK->setDefault(true);

    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(txtMEMO);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);

    Bind().Bind(txtMEMO, form.txtMEMO);
    Bind().Bind(txtLevel, form.txtLevel);
    Bind().Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    Bind().Bind(cmdNo, form.cmdNo, [&form] { form.cmdNo_Click(); });
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdCancel);
    Refresh();
    w->setFixedSize(std::max(460, w->sizeHint().width()), w->sizeHint().height());  // room for the caption in the frame
    platform::qt::CenterOnScreen(w);
}

void frmLevelOverAreaView::OnRefresh() {
    if (Frame1->title() != platform::qt::ToQ(form_.Frame1.Caption)) {
        Frame1->setTitle(platform::qt::ToQ(form_.Frame1.Caption));
    }
}

}  // namespace murtesk
