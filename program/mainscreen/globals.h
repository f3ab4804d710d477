// Program-wide variables of the main program, in one place.
#pragma once

#include "model/original_w.h"
#include "project_document.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace murtesk {

namespace platform {
class Form;
class UiServices;
}
class frmMeasure;
class frmOctCalc;

// The program's own version, shown in window captions.
inline constexpr int kAppMajor = 7;
inline constexpr int kAppMinor = 1;
inline constexpr int kAppRevision = 0;

// The open document. Made by g_NewDocument when first used (g_PreserveDoc()).
extern std::unique_ptr<ProjectDocument> g_Preserve;
extern DocumentFactory g_NewDocument;
ProjectDocument& g_PreserveDoc();
// Replaces the document by a fresh default one.
void g_ResetPreserve();

extern bool g_bDialogOk;
// True while no project is open: nothing writes the project file or "Temp.tmp" then.
extern bool g_bStartSelect;
// Choice of the first-run window: 1 new, 2 open, 0 end, -1 none.
extern std::int16_t g_SelectNo;
extern std::int32_t g_WaveOutDevice;
// The path of the project last opened or output last chosen.
extern std::string g_SelFileName;

// The program's arguments (the command line), without the program's own name.
extern std::vector<std::string> g_CommandLine;

// The two screens (not owned here) and the import dialog while it is shown.
extern frmMeasure* g_frmMeasure;
extern frmOctCalc* g_frmOctCalc;
extern platform::Form* g_frmWavFileReadAD;
// Shows the WAV import dialog modally over the open document (keeping it in g_frmWavFileReadAD
// while it is shown); the program sets it, nothing is shown while it is empty.
extern std::function<void(platform::UiServices&)> g_ShowWavImport;

// The user correction characteristics, loaded at start-up.
extern COriginalWs g_OriginalWs;

// A file in the program folder ("Temp.tmp", "CMeasure.tmp", "DefaultQVD.qvd", correction files).
std::string AppFile(const std::string& name);

}  // namespace murtesk
