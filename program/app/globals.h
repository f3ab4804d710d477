// The program-wide variables, in one place below every screen. They come in four groups: the
// program itself, the open document, the hand-overs between a screen and the dialog or window it
// opens (what it is to work on, and its answer), and the screens with the ways one screen makes or
// shows another.
#pragma once

#include "model/common_graph_axis_info.h"
#include "model/octave_band.h"
#include "model/original_w.h"
#include "model/xy_axis.h"
#include "program_version.h"  // kAppMajor, kAppMinor, kAppRevision: shown in window captions
#include "project_document.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk {

namespace platform {
class Form;
class UiServices;
}
class MainScreen;
class CalcScreen;
class CChMeasure;
class CScope;

// ---- The program

// The program's arguments (the command line), without the program's own name.
extern std::vector<std::string> g_CommandLine;
// True while no project is open: nothing writes the project file or "Temp.tmp" then.
extern bool g_bStartSelect;
extern std::int32_t g_WaveOutDevice;
// The user correction characteristics, loaded at start-up.
extern COriginalWs g_OriginalWs;

// A file in the program folder ("Temp.tmp", "CMeasure.tmp", correction files).
std::string AppFile(const std::string& name);

// ---- The open document

// Made by g_NewDocument when first used (g_PreserveDoc()).
extern std::unique_ptr<ProjectDocument> g_Preserve;
extern DocumentFactory g_NewDocument;
ProjectDocument& g_PreserveDoc();
// Replaces the document by a fresh default one.
void g_ResetPreserve();
// True while the open project is one that another running program holds and this one opened
// without saving: nothing is written into its folder then (the main screen's saves write nothing).
extern bool g_bProjectReadOnly;

// ---- Hand-overs between a screen and the dialog or window it opens

// The answer of the modal dialog last closed: true on OK.
extern bool g_bDialogOk;
// Choice of the first-run window: 1 new, 2 open, 0 end, -1 none. For the band result windows: the
// 1-based number of the mark range they show (a mark list may hold more than 32,767 marks).
extern std::int32_t g_SelectNo;
// The path of the project last opened or output last chosen.
extern std::string g_SelFileName;
// The channel a dialog works on or a window reads (the shown channel itself, a copy the caller
// takes back on OK, or a record made for the dialog alone) and the band slot in it (1-based);
// nothing while none is open. A dialog may clear g_ChMeasure as its answer.
extern std::shared_ptr<CChMeasure> g_ChMeasure;
extern std::int16_t g_BandIndex;
// The shown measurement's start and end (day counts), for the graph-axis dialog.
extern double g_MeasStartTime;
extern double g_MeasEndTime;
// The two video positions (ms) saved in the video observation window; -1 when not saved.
extern std::array<std::int32_t, 2> g_SaveTime;
// What the video observation window shows: the video file (the shown measurement's, as the
// calculation screen's LE panel last formed it; its ".car" and ".kmh" side files are named after
// it), the measurement's start (a day count; 0 when unknown), to which video positions
// are added for display, and the span to play in ms (0 and 0: the whole video), which the window
// corrects in place to the video's duration.
extern std::string g_VideoPath;
extern double g_VideoStartTime;
extern std::int32_t g_VideoStartMs;
extern std::int32_t g_VideoEndMs;
// True when the window shows the side files without changing them: another measurement of the
// same start shares the video and its side files. Each opener sets it.
extern bool g_bVideoReadOnly;
// The measurements chosen for a combined calculation, by number (1-based; element 0 unused).
extern std::vector<bool> g_bPluralSelect;
// The range the date-range dialog edits (dates in S and E) and the span both dates must lie in
// (ends included); set only while a date-range command of the calculation screen runs.
extern std::shared_ptr<CScope> g_DateAreaScope;
extern std::shared_ptr<CScope> g_DateAreaLimit;
// The date and time (a day count) the date input dialog shows, and the one chosen on its OK.
extern double g_InputDate;
// The choices of the common graph axis dialog, kept for the run (never saved).
extern CCommonGraphAxisInfo g_CommonGraphAxisInfo;
// 1 when the band result windows leave each band's excluded ranges out of the mark range, else 0.
extern std::int16_t g_CalcAreaInfluence;
// The shown channel's split recording, as the calculation screen's LE panel last formed it.
extern std::string g_PlayWavePath;

// ---- Long jobs over all measurements

// The code of the job the long-job window runs; set by the command that starts it.
extern std::int16_t g_JobNo;
// Set when the user asks the running job to stop; the job reads it at its test points.
extern bool g_bJobCancel;
// The long-job window while its job runs.
extern platform::Form* g_frmLongJob;

// ---- Range playback

// The play record: a span of a channel's split recording (g_PlayWavePath) to play or write. The times
// are milliseconds from the recording's start; the samples (1-based, inclusive) are made from them by
// the window or output that uses the record.
extern double g_PlayStartTime;  // day count of the recording's start
extern std::int32_t g_PlayStartMs;
extern std::int32_t g_PlayEndMs;
extern std::int32_t g_PlayStartSample;
extern std::int32_t g_PlayEndSample;

// ---- The screens (not owned here)

extern MainScreen* g_frmMeasure;
extern CalcScreen* g_frmOctCalc;
// The WAV import dialog while it is shown.
extern platform::Form* g_frmWavFileReadAD;

// Makes the calculation screen; start-up makes none while it is empty.
using CalcScreenFactory = std::function<std::unique_ptr<CalcScreen>(platform::UiServices&)>;
extern CalcScreenFactory g_NewCalcScreen;
// Shows the WAV import dialog modally over the open document (keeping it in g_frmWavFileReadAD
// while it is shown); nothing is shown while it is empty.
extern std::function<void(platform::UiServices&)> g_ShowWavImport;
// Shows the video observation window modally over g_VideoPath and the span, owned by the form given
// (null: no owner); nothing is shown while it is empty.
extern std::function<void(platform::UiServices&, platform::Form*)> g_ShowPlayAVI;
// Shows the partial playback window of the play record modally; nothing is shown while it is empty.
extern std::function<void(platform::UiServices&)> g_ShowPlayPartOfWave;

// What a window says of a command whose part is not built yet.
inline constexpr std::string_view kNotAvailableYet = "この機能はまだ使用できません.";

// The band result windows of a mark range, opened from the calculation screen.
enum class BandResultWindow {
    frmAllBandL,  // one statistic of every band over the mark
    frmOneBandL,  // the statistics of the one band over the mark
};
// Shows a band result window modally over the calculation screen; it reads g_ChMeasure,
// g_BandIndex, g_SelectNo and g_CalcAreaInfluence. Until those windows exist it says so
// (ShowBandResultNotAvailable).
extern std::function<void(platform::UiServices&, BandResultWindow)> g_ShowBandResult;
void ShowBandResultNotAvailable(platform::UiServices& ui, BandResultWindow window);

// What the A-level window is handed: band levels already weighted (the octave or the
// one-third-octave set, the other left empty) and its own copy of the band chart's level axis.
struct ALevelHandOver {
    std::optional<COctaveBand1> m_OctaveBand1;
    std::optional<COctaveBand3> m_OctaveBand3;
    CXYAxis m_HzYAxis;
};
// Shows the A-level window modally. Until that window exists it says so (ShowALevelNotAvailable).
extern std::function<void(platform::UiServices&, const ALevelHandOver&)> g_ShowALevel;
void ShowALevelNotAvailable(platform::UiServices& ui, const ALevelHandOver& handOver);

}  // namespace murtesk
