// The video observation window "ビデオ観測": plays a measurement's video (or the span of it in g_VideoStartMs ..
// g_VideoEndMs) in its frame through the video library, while the user counts passing vehicles by kind for one
// direction and lane at a time, measures speeds from two saved video times and a distance, and exports both as
// CSV. The counts and speeds live in the video's ".car" and ".kmh" side files, read when the window loads and
// written on OK; opened with g_bVideoReadOnly (another measurement shares them) the window shows them but does
// not count, erase, add or delete, and OK writes nothing. The two saved times go back to the opener in
// g_SaveTime.
//
// The form is split by concern: loading, playback, saved times and closing (frmPlayAVI.cpp), counting and
// speeds (frmPlayAVI_counting.cpp), the CSV exports, the deletion of speeds and the window's size
// (frmPlayAVI_exports.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls.h"
#include "form.h"
#include "playback/car_count.h"
#include "kinemo_binding.h"
#include "playback/speed_info.h"
#include "playback/video_frame.h"

namespace murtesk::playback {

class frmPlayAVI : public platform::Form {
public:
    // The slider's Max when a step is not 100 ms but a share of the span.
    static constexpr int kProportionalMax = 32700;
    // Spans up to this length have one slider step per 100 ms.
    static constexpr std::int32_t kStepSpanLimitMs = 3'250'000;
    static constexpr std::int32_t kFrameStepMs = 33;
    static constexpr int kTimerIntervalMs = 200;
    // The least outer size of the window.
    static constexpr int kMinWidthTwips = 7830;
    static constexpr int kMinHeightTwips = 9200;

    frmPlayAVI(platform::UiServices& ui, KinemoApi& kinemo);
    ~frmPlayAVI() override;

    // ---- Playback
    std::unique_ptr<VideoFrame> FrameAVI;  // made at load
    platform::Slider Slider1;
    platform::Label lblTime;
    std::array<platform::CommandButton, 2> cmdStart;
    std::array<platform::CommandButton, 2> cmdStop;
    platform::CommandButton cmdBack;
    platform::CommandButton cmdForward;
    std::array<platform::CommandButton, 2> cmdSaveTime;
    std::array<platform::Label, 2> lblSaveTime;
    platform::CommandButton cmdOk;
    platform::CommandButton cmdCancel;
    bool Timer1 = false;  // enabled: ticks every kTimerIntervalMs
    platform::MenuItem mnuFile;
    platform::MenuItem mnuFileSaveCarNum;
    platform::MenuItem mnuFileSaveSpeed;

    // ---- Counting (index = kind 1..8; 3 is the total and has no kind label)
    platform::Label fraCourse;
    platform::OptionGroup optCourse;
    platform::Label fraCondition;
    platform::Label lblRoadNo;
    platform::ComboBox cmbRoadNo;
    std::array<platform::Label, 9> lblCarKind;
    std::array<platform::Label, 9> lblCarNum;
    platform::Label lblTotal;
    platform::CommandButton cmdSearch;
    platform::Label fraDelete;
    platform::OptionGroup optDell;
    platform::CommandButton cmdBackErase;
    platform::CommandButton cmdAllErase;
    platform::CommandButton cmdSaveCarNum;

    // ---- Speeds
    platform::Label fraSpeed;
    platform::ComboBox cmbCarType;
    platform::Label lblDistance;
    platform::TextBox txtDistance;
    platform::CommandButton cmdCalcSpeed;
    platform::ListBox lstSpeed;  // item data: the record's number in m_SpeedInfos
    platform::CommandButton cmdSaveSpeed;
    platform::CommandButton cmdDelSpeed;

    // ---- The window: outer size in twips (15 a pixel), minimised or not.
    int Width = kMinWidthTwips;
    int Height = kMinHeightTwips;
    bool Minimized = false;

    CCarCounts m_CarCounts;
    CSpeedInfos m_SpeedInfos;

    // ---- Events
    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_Unload(bool& cancel) override;
    void Form_KeyPress(int& KeyAscii) override;
    void Form_Resize();
    void vsElastic1_ResizeChildren();
    void cmdStart_Click(int Index);
    void cmdStop_Click(int Index);
    void Timer1_Timer();
    void Slider1_Scroll();
    void cmdBack_Click();
    void cmdForward_Click();
    void cmdSaveTime_Click(int Index);
    void cmdOk_Click();
    void cmdCancel_Click();
    void optCourse_Click(int Index);
    void cmbRoadNo_Click();
    void lblCarKind_Click(int Index);
    void cmdSearch_Click();
    void cmdBackErase_Click();
    void cmdAllErase_Click();
    void cmdCalcSpeed_Click();
    void cmdSaveCarNum_Click();
    void mnuFileSaveCarNum_Click();
    void cmdSaveSpeed_Click();
    void mnuFileSaveSpeed_Click();
    void cmdDelSpeed_Click();
    void txtDistance_GotFocus();
    void txtDistance_LostFocus();

    // Called by SubClassWndProc for WM_AVIGRAPHEVENT: at the end of the stream the window pauses and rewinds to
    // the span's start.
    void MessageGet(std::intptr_t lParam);

    // ---- Procedures
    // OpenVideo, then the side files (a missing or unreadable one starts empty). startMs and endMs are corrected.
    bool OpenVideoAndData(const std::string& path, std::int32_t& startMs, std::int32_t& endMs);
    // Opens the video in FrameAVI, limits the span to the duration and sets the slider's scale; false when the
    // video does not open or the span is empty.
    bool OpenVideo(const std::string& path, std::int32_t& startMs, std::int32_t& endMs);
    // Writes both side files (both are tried); false when either failed.
    bool SaveCountAndSpeedData();
    void ShowPosTime();
    void FocusSlider();
    void SetNowCourseRoad();
    void ShowCarNums();
    void ShowSpeedList();
    // mode 1: the direction and lane on screen (speeds: the rows of lstSpeed); 0: all.
    bool OutputCarCountCSV(std::int16_t mode);
    bool WriteCarCountCSVSelected(const std::string& path);
    bool WriteCarCountCSVAll(const std::string& path);
    bool OutputSpeedCSV(std::int16_t mode);
    bool WriteSpeedCSVList(const std::string& path);
    bool WriteSpeedCSVAll(const std::string& path);

private:
    void SetTimer1(bool enabled);
    void SetPlaying(bool playing);
    void FillLists();
    void CountCar(std::int16_t kind);
    // True when nothing unsaved would be lost, or the user agreed to lose it.
    bool ConfirmCloseWithoutSaving();
    // One frame step to position p (back or forward).
    void StepTo(std::int32_t p);
    // The slider value of position p; nothing when it falls outside the slider's range.
    std::optional<int> SliderValueOf(std::int32_t p) const;
    bool OutputCSV(bool (frmPlayAVI::*write)(const std::string&));
    // Reads one side file into its list; a file that exists but does not read leaves the list
    // empty and is noted, to be told and kept under another name before it is written again.
    template <class List>
    void ReadSideFile(List& list, const std::string& path);
    // Writes one side file; an unreadable one in its place is first kept under its other name.
    template <class List>
    bool WriteSideFile(const List& list, const std::string& path);

    KinemoApi& kinemo_;
    struct Unreadable {
        std::string path;
        std::string aside;
    };
    std::vector<Unreadable> unreadable_;
    bool loadFailed_ = false;
    bool readOnly_ = false;     // g_bVideoReadOnly at load
    bool videoOpened_ = false;  // OpenAvi was called and CloseAvi not yet
    bool subclassed_ = false;
    platform::TimerId timer_ = 0;
    std::string dlgFileSaveName_;  // the save dialog's last file
};

// Shows the video observation window modally over g_VideoPath and the span, with the library loaded from the
// program's folder, owned by `owner` (null: no owner). The window is kept until the next showing, so its view
// never outlives it.
void ShowPlayAVI(platform::UiServices& ui, platform::Form* owner);

}  // namespace murtesk::playback
