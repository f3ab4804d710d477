// The Qt views of the calculation screen's windows, registered with the Qt services by form name.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk {

void RegisterCalcScreenViews(platform::qt::QtUi& ui);

}  // namespace murtesk
