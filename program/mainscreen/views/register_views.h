// Registers the Qt view of every window of the program with the Qt user-interface services.
#pragma once

namespace murtesk::platform::qt {
class QtUi;
}

namespace murtesk {

void RegisterViews(platform::qt::QtUi& ui);

}  // namespace murtesk
