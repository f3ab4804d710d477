#include "frmSelectCalcPluralView.h"

#include "dialog_keys.h"
#include "frmSelectCalcPlural.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace murtesk {

frmSelectCalcPluralView::frmSelectCalcPluralView(frmSelectCalcPlural& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    QWidget* w = Widget();
    auto& b = Bind();
    txtMEMO = new QPlainTextEdit(w);
    txtMEMO->setReadOnly(true);
    txtMEMO->setFocusPolicy(Qt::NoFocus);
    txtMEMO->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtMEMO->setFixedHeight(txtMEMO->fontMetrics().lineSpacing() * 5 + 12);
    b.Bind(txtMEMO, form.txtMEMO);

    auto* frame = new QGroupBox(w);
    auto* grid = new QGridLayout(frame);
    auto* label1 = new QLabel(frame);
    auto* label2 = new QLabel(frame);
    b.Bind(label1, form.Label1);
    b.Bind(label2, form.Label2);
    txtStartNo = new QLineEdit(frame);
    txtEndNo = new QLineEdit(frame);
    for (QLineEdit* edit : {txtStartNo, txtEndNo}) {
        edit->setAlignment(Qt::AlignRight);
        edit->setMaximumWidth(90);
        platform::qt::SelectAllOnFocus(edit);
    }
    b.Bind(txtStartNo, form.txtStartNo);
    b.Bind(txtEndNo, form.txtEndNo);
    NameControl("txtStartNo", txtStartNo);
    NameControl("txtEndNo", txtEndNo);
    cmdAdd = new QPushButton(frame);
    b.Bind(cmdAdd, form.cmdAdd, [&form] { form.cmdAdd_Click(); });
    grid->addWidget(label1, 0, 0);
    grid->addWidget(txtStartNo, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(txtEndNo, 1, 1);
    grid->addWidget(cmdAdd, 0, 2, 2, 1);

    auto* label3 = new QLabel(w);
    b.Bind(label3, form.Label3);
    lstNoCondition = new QListWidget(w);
    lstNoCondition->setMinimumHeight(140);
    b.Bind(lstNoCondition, form.lstNoCondition);
    cmdDelete = new QPushButton(w);
    b.Bind(cmdDelete, form.cmdDelete, [&form] { form.cmdDelete_Click(); });
    cmdOK = new QPushButton(w);
    cmdCancel = new QPushButton(w);
    b.Bind(cmdOK, form.cmdOK, [&form] { form.cmdOK_Click(); });
    b.Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    for (QPushButton* button : {cmdAdd, cmdDelete, cmdOK, cmdCancel}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(90);
    }
    cmdOK->setDefault(true);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(lstNoCondition, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(cmdDelete);
    listButtons->addStretch(1);
    listRow->addLayout(listButtons);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(txtMEMO);
    layout->addWidget(frame);
    layout->addWidget(label3);
    layout->addLayout(listRow);
    layout->addLayout(buttons);

    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdCancel);
    Refresh();
    w->setFixedSize(std::max(380, w->sizeHint().width()), w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
