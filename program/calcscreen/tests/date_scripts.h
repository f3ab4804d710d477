// Scripts of the date input dialog for tests that open it through the fake services.
#pragma once

#include "frmDateArea.h"
#include "frmInputDate.h"

#include "fake_ui.h"
#include "platform/dates.h"

#include <string>

namespace murtesk::testing {

// The next date input dialog shows the date's parts, the year typed, and is left by OK.
inline void ChooseDateNext(platform::testing::FakeUi& ui, double date) {
    ui.OnModal("frmInputDate", [date](platform::Form& form) {
        auto& input = static_cast<frmInputDate&>(form);
        const platform::DateParts p = platform::PartsFromDate(date);
        input.cmbyyyy.Text = std::to_string(p.Year);
        input.cmbmm.Select(p.Month - 1);
        input.cmbdd.Select(p.Day - 1);
        input.cmbhh.Select(p.Hour);
        input.cmbnn.Select(p.Minute);
        input.cmbss.Select(p.Second);
        input.cmdOK_Click();
    });
}

}  // namespace murtesk::testing
