// The splash window shown while the program starts; it has no behaviour of its own.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmSplash : public platform::Form {
public:
    explicit frmSplash(platform::UiServices& ui);

    platform::Label lblProductName;
    platform::Label lblVersion;
    platform::Label lblStatus;
};

}  // namespace murtesk
