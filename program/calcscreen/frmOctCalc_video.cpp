// The measurement's video and its start: assigning a video file (converted to AVI by the external
// converter "ffmpeg", or copied when the converter leaves nothing playable), watching it in the video
// observation window over the LE range or whole, extracting the LE range into an AVI file, and
// changing the start date and time, which renames the video with its ".car" and ".kmh" side files.
//
// The video keeps the name of the measurement's start ("RecWav/yy-m-d-h_n_s.avi"), so nothing
// replaces it but a new video that is whole and plays: the converter writes a temporary name in
// "RecWav" under a progress window with Cancel, and only an output of a converter that ended well
// and that the player opens is renamed over the video; a copy goes through a temporary file the
// same way. The old video's counts are set aside under dated names, never taken over by the new
// video. A measurement whose start another measurement shares gets no video: the two would share
// it. A date change moves the three files together or not at all and never over a file of
// another measurement.
#include "frmOctCalc.h"

#include "frmInputDate.h"
#include "frmVideoConvert.h"
#include "globals.h"
#include "video_library.h"

#include "model/input_checks.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/file_moves.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

namespace murtesk {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotOpen = "この動画ファイルは開けません.";
constexpr const char* kAssigned = "動画ファイルの割り当てが完了しました。";
constexpr const char* kCopied =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」がインストールされていないのでファイルをコピーしました.";
constexpr const char* kAssignFailed = "動画ファイルの割り当てに失敗しました.";
constexpr const char* kCopiedAfterFailure =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」で変換できなかったのでファイルをコピーしました.";
constexpr const char* kConverterMissing = "「ffmpeg」がインストールされていません.";
constexpr const char* kConverterUnplayable = "「ffmpeg」の変換結果が再生できませんでした.";
constexpr const char* kAssignCancelled = "動画ファイルの割り当てを中止しました.";
constexpr const char* kOldVideoKept = "元の動画ファイルはそのまま残っています.";
constexpr const char* kCountsKept = "以前の動画のカウント情報と速度情報は次の名前で残しました.";
constexpr const char* kSharedStart =
    "同じ開始日時の測定が他にあるので,動画ファイルを割り当てられません.\r\n"
    "「実測開始日時の変更」で開始日時を変えてから割り当てて下さい.";
constexpr const char* kRenameFailed = "動画ファイルの名前を変更できませんでした.";
// The video and its side files, which share its name.
constexpr const char* kVideoFiles[] = {".avi", ".car", ".kmh"};
// How long the assignment waits for the converter's progress or end between event passes.
constexpr int kConverterLookMs = 50;
// How long a cancelled converter may take to end before it is killed.
constexpr int kConverterEndGraceMs = 2000;

// The converter's command line: the first video and sound streams of `source` into the AVI file
// `target`, copied as they are or coded anew (MPEG-4 video at a fine quantiser, 16-bit PCM sound,
// which has no coder delay to shift the pictures by). Every picture keeps its own time: none is
// doubled or dropped and the first shows at 0. The progress goes to the standard output as
// "key=value" lines.
std::vector<std::string> ConverterArgs(const std::string& source, const std::string& target, bool copy) {
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                     "-i",     source,     "-map",         "0:v:0",     "-map",  "0:a:0?"};
    const std::vector<std::string> coding =
        copy ? std::vector<std::string>{"-c", "copy"}
             : std::vector<std::string>{"-c:v", "mpeg4", "-q:v", "2", "-c:a", "pcm_s16le"};
    args.insert(args.end(), coding.begin(), coding.end());
    for (const char* a : {"-fps_mode", "passthrough", "-avoid_negative_ts", "disabled", "-progress", "pipe:1",
                          "-nostats"}) {
        args.emplace_back(a);
    }
    args.push_back(target);
    return args;
}

// Whether the file is an AVI file (its first bytes "RIFF", a length, "AVI "): its streams go into
// the new AVI file as they are. Streams of other containers are coded anew, since an AVI file has
// no times of its own for pictures shown out of their coded order.
bool IsAviFile(const std::string& path) {
    char head[12] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const bool whole = std::fread(head, 1, sizeof head, file) == sizeof head;
    std::fclose(file);
    return whole && std::string_view(head, 4) == "RIFF" && std::string_view(head + 8, 4) == "AVI ";
}

// The converter's time in its progress lines ("out_time_us=…"), the last one given; nothing before it says.
std::optional<std::int64_t> ConverterTime(const std::string& output) {
    static constexpr std::string_view kKey = "out_time_us=";
    std::size_t at = output.rfind(kKey);
    while (at != std::string::npos) {
        if (at == 0 || output[at - 1] == '\n') {
            const char* begin = output.c_str() + at + kKey.size();
            char* end = nullptr;
            const long long us = std::strtoll(begin, &end, 10);
            if (end != begin && (*end == '\n' || *end == '\r')) return us / 1000;
        }
        if (at == 0) break;
        at = output.rfind(kKey, at - 1);
    }
    return std::nullopt;
}

// A file's last change as "yymmddhhnnss" (now when it cannot be examined).
std::string ModifiedCompactDate(const std::string& path) {
    struct stat st {};
    std::time_t when = std::time(nullptr);
    if (::stat(path.c_str(), &st) == 0) when = st.st_mtime;
    std::tm local{};
    localtime_r(&when, &local);
    return platform::FormatCompactDate(platform::DateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                               local.tm_hour, local.tm_min, local.tm_sec));
}

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
    if (!shown_.measure) {
        return;
    }
    g_bDialogOk = true;
    g_InputDate = shown_.measure->StartTime;
    {
        frmInputDate dialog(ui_);
        ui_.ShowModal(dialog);
    }
    if (!g_bDialogOk || !shown_.measure) {
        return;
    }
    // The dialog shows and gives whole seconds: the part of a second it cannot show stays, so an
    // unchanged date changes nothing and an hour is an hour.
    std::int64_t chosenMs = platform::DateToMilliseconds(g_InputDate);
    if (chosenMs % 1000 == 0) {
        chosenMs += ((platform::DateToMilliseconds(shown_.measure->StartTime) % 1000) + 1000) % 1000;
    }
    const Date chosen = platform::DateFromMilliseconds(chosenMs);
    if (!RenameVideoFiles(shown_.measure->StartTime, chosen)) {
        return;
    }
    MoveStart(*shown_.measure, chosen);
    setForm(shown_.measureIndex);
}

bool frmOctCalc::RenameVideoFiles(Date from, Date to) {
    const std::string oldVideo = VideoFileOf(from);
    const std::string newVideo = VideoFileOf(to);
    // Files that another measurement of the old start also names stay with it.
    if (oldVideo == newVideo || VideoNameShared(from)) {
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
    // would take that video as its own. So is moving files to a start another measurement has.
    if (taken.empty() && !moves.empty() && VideoNameShared(to)) {
        taken = newVideo;
    }
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

bool frmOctCalc::CanPlayVideo(const std::string& path, bool tellUser, std::int32_t* lengthMs) {
    KinemoHost host{};
    host.context = &ui_;
    host.message = tellUser ? ShowLibraryMessage : nullptr;
    VideoLibrary& library = g_VideoLibrary();
    const bool opened = library.OpenAvi(&host, path) != 0;
    if (opened && lengthMs != nullptr) *lengthMs = library.GetAviTime();
    library.CloseAvi();
    return opened;
}

bool frmOctCalc::VideoNameShared(Date start) const {
    const CPreserve* records = Records();
    if (records == nullptr) return false;
    const std::string name = platform::FormatFileNameDate(start);
    for (const std::shared_ptr<CMeasure>& other : records->Measures) {
        if (other != shown_.measure && platform::FormatFileNameDate(other->StartTime) == name) return true;
    }
    return false;
}

void frmOctCalc::mnuVideoFile_Click() {
    if (!shown_.measure) {
        return;
    }
    std::string source;
    if (!SelectVideoFile(source) || source.empty() || !IsRegularFile(source)) {
        return;
    }
    platform::BusyPointer busy(ui_);
    std::int32_t lengthMs = 0;
    if (!CanPlayVideo(source, true, &lengthMs)) {
        busy.End();
        ui_.MsgBox(kCannotOpen, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        return;
    }
    const std::string target = VideoFileOf(shown_.measure->StartTime);
    g_VideoPath = target;
    std::error_code ec;
    if (fs::equivalent(source, target, ec)) {
        busy.End();
        setForm(shown_.measureIndex);
        ui_.MsgBox(kAssigned);
        return;
    }
    // Another measurement of the same start would take this video, and its counts, as its own.
    if (VideoNameShared(shown_.measure->StartTime)) {
        busy.End();
        ui_.MsgBox(kSharedStart, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    const bool hadVideo = Exists(target);
    const std::string kept = hadVideo ? "\r\n" + std::string(kOldVideoKept) : std::string();
    fs::create_directories(fs::path(target).parent_path(), ec);

    const ConverterRun run = ConvertVideo(source, target, lengthMs);
    if (run.end == ConverterEnd::Cancelled) {
        busy.End();
        ui_.MsgBox(kAssignCancelled + kept);
        return;
    }
    std::string ready = run.file;
    if (run.end != ConverterEnd::Converted) {
        // The source as it is, through a temporary name beside the video, as the converter's output.
        const fs::path folder = fs::path(target).parent_path();
        ready = platform::UnusedFileName(folder.string(), fs::path(target).stem().string(), ".avi");
        if (!platform::CopyFileReplacing(source, ready)) {
            busy.End();
            ui_.MsgBox(kAssignFailed + ("\r\n" + ConverterReason(run)) + kept, platform::MsgButtons::OK,
                       platform::MsgIcon::Exclamation);
            return;
        }
    }
    std::vector<platform::FileMove> aside;
    if (!InstallVideo(ready, target, aside)) {
        fs::remove(ready, ec);
        busy.End();
        ui_.MsgBox(kAssignFailed + kept, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    busy.End();
    setForm(shown_.measureIndex);
    std::string done = run.end == ConverterEnd::Converted ? kAssigned
                       : run.end == ConverterEnd::NotFound
                           ? kCopied
                           : std::string(kCopiedAfterFailure) + "\r\n" + ConverterReason(run);
    if (!aside.empty()) {
        done += "\r\n" + std::string(kCountsKept);
        for (const platform::FileMove& move : aside) done += "\r\n" + fs::path(move.to).filename().string();
    }
    ui_.MsgBox(done);
}

bool frmOctCalc::InstallVideo(const std::string& ready, const std::string& target,
                              std::vector<platform::FileMove>& aside) {
    // The counts of the old video are not the new video's: they stay beside it under names of
    // their own, dated by the old video, and the new video starts with none.
    const std::string stem = target.substr(0, target.size() - 4);
    const std::string dated = "_old" + ModifiedCompactDate(Exists(target) ? target : stem + ".car");
    for (const char* extension : {".car", ".kmh"}) {
        if (!Exists(stem + extension)) continue;
        std::string to = stem + dated + extension;
        for (int n = 2; Exists(to); ++n) to = stem + dated + "-" + std::to_string(n) + extension;
        aside.push_back({stem + extension, to});
    }
    if (!platform::RenameAllOrNothing(aside)) {
        aside.clear();
        return false;
    }
    if (std::rename(ready.c_str(), target.c_str()) == 0) return true;
    std::vector<platform::FileMove> back;
    for (const platform::FileMove& move : aside) back.push_back({move.to, move.from});
    platform::RenameAllOrNothing(back);
    aside.clear();
    return false;
}

std::string frmOctCalc::ConverterReason(const ConverterRun& run) {
    switch (run.end) {
    case ConverterEnd::NotFound: return kConverterMissing;
    case ConverterEnd::Failed: return "「ffmpeg」の変換が失敗しました(終了コード " + std::to_string(run.code) + ").";
    case ConverterEnd::Signalled:
        return "「ffmpeg」の変換が途中で終了しました(シグナル " + std::to_string(run.code) + ").";
    case ConverterEnd::Unplayable: return kConverterUnplayable;
    default: return {};
    }
}

frmOctCalc::ConverterRun frmOctCalc::ConvertVideo(const std::string& source, const std::string& target,
                                                  std::int32_t lengthMs) {
    const fs::path folder = fs::path(target).parent_path();
    const std::string converted = platform::UnusedFileName(folder.string(), fs::path(target).stem().string(), ".avi");
    ConverterRun run;
    frmVideoConvert progress(ui_, [&](frmVideoConvert& window) {
        // An AVI file's own streams when the player takes them as they are; else coded anew, finely.
        for (const bool copy : {true, false}) {
            if (copy && !IsAviFile(source)) continue;
            run = RunConverter(ConverterArgs(source, converted, copy), lengthMs, window);
            if (run.end == ConverterEnd::Converted && !(IsRegularFile(converted) && CanPlayVideo(converted, false))) {
                run.end = ConverterEnd::Unplayable;
            }
            if (run.end == ConverterEnd::Converted || run.end == ConverterEnd::Cancelled ||
                run.end == ConverterEnd::NotFound) {
                break;
            }
        }
    });
    // The normal pointer over the progress window, whose Cancel is for clicking.
    ui_.SetBusy(false);
    ui_.ShowModal(progress, this);
    ui_.SetBusy(true);
    std::error_code ec;
    if (run.end == ConverterEnd::Converted) {
        run.file = converted;
    } else {
        fs::remove(converted, ec);
    }
    return run;
}

frmOctCalc::ConverterRun frmOctCalc::RunConverter(const std::vector<std::string>& argv, std::int32_t lengthMs,
                                                  frmVideoConvert& window) {
    const std::unique_ptr<platform::RunningProcess> process = m_ProcessRunner->Start(argv);
    if (!process) return {ConverterEnd::NotFound, 0, {}};
    std::string output;
    for (;;) {
        if (const std::optional<platform::ProcessOutcome> outcome = process->Wait(kConverterLookMs, output)) {
            if (outcome->kind == platform::ProcessOutcome::Kind::Exited && outcome->exitCode == 0) {
                return {ConverterEnd::Converted, 0, {}};
            }
            if (outcome->kind == platform::ProcessOutcome::Kind::Exited) {
                return {ConverterEnd::Failed, outcome->exitCode, {}};
            }
            return {ConverterEnd::Signalled, outcome->exitCode, {}};
        }
        if (const std::optional<std::int64_t> doneMs = ConverterTime(output)) window.ShowProgress(*doneMs, lengthMs);
        // Only the last lines matter.
        if (output.size() > 4096) output.erase(0, output.size() - 1024);
        ui_.DoEvents();
        if (window.CancelRequested()) {
            process->End(kConverterEndGraceMs);
            return {ConverterEnd::Cancelled, 0, {}};
        }
    }
}

// ---- Watching and extracting

bool frmOctCalc::SetVideoOfLE() {
    const CBandLCalcInfo* info = ShownBandInfo();
    std::int32_t startMs = 0;
    std::int32_t endMs = 0;
    if (info == nullptr || info->LEScopes.count() == 0 || !shown_.measure ||
        !RangeMs(info->LEScopes.Item(1), startMs, endMs)) {
        return false;
    }
    g_VideoStartTime = shown_.measure->StartTime;
    g_VideoPath = VideoFileOf(shown_.measure->StartTime);
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
    platform::BusyPointer busy(ui_);
    ui_.DoEvents();
    // The library writes the new file aside and renames it into place: a failure leaves no part of it.
    // The measurement's own video is never replaced by a part of itself.
    std::error_code ec;
    const bool extracted = !fs::equivalent(*chosen, g_VideoPath, ec) &&
                           g_VideoLibrary().ExtractAvi(g_VideoPath, *chosen, g_VideoStartMs, g_VideoEndMs) != 0;
    busy.End();
    ui_.MsgBox(extracted ? "ビデオ抽出処理が成功しました." : "ビデオ抽出処理が失敗しました.");
}

void frmOctCalc::mnuToolVideo_Click() {
    if (!shown_.measure) {
        return;
    }
    g_VideoStartTime = shown_.measure->StartTime;
    g_VideoPath = VideoFileOf(shown_.measure->StartTime);
    g_VideoStartMs = 0;
    g_VideoEndMs = 0;
    ShowVideo(nullptr);
}

}  // namespace murtesk
