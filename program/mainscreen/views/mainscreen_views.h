// The Qt views of the main-screen windows, registered with the Qt services by form name.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk {

void RegisterMainScreenViews(platform::qt::QtUi& ui);

}  // namespace murtesk
