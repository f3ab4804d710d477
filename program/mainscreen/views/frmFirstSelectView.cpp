#include "frmFirstSelectView.h"

#include "frmFirstSelect.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace murtesk {

frmFirstSelectView::frmFirstSelectView(frmFirstSelect& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QWidget>(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint))
{
    auto* layout = new QVBoxLayout(Widget());
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    cmdNew = new QPushButton(Widget());
    cmdOpen = new QPushButton(Widget());
    cmdEnd = new QPushButton(Widget());
    for (QPushButton* b : {cmdNew, cmdOpen, cmdEnd}) {
        b->setMinimumSize(320, 40);
        layout->addWidget(b);
    }
    Bind().Bind(cmdNew, form.cmdNew, [&form] { form.cmdNew_Click(); });
    Bind().Bind(cmdOpen, form.cmdOpen, [&form] { form.cmdOpen_Click(); });
    Bind().Bind(cmdEnd, form.cmdEnd, [&form] { form.cmdEnd_Click(); });
    Refresh();
    Widget()->setFixedSize(Widget()->sizeHint());
    platform::qt::CenterOnScreen(Widget());
}

}  // namespace murtesk
