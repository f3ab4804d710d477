#include "mainscreen_views.h"

#include "frmAboutView.h"
#include "frmFirstSelect.h"
#include "frmMeasure.h"
#include "frmSplash.h"

namespace murtesk {

void RegisterMainScreenViews(platform::qt::QtUi& ui)
{
    RegisterAboutView(ui);
    ui.RegisterView<frmMeasure, frmMeasureView>("frmMeasure");
    ui.RegisterView<frmFirstSelect, frmFirstSelectView>("frmFirstSelect");
    ui.RegisterView<frmSplash, frmSplashView>("frmSplash");
}

}  // namespace murtesk
