// Entry point of the Murtesk desktop program: the Qt application with its Japanese texts, the
// user-interface services and views, then the start-up; the run ends with the last window.
#include "MainSub.h"
#include "globals.h"
#include "japanese.h"
#include "analysis_binding.h"
#include "frmWavFileReadAD.h"
#include "frmWavFileReadADView.h"
#include "preserve_document.h"
#include "preserve_import.h"
#include "qt_ui.h"
#include "register_views.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Murtesk"));
    QApplication::setQuitOnLastWindowClosed(false);  // the form runtime ends the run
    murtesk::platform::qt::InstallJapaneseUi(app);

    for (int i = 1; i < argc; ++i) {
        murtesk::g_CommandLine.emplace_back(argv[i]);
    }
    murtesk::g_NewDocument = [] { return std::make_unique<murtesk::PreserveDocument>(); };
    murtesk::g_ShowWavImport = [](murtesk::platform::UiServices& ui) {
        auto& document = static_cast<murtesk::PreserveDocument&>(murtesk::g_PreserveDoc());
        murtesk::import::PreserveImportDocument imported(document.Preserve(), murtesk::g_OriginalWs);
        murtesk::import::AnalysisLibrary library;
        murtesk::import::frmWavFileReadAD form(ui, imported, library);
        murtesk::g_frmWavFileReadAD = &form;
        ui.ShowModal(form);
        if (ui.IsLoaded(form)) {
            ui.Unload(form);
        }
        murtesk::g_frmWavFileReadAD = nullptr;
        murtesk::g_bDialogOk = form.m_bDialogOk;
    };

    int result = 0;
    {
        murtesk::platform::qt::QtUi ui;
        murtesk::RegisterViews(ui);
        murtesk::import::RegisterImportViews(ui);
        murtesk::ProgramForms forms;
        murtesk::Main(ui, forms);
        result = QApplication::exec();
        ui.DestroyAllViews();
    }
    murtesk::g_Preserve.reset();
    return result;
}
