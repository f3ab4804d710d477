// The Qt views of the dialogs that several screens open, registered with the Qt services by form
// name.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk {

void RegisterDialogViews(platform::qt::QtUi& ui);

}  // namespace murtesk
