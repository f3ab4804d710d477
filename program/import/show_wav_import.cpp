#include "show_wav_import.h"

#include "analysis_binding.h"
#include "frmWavFileReadAD.h"
#include "globals.h"
#include "preserve_document.h"
#include "preserve_import.h"

namespace murtesk::import {

void ShowWavImport(platform::UiServices& ui) {
    auto* document = dynamic_cast<PreserveDocument*>(&g_PreserveDoc());
    if (document == nullptr) {
        return;
    }
    PreserveImportDocument imported(document->Preserve(), g_OriginalWs);
    AnalysisLibrary library;
    frmWavFileReadAD form(ui, imported, library);
    g_frmWavFileReadAD = &form;
    ui.ShowModal(form);
    if (ui.IsLoaded(form)) {
        ui.Unload(form);
    }
    g_frmWavFileReadAD = nullptr;
    g_bDialogOk = form.m_bDialogOk;
}

}  // namespace murtesk::import
