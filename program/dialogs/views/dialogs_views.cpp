#include "dialogs_views.h"

#include "frmLevelOverArea.h"
#include "frmLevelOverAreaView.h"

namespace murtesk {

void RegisterDialogViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmLevelOverArea, frmLevelOverAreaView>("frmLevelOverArea");
}

}  // namespace murtesk
