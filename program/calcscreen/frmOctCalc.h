// The calculation screen: one measurement, one channel and one band slot at a time (the level chart
// over a time window, the two band panels, the band's statistics and range lists); hidden while the
// main screen is shown, whose SaveData its return and navigation call. A thin form over parts with no
// controls: what it shows (shown_selection.h), the text outputs (text_outputs.h), the range editors
// (range_editors.h), the level chart's cursor and drag (level_chart_controller.h), the converter
// (video_converter.h); its controls are in frmOctCalc_controls.h. Its part files: set-up and navigation
// (frmOctCalc.cpp), chart (_chart), cursor and mouse (_cursor), range edits (_ranges), range commands
// and files (_rangecmds), range panels (_lists), band displays (_bands) and their commands (_panels),
// axis dialogs (_axes), output frame and mark files (_text), other text outputs (_textout), WAV and
// playback (_wave), video and start date (_video). The set-up cascade is virtual so tests log it.
#pragma once

#include "file_save_dialog.h"
#include "form.h"
#include "frmOctCalc_controls.h"
#include "level_chart_controller.h"
#include "screens.h"
#include "shown_selection.h"
#include "stored_text.h"

#include "platform/process_runner.h"

#include "model/band_slots.h"
#include "model/preserve.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk {

struct BandSet;
struct CalcWaveOutput;

class frmOctCalc : public CalcScreen, public frmOctCalcControls {
public:
    explicit frmOctCalc(platform::UiServices& ui);
    ~frmOctCalc() override;

    // The text-output settings, and the starter of the video converter.
    std::int16_t m_TextFilePeriod = 0;
    std::int16_t m_TextFileArea = 0;
    std::unique_ptr<platform::ProcessRunner> m_ProcessRunner = std::make_unique<platform::SystemProcessRunner>();

    // ---- The set-up cascade: measurement MeasureIndex (1-based), the level chart of the shown
    // channel's window with the cursor on its first point, the three range panels, the overlay.
    void setForm(std::int32_t& MeasureIndex) override;
    virtual void setGraphAxisAndScroll();
    virtual void setGraphOfForm();
    virtual void setFormOfCalcArea();
    virtual void setFormOfMarkArea();
    virtual void setFormOfLE();
    virtual void setFormOfGraphArea();

    // ---- Range editing on the band set of optAreaBand (frmOctCalc_ranges.cpp, range_editors.h):
    // positions S <= E, 1-based, stored as given; each redraws the overlay and refreshes its panel.
    void addCalcDelArea(std::int32_t S, std::int32_t E);
    void addCalcArea(std::int32_t S, std::int32_t E);
    void setLEArea(std::int32_t S, std::int32_t E);
    void deleteMarkArea(std::int32_t S, std::int32_t E);
    void addMarkArea(std::int32_t S, std::int32_t E);
    void setMarkAreaToBands(const CScopes& ranges);
    // Every band of optAreaBand's set takes a copy of the shown band's excluded ranges, its statistics
    // recomputed; false when they could not all be saved (no band changed).
    bool setDeleteAreaToBands();
    // The procedure optMouseAction chooses, tested in the order 1, 0, 2, 3 (else 4), over (S, E).
    void DoMouseAction(std::int32_t S, std::int32_t E);
    // Range files (frmOctCalc_rangecmds.cpp): read onto the shown band (false when unreadable, nothing
    // changed), or written with the measurement's start and step.
    bool ReadDeleteAreaFrom(const std::string& path);
    bool ReadMarkAreaFrom(const std::string& path);
    bool WriteRangeFile(const CScopes& list, const std::string& path, const char* failed, const char* saved);
    // The level-over scan reads the series in slices of this many values.
    void SetLevelSliceLength(std::int32_t length) { levelSliceLength_ = length; }

    // ---- Outputs over the writers of text_outputs.h (true when the file was written whole), and the
    // WAV cut of the play record's span (frmOctCalc_wave.cpp; false after telling the user).
    bool writeMarkAreaCalcAllBand(const std::string& path);
    bool writeMarkAreaCalcOneBand(const std::string& path);
    bool writeAllChMarkAreaCalc(const std::string& path);
    bool writeCalcTextFile(const std::string& path);
    void makePartitionAreas(std::int32_t minutes, CScopes& parts) const;
    bool writePartitionAreaCalc(const std::string& path, const CScopes& parts, bool calcAreaInfluence, bool allBand);
    bool writeLevelTextFile(const std::string& path);
    bool writeLETextFile(const std::string& path);
    bool writeLETextFileOfChBands(const std::string& path, bool allChannels, bool allBands);
    bool outLevelTextFile();
    bool makeMarkAreaWave(const std::string& path, bool allChannels, double rate, std::int16_t bits,
                          std::int32_t count);

    // ---- Events. The mouse on the level chart is in the widget's pixels, Button 1 left, 2 right,
    // 4 middle (on a move, the buttons held); a left drag marks a range, a reported click none.
    void Form_Load() override;
    // Shown from the main screen: tells what the measurement shown lacks (TellMissingData).
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdREC_Click();
    void cmbCh_Click();
    // The user changed the memo box: the channel's memo is what the box shows, for every output.
    void txtMEMO_Change();
    // The user left the memo box: told which characters the files will not keep.
    void txtMEMO_LostFocus();
    void cmbGraphBand_Click();
    void cmdFirst_Click();
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdEnd_Click();
    void scrGraph_Change();
    void cmdSetLevelWave_Click();
    void mnuHorizontalLine_Click();
    virtual void cmbCalcL_Click();
    virtual void cmbLx_Click();
    void cmdSearchLmax_Click();
    void cmdSearchDelCalc_Click();
    void cmdSearchMark_Click();
    void cmdSearchLE_Click();
    void cmbLeftScroll_Click();
    void cmbRightScroll_Click();
    void Chart2DLevelWave_MouseDown(int Button, int x, int y);
    void Chart2DLevelWave_MouseMove(int Button, int x, int y);
    void Chart2DLevelWave_MouseUp(int Button, int x, int y);
    void Chart2DLevelWave_Click();
    void cmdACursor_Click();
    void cmdACalc_Click();
    void cmdBarOrList_Click();
    void cmdCalcBarOrList_Click();
    void cmdCopyCursor_Click();
    void cmdCopyCalc_Click();
    void cmdAxisSame_Click();
    void cmdAddDel_Click();
    void cmdAddCalc_Click();
    void cmdDelCalc_Click();
    void cmdAllCalc_Click();
    void cmdReverse_Click();
    void cmdDelSave_Click();
    void cmdDelOpen_Click();
    void cmdLinkChDelArea_Click();
    void cmdLevelOverDelete_Click();
    void cmdChangeLEArea_Click();
    void cmdDelLE_Click();
    void cmdLinkCh_Click();
    void cmdWavePlay_Click();
    void cmdVideoPlay_Click();
    void cmdVideoExtract_Click();
    void cmdLEWaveOut_Click();
    void cmdLETextOut_Click();
    void cmdRchMemoPlay_Click();
    void cmdAddMark_Click();
    void cmdClearAllMark_Click();
    void cmdLinkChMark_Click();
    void cmdMarkSave_Click();
    void cmdMarkOpen_Click();
    void cmdOrangeMark_Click();
    void cmdShowMarkCalc_Click();
    void cmdMarkTextOut_Click();
    void cmdAllChMarkTextOut_Click();
    void cmdMarkWaveOut_Click();
    void mnuCalcTextFile_Click();
    void mnuFilePartitionAreaCSVOut_Click();
    void mnuTextFile_Click();
    void mnuLETextFile_Click();
    void mnuChangeDate_Click();
    void mnuLevelOverArea_Click();
    void mnuVideoFile_Click();
    void mnuToolVideo_Click();
    void mnuToolArea_Click();

    // The screen's one save dialog, keeping the name last chosen.
    FileSaveDialog dlgFileSave{ui_};

    // ---- What the other parts read of the screen. A band slot's value (1-based) in the cursor or
    // statistic panel: nothing where it shows "---", -60 for a level at or below -60 dB.
    std::optional<double> CursorBandValue(std::int16_t slot) const { return PanelValue(cursorValues_, slot); }
    std::optional<double> CalcBandValue(std::int16_t slot) const { return PanelValue(calcValues_, slot); }
    // What the screen shows: the measurement (null after a return and before the first set-up), the
    // channel (kept across return and navigation), the band slot.
    const ShownSelection& Shown() const { return shown_; }
    LevelChartController& ChartController() { return chart_; }
    // The project's records; null when the open document holds none.
    CPreserve* Records() const;

protected:
    virtual void setGraphOfCSFFT();
    virtual void setFormOfCSFFTLabel();
    virtual void setGraphOfCalcFFT();
    virtual void setFormOfCalcFFTLabel();
    virtual void setFormOfCursorBandLevel();
    // Shows the graph-axis dialog over g_ChMeasure; it answers through g_bDialogOk.
    virtual void ShowSetCalcGraph();
    // Puts the cursor on sample pos, the window moved to start there; moves the window by the step
    // of cmbScrollSec, the cursor kept on its sample.
    void moveCursorTo(std::int32_t pos);
    void scrollLevelGraph(bool toLeft);
    CBandLCalcInfo* ShownBandInfo() const;
    std::string BandFolder(std::int16_t slot) const;
    std::int32_t ValueCount(std::int16_t slot) const;
    BandSet EditSet() const;
    std::string VideoFileOf(Date start) const;
    bool HasOrangeRanges();
    // A step run on every other channel (given the shown channel's window) with its rate over the shown's.
    void ForEachOtherChannel(const std::function<void(CChMeasure&, double)>& step);
    std::optional<std::string> ChooseRangeFile(bool save, const char* filter);
    std::optional<CScopes> ReadRangeFile(const std::string& path);

    std::int32_t levelSliceLength_ = kLevelSliceLength;
    // The band files read while the screen is shown, kept open until it returns to the main screen.
    mutable LevelFileCache bandFiles_;

private:
    // The frame of every text output (frmOctCalc_text.cpp): the save dialog, `before`, the busy
    // pointer, `writer` (nothing: it has told the user), its message.
    bool TextOutput(const std::string& filter, const std::function<std::optional<bool>(const std::string&)>& writer,
                    std::string_view title = {}, const std::function<bool()>& before = {});
    void saveAndShowMeasure();
    // The memo into the shown channel's record before it goes into a file, after telling what the
    // files will not keep of it; KeepMemo without telling.
    void StoreMemo();
    void KeepMemo();
    void ShowNoChannel();
    void SetChannelCommandsEnabled(bool enabled);
    void SaveFailed();
    void NavigateTo(std::int32_t index);
    void DateRangeCommand(void (frmOctCalc::*procedure)(std::int32_t, std::int32_t));
    bool ReadWindow(WindowState& state) const { return murtesk::ReadWindow(shown_, state); }
    void ShowReadOut();
    // The video (frmOctCalc_video.cpp) and the recordings (frmOctCalc_wave.cpp).
    bool SelectVideoFile(std::string& FileName);
    bool SetVideoOfLE();
    // Shows the observation window over the hand-over of g_Video…, read-only when the video is shared.
    void ShowVideo(platform::Form* owner);
    // Tells that another measurement starts in the same second as the shown one, naming it, and so
    // shares the video (with its side files, for the observation); false, telling nothing, when none does.
    bool TellSharedVideo(bool observation);
    bool CanPlayVideo(const std::string& path, bool tellUser, std::int32_t* lengthMs = nullptr);
    bool RenameVideoFiles(Date from, Date to);
    std::string SplitRecording(std::int32_t channel) const;
    void PlayLE(std::int32_t channel);
    int AskOutputMode(const std::string& title);
    std::optional<std::string> ChooseWaveFile(MadeNames made);
    std::optional<CalcWaveOutput> BeginWaveOutput(const std::string& title, MadeNames made = {});
    // The band panels (frmOctCalc_bands.cpp, frmOctCalc_panels.cpp): each slot's value beside its labels.
    using PanelValues = std::array<std::optional<double>, kMaxSlots>;
    static std::optional<double> PanelValue(const PanelValues& values, std::int16_t slot) {
        return slot >= 1 && slot <= kMaxSlots ? values[static_cast<std::size_t>(slot - 1)] : std::nullopt;
    }
    void ShowBandValue(platform::BandLabelGrid& grid, PanelValues& values, std::int16_t slot,
                       std::optional<double> value);
    std::vector<std::optional<double>> StatisticValues(std::int32_t code) const;
    void ShowALevel(const PanelValues& values);
    std::optional<double> ReadBandLevel(std::int16_t slot, std::int32_t p) const;

    // Tells the user once what the measurement that setForm began to show lacks of its level files and
    // histogram files: when the screen shows, or at once when it already does.
    void TellMissingData();

    ShownSelection shown_;
    std::weak_ptr<CMeasure> toldOf_;  // the measurement whose missing files were told since the screen showed
    std::string missingToTell_;       // what the measurement shown lacks, until told
    bool memoShown_ = false;  // txtMEMO shows the shown channel's memo
    platform::MemoCheck memoCheck_;
    bool scrollGuard_ = false;
    PanelValues cursorValues_{};
    PanelValues calcValues_{};
    LevelChartController chart_{Chart2DLevelWave};
};

}  // namespace murtesk
