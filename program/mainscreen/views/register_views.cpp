#include "register_views.h"

#include "frmFirstSelect.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "frmSplash.h"
#include "frmAboutView.h"
#include "views.h"

#include <QGuiApplication>
#include <QScreen>

namespace murtesk {

using platform::Form;
using platform::qt::QtUi;

void CenterOnScreen(QWidget* widget)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
}

void RegisterViews(QtUi& ui)
{
    RegisterAboutView(ui);
    ui.RegisterView("frmMeasure", [](Form& f, QtUi& u) { return std::make_unique<frmMeasureView>(static_cast<frmMeasure&>(f), u); });
    ui.RegisterView("frmFirstSelect", [](Form& f, QtUi& u) {
        return std::make_unique<frmFirstSelectView>(static_cast<frmFirstSelect&>(f), u);
    });
    ui.RegisterView("frmSplash", [](Form& f, QtUi& u) { return std::make_unique<frmSplashView>(static_cast<frmSplash&>(f), u); });
    ui.RegisterView("frmOctCalc", [](Form& f, QtUi& u) { return std::make_unique<frmOctCalcView>(static_cast<frmOctCalc&>(f), u); });
}

}  // namespace murtesk
