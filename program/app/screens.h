// What each screen offers the others. A screen never includes another screen's headers: it reaches
// the other through these classes, held in the program-wide references of globals.h.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>

namespace murtesk {

// The main screen, as the calculation screen and the dialogs see it.
class MainScreen : public platform::Form {
public:
    using Form::Form;

    // 1-based number of the current measurement; 0 = none. The calculation screen reads and sets it
    // when it moves between measurements.
    std::int32_t m_MeasureIndex = 0;

    // Stores the memo and writes the project file; false after telling the user.
    virtual bool SaveData() = 0;
    // Refills the measurement list and the memo box from the document.
    virtual void EditForm() = 0;
    // The measurement list, whose check marks the calculation screen keeps over an EditForm.
    virtual platform::ListView& MeasureList() = 0;
};

// The calculation screen, as the main screen sees it.
class CalcScreen : public platform::Form {
public:
    using Form::Form;

    // Prepares the screen for measurement number MeasureIndex (1-based) of the document; the caller
    // then shows it.
    virtual void setForm(std::int32_t& MeasureIndex) = 0;
};

}  // namespace murtesk
