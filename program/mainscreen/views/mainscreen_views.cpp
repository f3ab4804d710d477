#include "mainscreen_views.h"

#include "frmAbout.h"
#include "frmAboutView.h"
#include "frmFirstSelect.h"
#include "frmFirstSelectView.h"
#include "frmLongJob.h"
#include "frmLongJobView.h"
#include "frmMeasure.h"
#include "frmMeasureView.h"
#include "frmSelectCalcPlural.h"
#include "frmSelectCalcPluralView.h"
#include "frmSplash.h"
#include "frmSplashView.h"

namespace murtesk {

void RegisterMainScreenViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmMeasure, frmMeasureView>("frmMeasure");
    ui.RegisterView<frmFirstSelect, frmFirstSelectView>("frmFirstSelect");
    ui.RegisterView<frmSplash, frmSplashView>("frmSplash");
    ui.RegisterView<frmAbout, frmAboutView>("frmAbout");
    ui.RegisterView<frmLongJob, frmLongJobView>("frmLongJob");
    ui.RegisterView<frmSelectCalcPlural, frmSelectCalcPluralView>("frmSelectCalcPlural");
}

}  // namespace murtesk
