#include "frmSplashView.h"

#include "frmSplash.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace murtesk {

frmSplashView::frmSplashView(frmSplash& form, platform::qt::QtUi& ui)
    : FormView(form, ui, std::make_unique<QWidget>(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint))
{
    auto* outer = new QVBoxLayout(Widget());
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(Widget());
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(2);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(36, 28, 36, 28);
    auto* name = new QLabel(frame);
    auto* version = new QLabel(frame);
    auto* status = new QLabel(frame);
    QFont big = name->font();
    big.setPointSize(big.pointSize() * 3);
    big.setBold(true);
    name->setFont(big);
    for (QLabel* l : {name, version, status}) {
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    Bind().Bind(name, form.lblProductName);
    Bind().Bind(version, form.lblVersion);
    Bind().Bind(status, form.lblStatus);
    Refresh();
    Widget()->resize(480, 220);
    platform::qt::CenterOnScreen(Widget());
}

}  // namespace murtesk
