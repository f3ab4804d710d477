#include "frmVideoConvertView.h"

#include "frmVideoConvert.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace murtesk {

frmVideoConvertView::frmVideoConvertView(frmVideoConvert& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    QWidget* w = Widget();
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(24, 20, 24, 20);
    lblProgress = new QLabel(w);
    Bind().Bind(lblProgress, form.lblProgress);
    layout->addWidget(lblProgress);
    cmdCancel = new QPushButton(w);
    cmdCancel->setMinimumSize(120, 32);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    // Esc means Cancel; Enter alone stops nothing.
    cmdCancel->setAutoDefault(false);
    static_cast<platform::qt::FormDialog*>(w)->SetCancelButton(cmdCancel);
    Refresh();
    // Wide enough for the longest progress line, so the window keeps its size while it counts.
    w->setFixedSize(lblProgress->fontMetrics().horizontalAdvance(QStringLiteral("変換中: 00000秒 / 00000秒 (100%)")) + 80,
                    w->sizeHint().height());
    platform::qt::CenterOnScreen(w);
}

}  // namespace murtesk
