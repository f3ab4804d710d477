#include "MainSub.h"

#include "frmMeasure.h"
#include "frmSplash.h"
#include "globals.h"
#include "preserve_document.h"
#include "original_w_loader.h"
#include "sarnik_binding.h"

namespace murtesk {

ProgramForms::ProgramForms() = default;
ProgramForms::~ProgramForms() = default;

void Main(platform::UiServices& ui, ProgramForms& forms)
{
    ProgramStatsContext().g_LdtFileNo = 0;
    g_bStartSelect = true;
    g_WaveOutDevice = -2;

    forms.splash = std::make_unique<frmSplash>(ui);
    ui.Show(*forms.splash);
    ui.DoEvents();

    // A missing or unreadable file leaves the defaults. The file carries settings, never
    // measurements: any it holds (a file not written at the end of a run) are not taken, since
    // no project is open to hold them.
    ProjectDocument& doc = g_PreserveDoc();
    doc.FileRead(AppFile("Temp.tmp"));
    doc.AllDeleteMeasures();

    g_OriginalWs.AllDelete();
    LoadOriginalWeightings(ui, g_OriginalWs, SarnikRESearch());

    for (int ch = 0; ch < 2; ++ch) {
        doc.SetChannelCalibration(ch, -1.0, 0);
    }

    forms.measure = std::make_unique<frmMeasure>(ui);
    g_frmMeasure = forms.measure.get();
    ui.Load(*forms.measure);
    if (g_NewCalcScreen) {
        forms.octCalc = g_NewCalcScreen(ui);
        g_frmOctCalc = forms.octCalc.get();
        ui.Load(*forms.octCalc);
    }

    ui.Unload(*forms.splash);
    ui.Show(*forms.measure);
}

}  // namespace murtesk
