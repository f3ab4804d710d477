// Entry point of the Murtesk desktop program: the Qt application with its Japanese texts, the
// user-interface services with every screen's views, the wiring of the screens through the
// program-wide state, then the start-up; the run ends with the last window.
#include "MainSub.h"
#include "band_windows.h"
#include "bandviews_views.h"
#include "calcscreen_views.h"
#include "dialogs_views.h"
#include "frmOctCalc.h"
#include "frmPlayPartOfWave.h"
#include "globals.h"
#include "import_views.h"
#include "japanese.h"
#include "mainscreen_views.h"
#include "platform/file_size_limit.h"
#include "platform/own_folder.h"
#include "platform/program_folder.h"
#include "playback/frmPlayAVI.h"
#include "playback_views.h"
#include "preserve_document.h"
#include "qt_ui.h"
#include "show_wav_import.h"
#include "window_icon.h"

#include <QApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    murtesk::platform::FailWritesPastTheFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Murtesk"));
    QApplication::setQuitOnLastWindowClosed(false);  // the form runtime ends the run
    murtesk::platform::qt::InstallJapaneseUi(app);
    QApplication::setWindowIcon(murtesk::platform::qt::ProgramWindowIcon());

    // An installed program keeps the user's files in a folder of the user's own, made on the first start.
    if (std::string error; !murtesk::platform::CreateProgramFolder(error)) {
        std::fprintf(stderr, "murtesk: %s\n", error.c_str());
    }
    // What runs that were killed left of the statistics of projects opened without saving.
    for (const std::string& parent : murtesk::platform::OwnFoldersParents()) {
        murtesk::platform::RemoveLeftoverOwnFolders(parent);
    }
    for (int i = 1; i < argc; ++i) {
        murtesk::g_CommandLine.emplace_back(argv[i]);
    }
    murtesk::g_NewDocument = [] { return std::make_unique<murtesk::PreserveDocument>(); };
    murtesk::g_NewCalcScreen = [](murtesk::platform::UiServices& ui) { return std::make_unique<murtesk::frmOctCalc>(ui); };
    murtesk::g_ShowWavImport = murtesk::import::ShowWavImport;
    murtesk::g_ShowPlayAVI = murtesk::playback::ShowPlayAVI;
    murtesk::g_ShowPlayPartOfWave = murtesk::playback::ShowPlayPartOfWave;
    murtesk::InstallBandWindows();

    int result = 0;
    {
        murtesk::platform::qt::QtUi ui;
        murtesk::RegisterMainScreenViews(ui);
        murtesk::RegisterCalcScreenViews(ui);
        murtesk::import::RegisterImportViews(ui);
        murtesk::RegisterDialogViews(ui);
        murtesk::playback::RegisterPlaybackViews(ui);
        murtesk::RegisterBandViews(ui);
        murtesk::ProgramForms forms;
        murtesk::Main(ui, forms);
        result = QApplication::exec();
        ui.DestroyAllViews();
    }
    murtesk::g_Preserve.reset();
    return result;
}
