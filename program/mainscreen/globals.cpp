#include "globals.h"

#include "platform/program_folder.h"

namespace murtesk {

std::unique_ptr<ProjectDocument> g_Preserve;
DocumentFactory g_NewDocument;
bool g_bDialogOk = false;
bool g_bStartSelect = true;
std::int16_t g_SelectNo = -1;
std::int32_t g_WaveOutDevice = -2;
std::string g_SelFileName;
std::vector<std::string> g_CommandLine;
frmMeasure* g_frmMeasure = nullptr;
frmOctCalc* g_frmOctCalc = nullptr;
platform::Form* g_frmWavFileReadAD = nullptr;
std::function<void(platform::UiServices&)> g_ShowWavImport;
COriginalWs g_OriginalWs;

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
