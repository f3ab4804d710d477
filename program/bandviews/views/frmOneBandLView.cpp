#include "frmOneBandLView.h"

#include "frmOneBandL.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace murtesk {

frmOneBandLView::frmOneBandLView(frmOneBandL& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
    QWidget* w = Widget();
    auto* root = new QVBoxLayout(w);
    auto* panel = new QWidget(w);
    Bind().Bind(panel, form.vsElastic9);
    NameControl("vsElastic9", panel);
    auto* grid = new QGridLayout(panel);
    const std::pair<const char*, platform::Label*> rows[] = {
        {"Leq", &form.lblLeq}, {"Lmax", &form.lblLmax}, {"L5", &form.lblL5},   {"L10", &form.lblL10},
        {"L25", &form.lblL25}, {"L50", &form.lblL50},   {"L75", &form.lblL75}, {"L90", &form.lblL90},
        {"L95", &form.lblL95}, {"LE", &form.lblLE},     {"Leq(Lmax-10)", &form.lblLeqMinus10}};
    const std::string names[] = {"lblLeq", "lblLmax", "lblL5", "lblL10", "lblL25", "lblL50",
                                 "lblL75", "lblL90",  "lblL95", "lblLE", "lblLeqMinus10"};
    int r = 0;
    const auto readOut = [&](const std::string& name, platform::Label& state) {
        auto* value = new QLabel(panel);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-000.0dB")));
        Bind().Bind(value, state);
        NameControl(name, value);
        grid->addWidget(value, r, 1);
    };
    for (const auto& [caption, label] : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), panel), r, 0);
        readOut(names[r], *label);
        ++r;
    }
    auto* lx = new QHBoxLayout();
    lx->addWidget(new QLabel(QStringLiteral("L"), panel));
    auto* chooser = new QComboBox(panel);
    Bind().Bind(chooser, form.cmbLx, [&form] { form.cmbLx_Click(); });
    NameControl("cmbLx", chooser);
    lx->addWidget(chooser);
    grid->addLayout(lx, r, 0);
    readOut("lblLx", form.lblLx);
    root->addWidget(panel);

    auto* cancel = new QPushButton(w);
    Bind().Bind(cancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    NameControl("cmdCancel", cancel);
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cancel);
    root->addWidget(cancel, 0, Qt::AlignRight);
    Refresh();
    w->resize(260, w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
