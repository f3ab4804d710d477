// The first-run choice window: create a new project, open an existing one, or end. Each button
// sets g_SelectNo and closes the window; closed by its frame it leaves g_SelectNo as it was.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmFirstSelect : public platform::Form {
public:
    explicit frmFirstSelect(platform::UiServices& ui);

    void Form_Load() override;
    void cmdNew_Click();
    void cmdOpen_Click();
    void cmdEnd_Click();

    platform::CommandButton cmdNew;
    platform::CommandButton cmdOpen;
    platform::CommandButton cmdEnd;

private:
    void Choose(std::int16_t choice);
};

}  // namespace murtesk
