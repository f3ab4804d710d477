// The measurement's video and its start: assigning a video file (converted to AVI by the external
// converter "ffmpeg", or copied when the converter leaves nothing playable), watching it in the video
// observation window over the LE range or whole, extracting the LE range into an AVI file, and
// changing the start date and time, which renames the video with its ".car" and ".kmh" side files.
//
// The video keeps the name of the measurement's start ("RecWav/yy-m-d-h_n_s.avi"), so nothing
// replaces it but a new video that is whole and plays: the converter writes a temporary name in
// "RecWav", which is tested with the player and then renamed over the video; a copy goes through a
// temporary file the same way. A date change moves the three files together or not at all and
// never over a file of another measurement.
#include "frmOctCalc.h"

#include "frmInputDate.h"
#include "globals.h"
#include "video_library.h"

#include "model/input_checks.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/file_moves.h"

#include <cstdio>
#include <filesystem>

namespace murtesk {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotOpen = "この動画ファイルは開けません.";
constexpr const char* kAssigned = "動画ファイルの割り当てが完了しました。";
constexpr const char* kCopied =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」がインストールされていないのでファイルをコピーしました.";
constexpr const char* kAssignFailed = "動画ファイルの割り当てに失敗しました.";
constexpr const char* kRenameFailed = "動画ファイルの名前を変更できませんでした.";
// The video and its side files, which share its name.
constexpr const char* kVideoFiles[] = {".avi", ".car", ".kmh"};
// How long the screen waits for window events between looks at the converter.
constexpr int kConverterPumpMs = 50;

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void ShowLibraryMessage(void* context, const char* text, const char* title) {
    static_cast<platform::UiServices*>(context)->MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::None, title);
}

// A date moved by a whole number of milliseconds.
Date Moved(Date date, std::int64_t ms) {
    return platform::DateFromMilliseconds(platform::DateToMilliseconds(date) + ms);
}

void Move(Variant& date, std::int64_t ms) {
    if (date.IsDate()) {
        date = Variant::FromDate(Moved(date.AsDouble(), ms));
    } else if (!date.IsEmpty() && !date.IsNull()) {
        date = Variant(Moved(date.AsDouble(), ms));
    }
}

// The measurement starts at `start`: every stored date moves with it; positions stay.
void MoveStart(CMeasure& measure, Date start) {
    const std::int64_t ms = platform::DateToMilliseconds(start) - platform::DateToMilliseconds(measure.StartTime);
    measure.StartTime = start;
    measure.EndTime = Moved(measure.EndTime, ms);
    for (std::int32_t c = 1; c <= measure.ChMeasures.count(); ++c) {
        CChMeasure& channel = measure.ChMeasures.Item(c);
        Move(channel.CalcXYAxis.XAxisMin, ms);
        Move(channel.CalcXYAxis.XAxisMax, ms);
        for (std::int32_t w = 1; w <= channel.RecWaveFiles.count(); ++w) {
            CWaveFile& file = channel.RecWaveFiles.Item(w);
            file.StartTime = Moved(file.StartTime, ms);
            file.EndTime = Moved(file.EndTime, ms);
        }
    }
}

}  // namespace

std::string frmOctCalc::VideoFileOf(Date start) const {
    const CPreserve* records = Records();
    return GetRecWavFolder(records != nullptr ? records->SaveFilePath : std::string()) + "/" +
           platform::FormatFileNameDate(start) + ".avi";
}

// ---- Change of the start date and time

void frmOctCalc::mnuChangeDate_Click() {
    if (!measure_) {
        return;
    }
    g_bDialogOk = true;
    g_InputDate = measure_->StartTime;
    {
        frmInputDate dialog(ui_);
        ui_.ShowModal(dialog);
    }
    if (!g_bDialogOk || !measure_) {
        return;
    }
    // The dialog shows and gives whole seconds: the part of a second it cannot show stays, so an
    // unchanged date changes nothing and an hour is an hour.
    std::int64_t chosenMs = platform::DateToMilliseconds(g_InputDate);
    if (chosenMs % 1000 == 0) {
        chosenMs += ((platform::DateToMilliseconds(measure_->StartTime) % 1000) + 1000) % 1000;
    }
    const Date chosen = platform::DateFromMilliseconds(chosenMs);
    if (!RenameVideoFiles(measure_->StartTime, chosen)) {
        return;
    }
    MoveStart(*measure_, chosen);
    setForm(measureIndex_);
}

bool frmOctCalc::RenameVideoFiles(Date from, Date to) {
    const std::string oldVideo = VideoFileOf(from);
    const std::string newVideo = VideoFileOf(to);
    if (oldVideo == newVideo) {
        return true;
    }
    const std::string oldStem = oldVideo.substr(0, oldVideo.size() - 4);
    const std::string newStem = newVideo.substr(0, newVideo.size() - 4);
    std::vector<platform::FileMove> moves;
    std::string taken;
    for (const char* extension : kVideoFiles) {
        if (Exists(oldStem + extension)) {
            moves.push_back({oldStem + extension, newStem + extension});
        } else if (taken.empty() && Exists(newStem + extension)) {
            taken = newStem + extension;
        }
    }
    // A name of another measurement's files is refused even with nothing to move: the measurement
    // would take that video as its own.
    if (taken.empty() && platform::RenameAllOrNothing(moves)) {
        return true;
    }
    ui_.MsgBox(std::string(kRenameFailed) + "\r\n" + (moves.empty() ? taken : oldVideo), platform::MsgButtons::OK,
               platform::MsgIcon::Exclamation);
    return false;
}

// ---- Assignment of a video

bool frmOctCalc::SelectVideoFile(std::string& FileName) {
    dlgFileSave.DialogTitle = "割り当てる動画ファイルを指定して下さい．";
    dlgFileSave.Filter = "動画ﾌｧｲﾙ (*.*)|*.*";
    const std::optional<std::string> chosen = dlgFileSave.ShowOpen();
    if (!chosen) {
        ui_.SetBusy(false);
        return false;
    }
    FileName = *chosen;
    return true;
}

bool frmOctCalc::CanPlayVideo(const std::string& path, bool tellUser) {
    KinemoHost host{};
    host.context = &ui_;
    host.message = tellUser ? ShowLibraryMessage : nullptr;
    VideoLibrary& library = g_VideoLibrary();
    const bool opened = library.OpenAvi(&host, path) != 0;
    library.CloseAvi();
    return opened;
}

void frmOctCalc::mnuVideoFile_Click() {
    if (!measure_) {
        return;
    }
    std::string source;
    if (!SelectVideoFile(source) || source.empty() || !IsRegularFile(source)) {
        return;
    }
    ui_.SetBusy(true);
    if (!CanPlayVideo(source, true)) {
        ui_.SetBusy(false);
        ui_.MsgBox(kCannotOpen, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        return;
    }
    const std::string target = VideoFileOf(measure_->StartTime);
    g_VideoPath = target;
    std::error_code ec;
    const char* done = kAssigned;
    if (!fs::equivalent(source, target, ec)) {
        done = ConvertVideo(source, target)                  ? kAssigned
               : platform::CopyFileReplacing(source, target) ? kCopied
                                                             : nullptr;
    }
    ui_.SetBusy(false);
    if (done == nullptr) {
        ui_.MsgBox(kAssignFailed, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    setForm(measureIndex_);
    ui_.MsgBox(done);
}

bool frmOctCalc::ConvertVideo(const std::string& source, const std::string& target) {
    const fs::path folder = fs::path(target).parent_path();
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string converted = platform::UnusedFileName(folder.string(), fs::path(target).stem().string(), ".avi");
    m_ProcessRunner->RunToEnd({"ffmpeg", "-i", source, converted},
                              [this] { ui_.DoEventsWithoutInput(kConverterPumpMs); });
    if (IsRegularFile(converted) && CanPlayVideo(converted, false) &&
        std::rename(converted.c_str(), target.c_str()) == 0) {
        return true;
    }
    fs::remove(converted, ec);
    return false;
}

// ---- Watching and extracting

bool frmOctCalc::SetVideoOfLE() {
    const CBandLCalcInfo* info = ShownBandInfo();
    std::int32_t startMs = 0;
    std::int32_t endMs = 0;
    if (info == nullptr || info->LEScopes.count() == 0 || !measure_ ||
        !RangeMs(info->LEScopes.Item(1), startMs, endMs)) {
        return false;
    }
    g_VideoStartTime = measure_->StartTime;
    g_VideoPath = VideoFileOf(measure_->StartTime);
    g_VideoStartMs = startMs;
    g_VideoEndMs = endMs;
    return true;
}

void frmOctCalc::ShowVideo(platform::Form* owner) {
    if (g_ShowPlayAVI) {
        g_ShowPlayAVI(ui_, owner);
    }
    ui_.Activate(*this);
}

void frmOctCalc::cmdVideoPlay_Click() {
    if (SetVideoOfLE()) {
        ShowVideo(this);
    }
}

void frmOctCalc::cmdVideoExtract_Click() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || info->LEScopes.count() == 0) {
        return;
    }
    dlgFileSave.DialogTitle = "出力するAviﾌｧｲﾙ名を指定して下さい．";
    dlgFileSave.Filter = "Aviﾌｧｲﾙ (*.avi)|*.avi";
    const std::optional<std::string> chosen = dlgFileSave.ShowSave();
    if (!chosen) {
        ui_.SetBusy(false);
        return;
    }
    if (chosen->empty()) {
        return;
    }
    ui_.Refresh(*this);
    if (!SetVideoOfLE()) {
        return;
    }
    ui_.SetBusy(true);
    ui_.DoEvents();
    // The library writes the new file aside and renames it into place: a failure leaves no part of it.
    // The measurement's own video is never replaced by a part of itself.
    std::error_code ec;
    const bool extracted = !fs::equivalent(*chosen, g_VideoPath, ec) &&
                           g_VideoLibrary().ExtractAvi(g_VideoPath, *chosen, g_VideoStartMs, g_VideoEndMs) != 0;
    ui_.SetBusy(false);
    ui_.MsgBox(extracted ? "ビデオ抽出処理が成功しました." : "ビデオ抽出処理が失敗しました.");
}

void frmOctCalc::mnuToolVideo_Click() {
    if (!measure_) {
        return;
    }
    g_VideoStartTime = measure_->StartTime;
    g_VideoPath = VideoFileOf(measure_->StartTime);
    g_VideoStartMs = 0;
    g_VideoEndMs = 0;
    ShowVideo(nullptr);
}

}  // namespace murtesk
