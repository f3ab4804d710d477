// The calculation screen: one measurement of the project at a time, and of it one channel and one
// band slot: the level chart of the band over a time window with its scroll bar, the two band
// panels, the statistics of the band and the range lists. It lives for the whole run, hidden
// while the main screen is shown; its return command and its navigation save the project through
// the main screen.
//
// What it shows is a plain ShownSelection (shown_selection.h); the text outputs are functions of it
// and the project (text_outputs.h). The form is split by concern: set-up and navigation
// (frmOctCalc.cpp), the level chart, its time window and range overlay (frmOctCalc_chart.cpp), the
// cursor, its searches and the mouse (frmOctCalc_cursor.cpp), range editing (frmOctCalc_ranges.cpp),
// the range commands over a band or channel (frmOctCalc_rangecmds.cpp), the range lists with the
// statistic read-outs (frmOctCalc_lists.cpp), the band displays (frmOctCalc_bands.cpp) and their
// commands (frmOctCalc_panels.cpp), the axis dialogs (frmOctCalc_axes.cpp), the output frame and the
// mark-range files (frmOctCalc_text.cpp), the other text outputs (frmOctCalc_textout.cpp), the
// playback and WAV output of ranges (frmOctCalc_wave.cpp), and the measurement's video and its
// start date (frmOctCalc_video.cpp). The procedures of the set-up cascade are virtual, so tests log
// their order.
#pragma once

#include "band_chart_model.h"
#include "band_label_grid.h"
#include "chart_mouse.h"
#include "controls.h"
#include "file_save_dialog.h"
#include "form.h"
#include "level_chart_model.h"
#include "screens.h"
#include "shown_selection.h"
#include "time_window.h"

#include "platform/file_moves.h"
#include "platform/process_runner.h"

#include "model/band_slots.h"
#include "model/ch_measure.h"
#include "model/measure.h"
#include "model/preserve.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace murtesk {

class frmVideoConvert;

class frmOctCalc : public CalcScreen {
public:
    explicit frmOctCalc(platform::UiServices& ui);
    ~frmOctCalc() override;

    // ---- Public variables: the text-output settings.
    std::int16_t m_TextFilePeriod = 0;
    std::int16_t m_TextFileArea = 0;
    // Starts the video converter.
    std::unique_ptr<platform::ProcessRunner> m_ProcessRunner = std::make_unique<platform::SystemProcessRunner>();

    // ---- Public methods
    // Shows measurement MeasureIndex (1-based) of the document.
    void setForm(std::int32_t& MeasureIndex) override;
    // Draws the level chart for the shown channel's window, the cursor on its first point, and the
    // range overlay.
    virtual void setGraphOfForm();
    virtual void setFormOfCalcArea();
    virtual void setFormOfMarkArea();
    virtual void setFormOfLE();
    // Rebuilds the range overlay of the level chart from the shown band's four range lists.
    virtual void setFormOfGraphArea();
    // Writes the span of the play record's times (g_PlayStartMs..g_PlayEndMs) of the shown channel's
    // split recording, whose rate, bits and samples are given, into `path`: the shown channel alone,
    // or every listed channel side by side (channel order). The samples go into g_PlayStartSample and
    // g_PlayEndSample. True when written; false after telling the user.
    bool makeMarkAreaWave(const std::string& path, bool allChannels, double rate, std::int16_t bits,
                          std::int32_t count);

    // ---- Range editing: each works on the band set of optAreaBand with the positions S <= E
    // (1-based, stored as given even beyond the series) and ends by redrawing the overlay and
    // refreshing its panel.
    // Adds an excluded range; the statistics of the calculation target follow.
    void addCalcDelArea(std::int32_t S, std::int32_t E);
    // Adds a range to the calculation target (takes it out of the excluded ranges).
    void addCalcArea(std::int32_t S, std::int32_t E);
    // Makes (S, E) the one LE range and computes its exposure level.
    void setLEArea(std::int32_t S, std::int32_t E);
    // Erases (S, E) from the mark ranges.
    void deleteMarkArea(std::int32_t S, std::int32_t E);
    // Adds a mark range.
    void addMarkArea(std::int32_t S, std::int32_t E);
    // Adds the ranges of a list of the shown channel's positions to the mark ranges of the band set
    // of optAreaBand (merged once), then redraws the overlay and refills the mark list.
    void setMarkAreaToBands(const CScopes& ranges);
    // With "全バンド共通" gives every band a copy of the shown band's excluded ranges; recomputes the
    // statistics of the bands it reached, then redraws and refills the excluded-range list.
    void setDeleteAreaToBands();
    // Adds the ranges of a range file to the shown band's excluded ranges (merged once), or to the
    // mark ranges of the band set; false when the file could not be read (nothing changed).
    bool ReadDeleteAreaFrom(const std::string& path);
    bool ReadMarkAreaFrom(const std::string& path);
    // The range-file commands over dlgFileSave: true when a file was written, or read and laid on.
    bool saveDeleteAreaFile();
    bool saveMarkAreaFile();
    bool readDeleteAreaFile();
    bool readMarkAreaFile();
    // Writes a range list with the measurement's start and step, then says how it went.
    bool WriteRangeFile(const CScopes& list, const std::string& path, const char* failed, const char* saved);
    // A range S..E of the shown channel in a channel whose rate is `ratio` times its own, keeping its
    // time: unchanged at ratio 1, else nearest((S - 1) × ratio) + 1 .. nearest(E × ratio) (halves to
    // even, held within 32 bits); a range shorter than one step there keeps the step of its start.
    static std::pair<std::int32_t, std::int32_t> ChannelRange(std::int32_t S, std::int32_t E, double ratio);
    // The level-over scan reads the series in slices of this many values.
    void SetLevelSliceLength(std::int32_t length) { levelSliceLength_ = length; }
    // The procedure optMouseAction chooses, tested in the order 1, 0, 2, 3 (else 4), over (S, E).
    void DoMouseAction(std::int32_t S, std::int32_t E);

    // ---- Writers of the mark-range statistics files: the path is written whole or left as it was;
    // true when the file was written. The shown channel's marks on the shown band slot, with every
    // slot's table or the shown slot's alone; or carried to every channel of the measurement.
    bool writeMarkAreaCalcAllBand(const std::string& path);
    bool writeMarkAreaCalcOneBand(const std::string& path);
    bool writeAllChMarkAreaCalc(const std::string& path);
    // The mark-range outputs: the save dialog, then the writer; nothing with no mark (shown channel).
    bool outMarkAreaCalcText();
    bool outAllChMarkAreaCalcText();

    // ---- The other text outputs (frmOctCalc_textout.cpp) over the writers of text_outputs.h; each
    // writes the path whole or leaves it as it was, and gives true when the file was written.
    // The stored statistics of every channel of the shown measurement.
    bool outCalcTextFile();
    bool writeCalcTextFile(const std::string& path);
    // The pieces of `minutes` of the shown band's series of the shown channel (none without values).
    void makePartitionAreas(std::int32_t minutes, CScopes& parts) const;
    // Per piece and channel the statistics of every slot, or of the shown slot alone (W for a
    // channel that lacks it), computed afresh over the piece carried to the channel's rate.
    bool writePartitionAreaCalc(const std::string& path, const CScopes& parts, bool calcAreaInfluence, bool allBand);
    // The shown band's level series: thinned by m_TextFilePeriod over the measurement or the chart's
    // span (m_TextFileArea), or with m_TextFilePeriod -1 resampled to ten times its rate.
    bool outLevelTextFile();
    bool writeLevelTextFile(const std::string& path);
    // The levels of the shown band's LE range: the shown slot alone with its header, or as columns
    // of every slot and/or every channel.
    bool outLETextFile();
    bool writeLETextFile(const std::string& path);
    bool writeLETextFileOfChBands(const std::string& path, bool allChannels, bool allBands);

    // ---- Events
    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdREC_Click();
    void cmbCh_Click();
    void cmbGraphBand_Click();
    void cmdFirst_Click();
    void cmdBack_Click();
    void cmdNext_Click();
    void cmdEnd_Click();
    void scrGraph_Change();
    void cmdSetLevelWave_Click();
    void mnuHorizontalLine_Click();

    // The statistic chooser: the chosen statistic of every band slot into the statistic panel, and
    // the extra percentile of the shown band.
    virtual void cmbCalcL_Click();
    virtual void cmbLx_Click();

    // The cursor: searches and the scroll buttons.
    void cmdSearchLmax_Click();
    void cmdSearchDelCalc_Click();
    void cmdSearchMark_Click();
    void cmdSearchLE_Click();
    void cmbLeftScroll_Click();
    void cmbRightScroll_Click();

    // The mouse on the level chart, in the chart widget's pixels: Button 1 left, 2 right, 4 middle
    // (on a move, the buttons held). A drag with the left button marks a range handed to the
    // procedure of optMouseAction; a click (as the chart reports it) makes none.
    void Chart2DLevelWave_MouseDown(int Button, int x, int y);
    void Chart2DLevelWave_MouseMove(int Button, int x, int y);
    void Chart2DLevelWave_MouseUp(int Button, int x, int y);
    void Chart2DLevelWave_Click();

    // The commands of the panels, the range lists, the media and the menus.
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

    // ---- Controls
    // Measurement and navigation
    platform::Label lblDisplayMeas;
    platform::Label lblStartymdhms;
    platform::Label lblEndymdhms;
    platform::CommandButton cmdFirst;
    platform::CommandButton cmdBack;
    platform::CommandButton cmdNext;
    platform::CommandButton cmdEnd;
    platform::CommandButton cmdREC;
    // Channel and band
    platform::ComboBox cmbCh;
    platform::Label lblOct1or3;
    platform::Label lblTimeWeighting;
    platform::TextBox txtMEMO;
    platform::ComboBox cmbGraphBand;
    // Level chart
    platform::LevelChartModel Chart2DLevelWave;
    platform::ScrollBar scrGraph;
    platform::CommandButton cmdSetLevelWave;
    platform::Label lblCLp;
    platform::Label lblCymdhms;
    platform::CommandButton cmbLeftScroll;
    platform::CommandButton cmbRightScroll;
    platform::ComboBox cmbScrollSec;
    // Drag action
    platform::OptionGroup optMouseAction;
    platform::OptionGroup optAreaBand;
    // Cursor band panel: the chart and the labels (lblHz and lbldB elements 0..44 are the band cells)
    platform::BandBarChartModel chartCSFFT;
    platform::BandLabelGrid gridCursor;
    std::array<platform::Label, platform::BandLabelGrid::kCells>& lblHz = gridCursor.Names;
    std::array<platform::Label, platform::BandLabelGrid::kCells>& lbldB = gridCursor.Values;
    platform::Label& lblFHz = gridCursor.FName;
    platform::Label& lblFdB = gridCursor.FValue;
    platform::Label& lblAHz = gridCursor.WName;
    platform::Label& lblAdB = gridCursor.WValue;
    platform::CommandButton cmdBarOrList;
    // The list of the panel's values shown in place of its chart.
    platform::ControlState vsElasticList;
    platform::CommandButton cmdACursor;
    platform::CommandButton cmdCopyCursor;
    platform::CommandButton cmdSearchLmax;
    // Statistic band panel
    platform::BandBarChartModel chartCalcFFT;
    platform::ComboBox cmbCalcL;
    platform::BandLabelGrid gridCalc;
    std::array<platform::Label, platform::BandLabelGrid::kCells>& lblCalcHz = gridCalc.Names;
    std::array<platform::Label, platform::BandLabelGrid::kCells>& lblCalcdB = gridCalc.Values;
    platform::Label& lblCalcFHz = gridCalc.FName;
    platform::Label& lblCalcFdB = gridCalc.FValue;
    platform::Label& lblCalcAHz = gridCalc.WName;
    platform::Label& lblCalcAdB = gridCalc.WValue;
    platform::CommandButton cmdCalcBarOrList;
    platform::ControlState vsElasticCalcList;
    platform::CommandButton cmdACalc;
    platform::CommandButton cmdCopyCalc;
    // Statistics of the shown band
    platform::Label lblLeq;
    platform::Label lblLmax;
    platform::Label lblL5;
    platform::Label lblL10;
    platform::Label lblL25;
    platform::Label lblL50;
    platform::Label lblL75;
    platform::Label lblL90;
    platform::Label lblL95;
    platform::Label lblLE;
    platform::ComboBox cmbLx;
    platform::Label lblLx;
    // Excluded ranges
    platform::VirtualListBox lstCalcDelArea;
    platform::CommandButton cmdAddDel;
    platform::CommandButton cmdAddCalc;
    platform::CommandButton cmdDelCalc;
    platform::CommandButton cmdAllCalc;
    platform::CommandButton cmdReverse;
    platform::CommandButton cmdSearchDelCalc;
    platform::CommandButton cmdDelSave;
    platform::CommandButton cmdDelOpen;
    platform::CommandButton cmdLinkChDelArea;
    platform::CommandButton cmdLevelOverDelete;
    // LE range
    platform::Label lblLEStart;
    platform::Label lblLEEnd;
    platform::CommandButton cmdChangeLEArea;
    platform::CommandButton cmdDelLE;
    platform::CommandButton cmdSearchLE;
    platform::CommandButton cmdLinkCh;
    platform::CommandButton cmdWavePlay;
    platform::CommandButton cmdVideoPlay;
    platform::CommandButton cmdVideoExtract;
    platform::CommandButton cmdLEWaveOut;
    platform::CommandButton cmdLETextOut;
    platform::CommandButton cmdRchMemoPlay;
    // Mark ranges
    platform::VirtualListBox lstMarkArea;
    platform::CommandButton cmdAddMark;
    platform::CommandButton cmdClearAllMark;
    platform::CommandButton cmdSearchMark;
    platform::CommandButton cmdLinkChMark;
    platform::CommandButton cmdMarkSave;
    platform::CommandButton cmdMarkOpen;
    platform::CommandButton cmdOrangeMark;
    platform::CommandButton cmdShowMarkCalc;
    platform::CheckBox chkCalcAreaInfluence;
    platform::CheckBox chkAllBandMarkCalc;
    platform::CommandButton cmdMarkTextOut;
    platform::CommandButton cmdAllChMarkTextOut;
    platform::CommandButton cmdMarkWaveOut;
    // Axes of all channels
    platform::CommandButton cmdAxisSame;
    // Menus
    platform::MenuItem mnuFile;
    platform::MenuItem mnuCalcTextFile;
    platform::MenuItem mnuFilePartitionAreaCSVOut;
    platform::MenuItem mnuTextFile;
    platform::MenuItem mnuLETextFile;
    platform::MenuItem mnuTool;
    platform::MenuItem mnuChangeDate;
    platform::MenuItem mnuHorizontalLine;
    platform::MenuItem mnuLevelOverArea;
    platform::MenuItem mnuVideoFile;
    platform::MenuItem mnuToolVideo;
    platform::MenuItem mnuToolArea;
    // The range panels, one page each.
    platform::TabStrip tabAreas;
    // The screen's one save dialog, keeping the name last chosen.
    FileSaveDialog dlgFileSave{ui_};

    // ---- What the other parts read of the screen
    // The value of each band slot (1-based) in the cursor panel and the statistic panel: nothing
    // when the slot shows "---" for want of a value; -60 for a level at or below -60 dB.
    std::optional<double> CursorBandValue(std::int16_t slot) const { return PanelValue(cursorValues_, slot); }
    std::optional<double> CalcBandValue(std::int16_t slot) const { return PanelValue(calcValues_, slot); }
    std::int32_t ShownMeasureIndex() const { return shown_.measureIndex; }
    // The shown measurement; null after a return and before the first set-up.
    const std::shared_ptr<CMeasure>& ShownMeasure() const { return shown_.measure; }
    // The shown channel: kept across return and navigation; its owner may have dropped it.
    const std::shared_ptr<CChMeasure>& ShownChannel() const { return shown_.channel; }
    std::int16_t ShownBand() const { return shown_.band; }
    // What the screen shows, for the outputs and the range editors.
    const ShownSelection& Shown() const { return shown_; }
    // The project's records; null when the open document holds none.
    CPreserve* Records() const;

    // Sets both axes of the level chart and the scroll bar from the shown channel's window.
    virtual void setGraphAxisAndScroll();

protected:
    // The set-up cascade's procedures of the band displays.
    virtual void setGraphOfCSFFT();
    virtual void setFormOfCSFFTLabel();
    virtual void setGraphOfCalcFFT();
    virtual void setFormOfCalcFFTLabel();
    virtual void setFormOfCursorBandLevel();
    // Shows the graph-axis dialog over g_ChMeasure; it answers through g_bDialogOk.
    virtual void ShowSetCalcGraph();
    // Puts the cursor on sample position pos, the window moved to start there.
    void moveCursorTo(std::int32_t pos);
    // Moves the window by the step of cmbScrollSec, the cursor kept on its sample.
    void scrollLevelGraph(bool toLeft);

    // The shown band's statistics record; null when the band list is too short for the slot.
    CBandLCalcInfo* ShownBandInfo() const;
    // The folder of the shown band's level files, and of any slot's.
    std::string ShownBandFolder() const { return BandFolder(shown_.band); }
    std::string BandFolder(std::int16_t slot) const;
    // N of a band slot: the number of values in its level file, 0 without one.
    std::int32_t ValueCount(std::int16_t slot) const;
    // The band slots an edit works on: every slot of the channel with "全バンド共通", else the shown
    // one; slots the band list lacks are left out.
    std::vector<std::int16_t> EditBands() const;
    // The video file of a measurement that starts at `start`: "RecWav/yy-m-d-h_n_s.avi".
    std::string VideoFileOf(Date start) const;

    // ---- Level-over ranges and copies to other channels
    void ShowLevelOverArea();
    // True when the shown band has level-over ranges; else says there are none.
    bool HasOrangeRanges();
    // The slots of another channel that receive copied ranges: every slot of its band type with
    // "全バンド共通", else F and W; none for a channel that is not analysed or lacks the slots.
    std::vector<std::int16_t> ChannelCopySlots(const CChMeasure& target) const;
    // Gives every other channel of the measurement the shown channel's time window, then runs
    // `step` on it with its rate over the shown channel's.
    void ForEachOtherChannel(const std::function<void(CChMeasure&, double)>& step);
    static CScopes ChannelRanges(const CScopes& ranges, double ratio);
    // The path chosen in dlgFileSave for a range file; nothing on Cancel or an empty name.
    std::optional<std::string> ChooseRangeFile(bool save, const char* filter);
    // The file's ranges laid onto the shown band; nothing (after the message) when the file cannot
    // be read or its step or ends are no numbers.
    std::optional<CScopes> ReadRangeFile(const std::string& path);

    std::int32_t levelSliceLength_ = kLevelSliceLength;
    // The band files read while the screen is shown (the chart's band, the cursor panel's bands),
    // kept open until the screen is left for the main screen, where files may change.
    mutable LevelFileCache bandFiles_;

private:
    // The cursor's read-out of a level: "Ｌp 63.4dB", or "Ｌp ---dB" at or below -60 dB.
    static std::string LpCaption(double level);
    // The frame of every text output of the screen: the save dialog with `filter` (and `title`, else
    // the usual one), a pending-event pass, `before` (false ends silently), the busy pointer,
    // `writer` over the chosen path, its message, the default pointer. Cancel or an empty name ends
    // silently; so does a writer that answers nothing, having told the user itself. True when the
    // file was written.
    bool TextOutput(const std::string& filter, const std::function<std::optional<bool>(const std::string&)>& writer,
                    std::string_view title = {}, const std::function<bool()>& before = {});
    void saveAndShowMeasure();
    // The open dialog of a video to assign; false when cancelled.
    bool SelectVideoFile(std::string& FileName);
    // The observation window's hand-over over the shown band's first LE range; false without one.
    bool SetVideoOfLE();
    // The observation window over the hand-over, owned by `owner`; this screen active again afterwards.
    void ShowVideo(platform::Form* owner);
    // Whether the player opens the file (the library's messages shown when `tellUser`); its length
    // in milliseconds into *lengthMs when given.
    bool CanPlayVideo(const std::string& path, bool tellUser, std::int32_t* lengthMs = nullptr);
    // Whether another measurement of the project has a start of the same video name.
    bool VideoNameShared(Date start) const;
    enum class ConverterEnd { Converted, NotFound, Failed, Signalled, Unplayable, Cancelled };
    struct ConverterRun {
        ConverterEnd end = ConverterEnd::NotFound;
        int code = 0;      // the exit code (Failed) or the signal (Signalled)
        std::string file;  // the playable AVI beside `target` (Converted)
    };
    // The converter's AVI of `source` beside `target` under the progress window: the streams
    // copied, or coded anew when the copy fails or does not play. A failed or cancelled run leaves
    // no file.
    ConverterRun ConvertVideo(const std::string& source, const std::string& target, std::int32_t lengthMs);
    ConverterRun RunConverter(const std::vector<std::string>& argv, std::int32_t lengthMs, frmVideoConvert& window);
    static std::string ConverterReason(const ConverterRun& run);
    // Puts the file `ready` in the place of the video `target`, the old video's side files set
    // aside (listed in `aside`); false, with everything as it was, when a rename failed.
    bool InstallVideo(const std::string& ready, const std::string& target, std::vector<platform::FileMove>& aside);
    // Moves the video of a start and its side files to the names of another, all or none; false
    // after telling the user.
    bool RenameVideoFiles(Date from, Date to);
    // Stores the memo box into the channel whose memo it shows.
    void StoreMemo();
    // Shows the measurement with no listed channel: empty panels, channel commands off.
    void ShowNoChannel();
    void SetChannelCommandsEnabled(bool enabled);
    // A failed save ends the run: the message, then the main screen is unloaded.
    void SaveFailed();
    void NavigateTo(std::int32_t index);
    // The date-range dialog over the whole measurement; on OK `procedure` runs over the positions
    // of the chosen dates.
    void DateRangeCommand(void (frmOctCalc::*procedure)(std::int32_t, std::int32_t));
    // Empties one range list of every band of the band set, then redraws and refreshes its panel.
    void ClearRanges(CScopes CBandLCalcInfo::*list, void (frmOctCalc::*refresh)());
    // The line of row i (0-based) of one of the shown band's range lists, made when it is shown.
    platform::VirtualListBox::RowText RangeLines(CScopes CBandLCalcInfo::*list) const;
    // The split recording of a channel (1-based) of the shown measurement; empty without one. The
    // second form takes the project's recording folder and a channel that exists.
    std::string SplitRecording(std::int32_t channel) const;
    std::string SplitRecording(const std::string& recWav, std::int32_t channel) const;
    // A range's ends of the shown channel in milliseconds from the start; false when they are no 32-bit
    // milliseconds.
    bool RangeMs(const CScope& range, std::int32_t& startMs, std::int32_t& endMs) const;
    // The play record's times of a range of the shown channel; false when they are no 32-bit milliseconds.
    bool SetPlayTimes(const CScope& range) const;
    // Plays the shown band's LE range of a channel's split recording in the partial playback window.
    void PlayLE(std::int32_t channel);
    // The output-mode question (only with two or more channels): 1 every channel, 0 the shown one,
    // -1 cancelled.
    int AskOutputMode(const std::string& title);
    // The save dialog of the WAV outputs; nothing when cancelled or empty.
    std::optional<std::string> ChooseWaveFile();
    // What the WAV outputs share once their ranges are known: the output-mode question (under `title`), the
    // file, the play record's recording (the shown channel's) and its format, and the busy pointer for the
    // rest of the command. Nothing when the user cancelled or the recording cannot be read (its reader has
    // said why).
    struct WaveOutput {
        std::string path;
        bool merged = false;
        double rate = 0.0;
        std::int16_t bits = 0;
        std::int32_t count = 0;
        platform::BusyPointer busy;
    };
    std::optional<WaveOutput> BeginWaveOutput(const std::string& title);
    // The shown channel's window as the chart uses it; nothing when it cannot be drawn.
    struct WindowState {
        TimeWindow window;
        Date start = 0.0;  // of the measurement
        Date end = 0.0;
        std::int64_t lengthSec = 0;  // whole seconds from start to end
        std::int64_t startSec = 0;   // whole seconds from start to the window's start
        double rate = 0.0;
    };
    bool ReadWindow(WindowState& state) const;
    void EmptyChart();

    ShownSelection shown_;
    bool memoShown_ = false;  // txtMEMO shows the shown channel's memo
    bool scrollGuard_ = false;

    // ---- Band displays
    using PanelValues = std::array<std::optional<double>, kMaxSlots>;
    static std::optional<double> PanelValue(const PanelValues& values, std::int16_t slot) {
        return slot >= 1 && slot <= kMaxSlots ? values[static_cast<std::size_t>(slot - 1)] : std::nullopt;
    }
    void SetUpBandChart(platform::BandBarChartModel& chart);
    void SetUpBandPanel(platform::BandLabelGrid& grid, PanelValues& values, const char* blank);
    // Shows one slot's value in a panel: the number above -60 dB, else "---" (also without one).
    void ShowBandValue(platform::BandLabelGrid& grid, PanelValues& values, std::int16_t slot,
                       std::optional<double> value);
    // Each slot's value (index slot - 1) of a statistic code of cmbCalcL, computed afresh.
    std::vector<std::optional<double>> StatisticValues(std::int32_t code) const;
    // ---- Panel commands
    void ToggleBarOrList(platform::CommandButton& button, platform::ControlState& list);
    void ShowALevel(const PanelValues& values);
    // The copy text of a panel: the frame, `heading`, one line per slot in the order 1, 2, n .. 3
    // with the panel's band captions, the frame.
    std::string PanelCopyText(std::string_view heading, const platform::BandLabelGrid& grid,
                              const std::vector<std::optional<double>>& values) const;
    void CopyToClipboard(const std::string& text);
    // The level of a slot's file at position p; nothing when it cannot be read.
    std::optional<double> ReadBandLevel(std::int16_t slot, std::int32_t p) const;
    PanelValues cursorValues_{};
    PanelValues calcValues_{};

    // ---- Dragging on the level chart (widget pixels)
    struct DragState {
        int plotLeft = 0, plotTop = 0, plotRight = -1, plotBottom = -1;
        int startX = -1, top = -1, currentX = -1, bottom = -1;
        bool skip = false;
    };
    void resetMouseDrag();
    platform::RubberBand DragBand() const;
    DragState drag_;
};

}  // namespace murtesk
