// The WAV import dialog: a file list page (target WAV files, calibration WAV file, the split into
// mono files) and a condition page (each channel's calculation condition, start and stop of the
// run). The file check turns from the first page to the second. Everything the dialog keeps from
// one import to the next lives in the document's template measurement.
#pragma once

#include "controls.h"
#include "form.h"
#include "wav_import_document.h"
#include "status_window.h"
#include "import_library.h"
#include "wav_status.h"

#include <deque>
#include <memory>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace murtesk::import {

// Icons of the start button: 103 while it starts a run, 105 while it stops one.
inline constexpr int kStartIcon = 103;
inline constexpr int kStopIcon = 105;

// Where a run stands: no run; a group's analysis running; the split of a file's last group running; a stop
// asked for, whose worker's final status ends the run.
enum class RunPhase { Idle, Analysing, Splitting, Stopping };

class frmWavFileReadAD : public platform::Form {
public:
    frmWavFileReadAD(platform::UiServices& ui, WavImportDocument& document, WavLibrary& library);
    ~frmWavFileReadAD() override;

    // ---- File list page (vsElastic1)
    platform::Label Label1;
    platform::ListBox lstWaveFile;
    platform::CommandButton cmdWaveFiles;
    platform::CommandButton cmdDeleteFile;
    platform::CommandButton cmdUp;
    platform::CommandButton cmdDown;
    platform::Label Label2;
    platform::TextBox txtCSVPathName;  // index 0, the only member of its group
    platform::CommandButton cmdCalWaveFile;
    platform::CheckBox chkWaveOut;
    platform::CommandButton cmdNext;
    platform::CommandButton cmdCancel[2];

    // ---- Condition page (vsElastic2)
    platform::ComboBox cmbCh;
    platform::ComboBox cmbOct1or3;
    platform::ComboBox cmbStartBand;
    platform::ComboBox cmbEndBand;
    platform::ComboBox cmbW;
    platform::ComboBox cmbTimeWeighting;
    platform::ComboBox cmbLevelIntervalMS;
    platform::ComboBox cmbCALWavePattern;
    platform::TextBox txtCAL0p;
    platform::TextBox txtCalLevel;
    platform::TextBox txtZeroPlus;
    platform::CommandButton cmdComonBand;
    platform::CommandButton cmdCommonW;
    platform::CommandButton cmdCommonTW;
    platform::CommandButton cmdCommonLevelIntervalMS;
    platform::CommandButton cmdCommonCAL0p;
    platform::CommandButton cmdCommonCALWave;
    platform::CommandButton cmdCommonLevel;
    platform::CommandButton cmdCommonZeroPlus;
    platform::Label lblFs;
    platform::Label lblBit;
    platform::Label lblSate;
    platform::CommandButton cmdBack;
    platform::CommandButton cmdStart;
    int cmdStartIcon = kStartIcon;

    // The two page panels; exactly one is visible.
    platform::ControlState vsElastic1;
    platform::ControlState vsElastic2;

    // Keyboard: the buttons Enter and Esc press, by name ("cmdNext", "cmdCancel0", "cmdStart",
    // "cmdBack"). The focus goes through the form runtime's requests (SetFocus).
    std::string DefaultButton;
    std::string CancelButton;

    // ---- Handlers
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_Unload(bool& cancel) override;
    void cmdCancel_Click(int index);
    void cmdWaveFiles_Click();
    void lstWaveFile_OLEDragDrop(const platform::DropData& data);
    void cmdCalWaveFile_Click();
    void txtCSVPathName_OLEDragDrop(const platform::DropData& data);
    void cmdDeleteFile_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdNext_Click();
    void cmdBack_Click();
    // Condition page.
    void cmbCh_Click();
    void cmbOct1or3_Click();
    void cmbStartBand_Click();
    void cmdComonBand_Click();
    void cmdCommonW_Click();
    void cmdCommonTW_Click();
    void cmdCommonLevelIntervalMS_Click();
    void cmdCommonCAL0p_Click();
    void cmdCommonCALWave_Click();
    void cmdCommonLevel_Click();
    void cmdCommonZeroPlus_Click();
    // Checks the controls and stores them into channel `channel` (0-based) of the template; false,
    // after telling the user, when a field needs correcting (then nothing is stored).
    bool SaveChCondition(int channel);
    // Shows the condition of channel `channel` (0-based).
    void ShowChCondition(int channel);
    // The run: start and stop, one status of the library's worker, the end.
    void cmdStart_Click();
    void MessageGet(std::int32_t status);

    // 0-based channel on show; -1 none yet; -2 while a refused channel change is undone.
    std::int16_t m_ShownCh = -1;
    // Set when a run has ended (the program's dialog result).
    bool m_bDialogOk = false;
    // The window the library reports to while the dialog is loaded.
    MurteskWindow* StatusWindowHandle() const { return statusWindow_ ? statusWindow_->Handle() : nullptr; }

private:
    void ShowFilePage();
    void ShowConditionPage();
    void MoveSelectedBlock(bool up);
    void SelectOnlyEntry(int index);
    void ReportInput(const std::string& text);

    // Number checks of a text box: each tells the user and focuses the box with its text selected.
    bool Checked(const std::optional<std::string>& failure, const platform::TextBox& box, const std::string& name,
                 double& value);
    bool CheckNumericText(const platform::TextBox& box, const std::string& name, double& value);
    bool CheckRangeText(const platform::TextBox& box, const std::string& name, double min, double max, double& value);
    bool CheckOverText(const platform::TextBox& box, const std::string& name, double bound, double& value);
    // Writes one setting into every channel listed in the channel chooser.
    template <class Apply>
    void ForEveryChannel(Apply apply);

    // File check steps; each reports its own failure and returns false.
    bool CheckFilesPresent();
    bool ReadFormats(std::vector<WavProbe>& probes);
    bool CheckFormatsAgree(const std::vector<WavProbe>& probes);
    bool CheckCalibrationAmplitude(const WavProbe& calibration);
    void FitTemplate(const std::vector<WavProbe>& probes);
    // Tells once for each file which names the files keep in place of paths CP932 cannot hold.
    void TellPathsNotHeld();

    // Run.
    bool CheckEveryChannel();
    bool StartWaveRead();
    void HandleStatus(std::int32_t status);
    bool StartSplit(std::int32_t& status);
    std::int32_t SplitEnded(std::int32_t status);
    void EndGroup(std::int32_t status, bool goOn);
    void EndWithMessage(const char* text, platform::MsgIcon icon, const char* title);
    // The group's records under the busy pointer `busy`, which a failure ends before its message.
    bool BuildGroupRecords(platform::BusyPointer& busy);
    bool BuildUserCharacteristic(int channel, int slotCount, platform::BusyPointer& busy);
    bool GroupFailure(platform::BusyPointer& busy, const char* text);
    void Advance();
    void EndWaveRead();
    // The run's last message: "終了しました." after every file, else that the run was stopped or
    // failed and how much of the file it was on the document kept.
    std::string EndText() const;
    void ShowProgress();
    void ShowState(const std::string& text);
    // Enters a phase and shows it: the start button and the condition controls follow the phase.
    void SetPhase(RunPhase phase);
    std::string LevelFileStem() const;
    bool Fail(const std::string& text);

    std::unique_ptr<ImportMeasure> m_ReadMeasure;
    std::int16_t m_FileNo = 0;
    std::int16_t m_GroupNo = 0;
    std::int16_t m_GroupCount = 0;
    double m_RunDate = 0.0;
    double fileModified_ = 0.0;
    RunPhase phase_ = RunPhase::Idle;
    // Counts the workers started; a status is handled only for the worker current when it came.
    std::uint32_t workerSerial_ = 0;
    // While the split of a file's last group runs: how that group's analysis ended.
    std::optional<std::int32_t> splitCause_;
    // How the run ends: every file imported, stopped by the user, or cut short by a failure.
    enum class RunEnd { Complete, Stopped, Failed };
    RunEnd runEnd_ = RunEnd::Complete;
    // Of the file being imported: its length, and the seconds of its measurement once that is in
    // the document (none before); in whole seconds as the measurement's end counts them.
    std::optional<double> fileSeconds_;
    std::optional<double> keptSeconds_;
    double measureSeconds_ = 0.0;
    bool handling_ = false;
    bool hooked_ = false;
    // Statuses that came while another was being handled, each with the worker then current.
    std::deque<std::pair<std::int32_t, std::uint32_t>> pendingStatuses_;
    std::unique_ptr<StatusWindow> statusWindow_;
    std::vector<std::string> toldPaths_;

    WavImportDocument& document_;
    WavLibrary& library_;
};

// True when path names an existing regular file (a folder counts as missing).
bool IsExistingFile(const std::string& path);

}  // namespace murtesk::import
