#include "frmLongJobView.h"

#include "frmLongJob.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace murtesk {

frmLongJobView::frmLongJobView(frmLongJob& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<platform::qt::FormDialog>(Qt::MSWindowsFixedSizeDialogHint)) {
    auto* layout = new QVBoxLayout(Widget());
    layout->setContentsMargins(40, 24, 40, 24);
    cmdCancel = new QPushButton(Widget());
    cmdCancel->setMinimumSize(140, 36);
    layout->addWidget(cmdCancel);
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    // Esc means Cancel; Enter alone stops nothing.
    cmdCancel->setAutoDefault(false);
    static_cast<platform::qt::FormDialog*>(Widget())->SetCancelButton(cmdCancel);
    Refresh();
    Widget()->setFixedSize(std::max(300, Widget()->sizeHint().width()), Widget()->sizeHint().height());
    platform::qt::CenterOnScreen(Widget());
}

}  // namespace murtesk
