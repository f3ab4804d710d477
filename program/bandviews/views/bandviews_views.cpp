#include "bandviews_views.h"

#include "band_panel_view.h"
#include "frmALevel.h"
#include "frmAllBandL.h"
#include "frmOneBandL.h"
#include "frmOneBandLView.h"

namespace murtesk {

void RegisterBandViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmAllBandL, frmAllBandLView>("frmAllBandL");
    ui.RegisterView<frmOneBandL, frmOneBandLView>("frmOneBandL");
    ui.RegisterView<frmALevel, frmALevelView>("frmALevel");
}

}  // namespace murtesk
