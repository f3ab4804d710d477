// Start-up of the program: the program-wide state, the last run's conditions from "Temp.tmp",
// the two long-lived screens, and the main screen shown.
#pragma once

#include "screens.h"
#include "ui_services.h"

#include <memory>

namespace murtesk {

class frmMeasure;
class frmSplash;

// The windows that live for the whole run; they must outlast their views.
struct ProgramForms {
    ProgramForms();
    ~ProgramForms();
    std::unique_ptr<frmSplash> splash;
    std::unique_ptr<frmMeasure> measure;
    std::unique_ptr<CalcScreen> octCalc;  // made by g_NewCalcScreen
};

// Runs the start-up; the program is then driven by window events. g_NewDocument, g_NewCalcScreen
// and g_CommandLine must be set before.
void Main(platform::UiServices& ui, ProgramForms& forms);

}  // namespace murtesk
