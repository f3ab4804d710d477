// The main screen: lists the measurements of the open project and carries the project file
// commands (choose, create, open, save), the first-run project choice on activation, and the
// closing question that saves the project and the last conditions at the end of the run.
#pragma once

#include "controls.h"
#include "form.h"
#include "project_document.h"
#include "screens.h"
#include "stored_text.h"
#include "model/missing_data.h"
#include "platform/project_lock.h"

#include "frmAbout.h"
#include "frmFirstSelect.h"
#include "help_command.h"
#include "long_job.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace murtesk {

class CChMeasure;
class CMeasure;
class CPreserve;
class CScopes;
namespace platform {
class TextOutput;
}

class frmMeasure : public MainScreen {
public:
    explicit frmMeasure(platform::UiServices& ui);

    // ---- Events
    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_Unload(bool& cancel) override;
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileExit_Click();
    void mnuFileWaveOpen_Click();
    void cmdSavePath_Click();
    void mnuHelpFile_Click();
    void mnuHelpVer_Click();

    // ---- The measurement list
    void cmdOK_Click();
    // A key pressed while "演算" has the focus; with Alt, A, B and C start the hidden outputs.
    void cmdOK_KeyDown(char key, bool alt);
    void cmdDEL_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdAllON_Click();
    void cmdAllOFF_Click();
    // Makes the last measurement current.
    void ShowLastMeasure();
    // Tells which measurements from number firstNew on start in the same second as another (they
    // share its video and counts), naming both; nothing when none does.
    void TellSameStarts(std::int32_t firstNew);
    // Files and text dropped on the path box: the first file, or the path the text names when
    // there is any text.
    void txtSavePath_Drop(const platform::DropData& data);
    // The user changed the memo box: the document's memo is what the box shows, for every save,
    // output and job that follows.
    void txtMEMO_Change();
    // The user left the memo box: told which characters the files will not keep.
    void txtMEMO_LostFocus();

    // ---- The text outputs over all measurements (frmMeasure_csv.cpp, frmMeasure_partition.cpp):
    // jobs 5 and 8 to 12 write the file g_SelFileName through a temporary file that takes its
    // place only when the whole output was written, so a cancelled or failed output leaves the
    // old file as it was.
    void mnuFileCalcValueTextOut_Click();
    void mnuFilePartitionAreaTextOut_Click();
    void mnuFileLmaxTextOut_Click();
    // The save dialog of the text outputs; true, with the name in g_SelFileName, when one was chosen.
    bool SelectCSVOutFile();
    JobOutcome DataCSVOut();
    JobOutcome DataCSVOut2();
    JobOutcome DataCSVOut3();
    JobOutcome DataCSVOut4();
    JobOutcome LmaxCSVOut();
    JobOutcome AllDataPartitionAreaCSVOut();

    // ---- The long jobs over all measurements and the recovery (frmMeasure_jobs.cpp,
    // frmMeasure_plural.cpp, frmMeasure_restore.cpp). A job runs in the long-job window and
    // returns how it ended, which the window reports.
    void mnuToolCalcPlural_Click();
    void mnuToolAllCalc_Click();
    void mnuToolTestCommand2_Click();
    void mnuToolTestCommand1_Click();
    void mnuToolRestore_Click();
    JobOutcome AllCalcJob();
    JobOutcome AllLchOrangeDelete();
    JobOutcome CalcPlural();
    JobOutcome AllLchOrange();
    // The progress text of the running job on lblLp(0), shown at once; and its end.
    void ShowJobProgress(const std::string& text);
    void HideJobProgress();
    // A test point of the running job: lets pending window events run (the Cancel button among
    // them; at most once every m_JobSettings.pumpInterval, so that a job of many short steps is not
    // slowed by redrawing), then tells whether the user asked the job to stop.
    bool JobTestPoint();

    // How the jobs run (tests and benchmarks change it).
    struct JobSettings {
        unsigned threads = 0;                         // recalculation workers; 0: one per core
        std::int32_t levelOverChunk = 1 << 20;        // values the level-over job reads at once
        std::int32_t partitionSlice = 1 << 20;        // values job 12 reads between two test points
        std::chrono::milliseconds testInterval{200};  // longest wait for workers between test points
        std::chrono::milliseconds pumpInterval{20};   // shortest time between two event pumps
    };
    JobSettings m_JobSettings;

    // ---- Project file operations (true on success)
    //
    // The open project's file is locked (platform/project_lock.h) while it is open. A project that
    // another running program holds is opened only when the user chooses to open it without saving
    // (g_bProjectReadOnly): its saves then write nothing, told once, and the commands that would
    // write into its folder are off. Every save first checks that the project file is still the one
    // last read or written here, and asks before it writes over another program's change.
    bool SelectNewSaveFile();
    bool SelectExistingSaveFile();
    bool CreateNewProject(const std::string& path);
    // path: an old ".dat" file that was given the extension ".qvd" comes back with the new name.
    // False also when the user chose not to open a project another program holds (OpenDeclined).
    bool OpenProject(std::string& path);
    bool OpenDeclined() const { return openDeclined_; }
    // True unless the save failed (a project opened without saving, or another program's change the
    // user kept, is not written and counts as no failure).
    bool SaveData() override;
    bool SaveMemoAndData();

    // The list and the memo box from the document.
    void EditForm() override;
    void RefreshMeasureList();
    platform::ListView& MeasureList() override { return ListView1; }

    // ---- Controls
    platform::Label Label1;
    platform::ListView ListView1;
    platform::Label Label9;
    platform::TextBox txtMEMO;
    platform::Label Label8;
    platform::TextBox txtSavePath;
    platform::CommandButton cmdSavePath;
    platform::CommandButton cmdOK;
    platform::Label Label3;
    platform::CommandButton cmdStart;
    platform::CommandButton cmdDEL;
    platform::Label Label2;
    platform::CommandButton cmdUp;
    platform::CommandButton cmdDown;
    platform::Label Label4;
    platform::CommandButton cmdAllON;
    platform::CommandButton cmdAllOFF;
    platform::Label lblLp0;

    platform::MenuItem mnuFile;
    platform::MenuItem mnuFileNew;
    platform::MenuItem mnuFileOpen;
    platform::MenuItem mnuFileBar0;
    platform::MenuItem mnuFileCalcValueTextOut;
    platform::MenuItem mnuFilePartitionAreaTextOut;
    platform::MenuItem mnuFileLmaxTextOut;
    platform::MenuItem mnuFileBar2;
    platform::MenuItem mnuFileWaveOpen;
    platform::MenuItem mnuFileBar3;
    platform::MenuItem mnuFileExit;
    platform::MenuItem mnuTool;
    platform::MenuItem mnuToolCalcPlural;
    platform::MenuItem mnuToolTestCommand;
    platform::MenuItem mnuToolAllCalc;
    platform::MenuItem mnuToolTestCommand2;
    platform::MenuItem mnuToolTestCommand1;
    platform::MenuItem mnuToolRestore;
    platform::MenuItem mnuHelp;
    platform::MenuItem mnuHelpFile;
    platform::MenuItem mnuHelpVer;

    // The file name the common dialog proposes (its FileName before it is shown).
    std::string dlgFileName;

    // Starts the desktop's programs (the manual's viewer).
    std::unique_ptr<ProcessRunner> m_ProcessRunner = std::make_unique<SystemProcessRunner>();

private:
    // The project choice that activation runs while no project is open.
    void ChooseProject();
    // The project the command line names, opened at the first activation; false when none opened.
    bool OpenCommandLineProject();
    // The project file dialog (Open for an existing file, else Save); the chosen name becomes the
    // document's path. False on Cancel or an empty name.
    bool ChooseProjectFile(bool existing);
    // Creates a missing folder; false when it still does not exist, told with `message` once `busy`
    // (when given) has ended.
    bool EnsureFolder(const std::string& folder, const char* message, platform::MsgIcon icon,
                      platform::BusyPointer* busy);
    // LCalc, RecWav and the band folders of the project file path.
    bool EnsureProjectFolders(const std::string& path, platform::MsgIcon icon, platform::BusyPointer* busy = nullptr);
    void ShowProjectPath();
    // The caption and path box while no project is open.
    void ShowNoProject();
    // Tells the user when the files cannot keep the open project's path as it is.
    void TellProjectPath();
    // No project open any more: a new document with `keptConditions`, no lock, the list, caption and path
    // box saying so.
    void FailOpen(const ProjectDocument& keptConditions);
    // How a save of the project file ended: written; not written on purpose (a project opened
    // without saving, or a change by another program that the user keeps); failed, told the user.
    enum class SaveOutcome { Written, NotWritten, Failed };
    SaveOutcome SaveProjectFile();
    // Whether the project file may be written now: it is as last read or written here, or the user,
    // asked with `question` after the text that says so, chose to write over another program's
    // change, whose file then counts as the one last read.
    bool MayWriteProject(const char* question);
    // Whether `path` leads to the project whose lock this program holds.
    bool HoldsProject(const std::string& path) const;
    // The lock of project `path`, taken for an open (creating: a new project there). When another
    // program holds it the user is told so and, for an open, chooses: false when the project is
    // not to be opened, else readOnly tells whether it opens without saving.
    bool LockProject(const std::string& path, bool creating, platform::ProjectLock& lock, bool& readOnly);
    // The project just opened or created becomes the open one, with its lock (unless it is the
    // project this program `held` already) and the stamp of its file as read.
    void AdoptProject(platform::ProjectLock lock, bool held, bool readOnly, std::optional<platform::FileStamp> stamp);
    // 1-based number of the selected row; 0 after the message that asks for one.
    std::int32_t SelectedRowOrAsk();
    // Saves after a change of the list. When the list is not written it is put back as it stood in
    // `before` (when given) and shown; a failure then ends the run.
    SaveOutcome SaveListChange(const MeasureListCopy* before);
    void MoveSelected(int step);
    // Runs job `code` in a new long-job window shown modally; returns how the job ended (nothing
    // when the code has no job) once the window has closed.
    std::optional<JobOutcome> StartLongJob(std::int16_t code);
    // Tells the user once which measurements and bands of the project lack `what` (model/missing_data.h).
    void TellMissing(MissingData what);
    // Chooses the output file, then runs the text job `code`.
    std::optional<JobOutcome> StartTextJob(std::int16_t code);
    // Writes a text job's file: `write` fills it; only a Done output takes the file's place.
    JobOutcome WriteTextJob(const std::function<JobOutcome(platform::TextOutput&, CPreserve&)>& write);
    // The four lines that open measurement i of n in jobs 5 and 12.
    static void WriteMeasureHeading(platform::TextOutput& out, const CMeasure& m, std::int32_t i, std::int32_t n);
    // Jobs 8 and 10: per channel number and measurement, a row of every one-third-octave band.
    JobOutcome ChannelBandsCSVOut(bool lmaxOfChannel4);
    // Recomputes the target statistics of every band slot of a channel on worker threads, with a
    // test point before each slot; prepare runs on each slot's record first. Failed when a
    // histogram could not be saved.
    template <class Prepare>
    JobOutcome RecalcChannelBands(CChMeasure& channel, const std::string& projectPath, Prepare prepare);
    // Runs step(i, measurement, project path) on every measurement in list order, then saves the
    // project; a step that does not end Done ends the job with nothing saved.
    template <class Step>
    JobOutcome ChangeEveryMeasurement(Step step);
    // Deletes "CMeasure.tmp" once the measurement recovered from it is in a saved project.
    void ForgetRecoveryFile();
    // The commands that need an open project, and the recovery's file.
    void UpdateProjectCommands();
    void EndFileCommand(bool projectOpen);

    // Tells the user, before the memo goes into a file, what the files will not keep of it.
    void TellMemo();

    platform::MemoCheck memoCheck_;
    std::unique_ptr<frmFirstSelect> firstSelect_;
    std::unique_ptr<frmAbout> about_;
    bool restoreFileFound_ = false;
    // The measurement the recovery added, until a save holds it.
    std::weak_ptr<CMeasure> recovered_;
    // The level the level-over job sets on every measurement (240: the job empties the ranges).
    double m_JobOverLevel = 75.0;
    // The settings of the partitioned output (job 12), from its dialog.
    struct PartitionSettings {
        std::int32_t minutes = 10;
        bool allBands = true;
        bool exclusion = true;
    };
    PartitionSettings m_Partition;
    // The combined measurement while its job builds it.
    std::shared_ptr<CMeasure> m_PluralMeasure;
    std::chrono::steady_clock::time_point lastPump_;
    bool commandLineRead_ = false;
    // The open project's lock (none while it is opened without saving), its file as last read or
    // written here, and whether the user was told that its saves write nothing.
    platform::ProjectLock projectLock_;
    std::optional<platform::FileStamp> projectStamp_;
    bool toldNotSaved_ = false;
    bool openDeclined_ = false;
};

// Fills `pieces` with the consecutive pieces of `minutes` of the channel's series (its F band's
// level file beside the project file): each of round(minutes x 60 x rate) values, the last one
// holding what remains. No piece for an empty file or a rate that gives no value per piece.
void MakeWholeSpanScope(std::int32_t minutes, CScopes& pieces, const CChMeasure& channel,
                        const std::string& projectPath);

// True when path ends exactly in ".dat" or ".qvd", the names of project files.
bool HasProjectExtension(const std::string& path);

}  // namespace murtesk
