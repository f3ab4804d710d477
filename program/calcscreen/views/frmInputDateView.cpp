#include "frmInputDateView.h"

#include "frmInputDate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace murtesk {

frmInputDateView::frmInputDateView(frmInputDate& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>()) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    auto* grid = new QGridLayout();
    const auto list = [&](int row, int column, const char* name, platform::ComboBox& state, const char* unit) {
        auto* combo = new QComboBox(w);
        Bind().Bind(combo, state);
        combo->setMaxVisibleItems(16);
        NameControl(name, combo);
        grid->addWidget(combo, row, column);
        grid->addWidget(new QLabel(QString::fromUtf8(unit), w), row, column + 1);
    };
    grid->addWidget(new QLabel(QStringLiteral("西暦"), w), 0, 0);
    list(0, 1, "cmbyyyy", form.cmbyyyy, "年");
    list(0, 3, "cmbmm", form.cmbmm, "月");
    list(0, 5, "cmbdd", form.cmbdd, "日");
    list(1, 1, "cmbhh", form.cmbhh, "時");
    list(1, 3, "cmbnn", form.cmbnn, "分");
    list(1, 5, "cmbss", form.cmbss, "秒");
    for (const char* name : {"cmbmm", "cmbdd", "cmbhh", "cmbnn", "cmbss"}) {
        platform::qt::SelectTypedNumber(qobject_cast<QComboBox*>(Control(name)));
    }
    if (auto* year = qobject_cast<QComboBox*>(Control("cmbyyyy"))) {
        year->lineEdit()->setMaxLength(8);
        platform::qt::SelectAllOnFocus(year->lineEdit());
    }
    layout->addLayout(grid);

    AddDialogButtons(
        layout, form.cmdOK, [&form] { form.cmdOK_Click(); }, form.cmdCancel, [&form] { form.cmdCancel_Click(); });

    Refresh();
    w->setFixedSize(w->sizeHint());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
