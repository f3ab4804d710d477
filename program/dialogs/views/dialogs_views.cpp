#include "dialogs_views.h"

#include "frmLevelOverArea.h"
#include "frmLevelOverAreaView.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetPartitionAreaCSVOutView.h"

namespace murtesk {

void RegisterDialogViews(platform::qt::QtUi& ui) {
    ui.RegisterView<frmLevelOverArea, frmLevelOverAreaView>("frmLevelOverArea");
    ui.RegisterView<frmSetPartitionAreaCSVOut, frmSetPartitionAreaCSVOutView>("frmSetPartitionAreaCSVOut");
}

}  // namespace murtesk
