#include "frmLongJobView.h"

#include "dialog_keys.h"
#include "frmLongJob.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace murtesk {

frmLongJobView::frmLongJobView(frmLongJob& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)) {
    auto* layout = new QVBoxLayout(Widget());
    layout->setContentsMargins(40, 24, 40, 24);
    cmdCancel = new QPushButton(Widget());
    cmdCancel->setMinimumSize(140, 36);
    layout->addWidget(cmdCancel);
    Bind().Bind(cmdCancel, form.cmdCancel, [&form] { form.cmdCancel_Click(); });
    // Esc means Cancel; Enter alone stops nothing.
    platform::qt::BindEnterAndEscape(
        Widget(), {}, [&form] { form.cmdCancel_Click(); }, [&ui] { ui.RefreshAll(); });
    Refresh();
    Widget()->setFixedSize(std::max(300, Widget()->sizeHint().width()), Widget()->sizeHint().height());
    platform::qt::CenterOnScreen(Widget());
}

}  // namespace murtesk
