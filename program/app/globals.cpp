#include "globals.h"

#include "screens.h"

#include "model/ch_measure.h"
#include "model/scopes.h"
#include "platform/program_folder.h"
#include "ui_services.h"

namespace murtesk {

std::vector<std::string> g_CommandLine;
bool g_bStartSelect = true;
std::int32_t g_WaveOutDevice = -2;
COriginalWs g_OriginalWs;

std::unique_ptr<ProjectDocument> g_Preserve;
DocumentFactory g_NewDocument;
bool g_bProjectReadOnly = false;

bool g_bDialogOk = false;
std::int32_t g_SelectNo = -1;
std::string g_SelFileName;
std::shared_ptr<CChMeasure> g_ChMeasure;
double g_MeasStartTime = 0.0;
double g_MeasEndTime = 0.0;
std::array<std::int32_t, 2> g_SaveTime{-1, -1};
std::string g_VideoPath;
double g_VideoStartTime = 0.0;
std::int32_t g_VideoStartMs = 0;
std::int32_t g_VideoEndMs = 0;
bool g_bVideoReadOnly = false;
std::int16_t g_BandIndex = 0;
std::vector<bool> g_bPluralSelect;
std::shared_ptr<CScope> g_DateAreaScope;
std::shared_ptr<CScope> g_DateAreaLimit;
double g_InputDate = 0.0;
std::int16_t g_CalcAreaInfluence = 0;
std::string g_PlayWavePath;

std::int16_t g_JobNo = 0;
bool g_bJobCancel = false;
platform::Form* g_frmLongJob = nullptr;

double g_PlayStartTime = 0.0;
std::int32_t g_PlayStartMs = 0;
std::int32_t g_PlayEndMs = 0;
std::int32_t g_PlayStartSample = 0;
std::int32_t g_PlayEndSample = 0;

MainScreen* g_frmMeasure = nullptr;
CalcScreen* g_frmOctCalc = nullptr;
platform::Form* g_frmWavFileReadAD = nullptr;
CalcScreenFactory g_NewCalcScreen;
std::function<void(platform::UiServices&)> g_ShowWavImport;
std::function<void(platform::UiServices&, platform::Form*)> g_ShowPlayAVI;
std::function<void(platform::UiServices&, BandResultWindow)> g_ShowBandResult = ShowBandResultNotAvailable;
std::function<void(platform::UiServices&)> g_ShowPlayPartOfWave;

void ShowBandResultNotAvailable(platform::UiServices& ui, BandResultWindow window) {
    (void)window;
    ui.MsgBox(kNotAvailableYet);
}

CCommonGraphAxisInfo g_CommonGraphAxisInfo;
std::function<void(platform::UiServices&, const ALevelHandOver&)> g_ShowALevel = ShowALevelNotAvailable;

void ShowALevelNotAvailable(platform::UiServices& ui, const ALevelHandOver& handOver) {
    (void)handOver;
    ui.MsgBox(kNotAvailableYet);
}

ProjectDocument& g_PreserveDoc()
{
    if (!g_Preserve) {
        g_ResetPreserve();
    }
    return *g_Preserve;
}

void g_ResetPreserve()
{
    g_Preserve = g_NewDocument();
}

std::string AppFile(const std::string& name)
{
    return platform::ProgramFilePath(name);
}

}  // namespace murtesk
