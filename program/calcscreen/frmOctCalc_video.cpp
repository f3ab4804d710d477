// The measurement's video and its start: assigning a video file (converted to AVI by the external
// converter "ffmpeg", or copied when the converter leaves nothing playable), watching it in the video
// observation window over the LE range or whole, extracting the LE range into an AVI file, and
// changing the start date and time, which renames the video with its ".car" and ".kmh" side files.
//
// The video keeps the name of the measurement's start ("RecWav/yy-m-d-h_n_s.avi"), so nothing
// replaces it but a new video that is whole and plays: a file without a picture to show (sound
// only) or with one still picture (an image file) is refused before anything is converted or
// copied; the converter writes a temporary name in "RecWav" under a progress window with Cancel,
// and only an output of a converter that ended well and that the player opens with pictures that
// move is renamed over the video; a copy goes through a temporary file the same way. A video much
// shorter than its source declares is told with both lengths. The old video's counts are set aside
// under dated names, never taken over by the new video. A measurement whose start another
// measurement shares gets no video: the two would share it; a video that two such measurements
// share already (the same recording imported twice) is watched from either without changing its
// side files, and its commands say so. A date change moves the three files together or not at
// all (a rename that fails is told with the file it could not rename and why), and leaves them
// where another measurement of the old start names them too. It is refused,
// the same way whatever the old start, when a file of the new start's name is there (the
// measurement would take it as its own) or when the measurement's files would go to a start
// another measurement has.
#include "frmOctCalc.h"

#include "frmInputDate.h"
#include "frmVideoConvert.h"
#include "globals.h"
#include "video_converter.h"
#include "video_library.h"

#include "model/input_checks.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/file_moves.h"
#include "platform/numbers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

namespace murtesk {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCannotOpen = "この動画ファイルは開けません.";
constexpr const char* kNoPicture = "この動画ファイルには表示できる映像がないので,割り当てられません.";
constexpr const char* kStillPicture = "この動画ファイルの映像は1枚の静止画なので,割り当てられません.";
constexpr const char* kAssigned = "動画ファイルの割り当てが完了しました。";
constexpr const char* kCopied =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」がインストールされていないのでファイルをコピーしました.";
constexpr const char* kAssignedShorter = "動画ファイルの割り当てが完了しました.";
// How much shorter than its source a converted video may be without a word: the last picture's
// length and the sound's end.
constexpr std::int32_t kShorterMs = 1000;
constexpr const char* kAssignFailed = "動画ファイルの割り当てに失敗しました.";
constexpr const char* kCopiedAfterFailure =
    "動画ファイルの割り当てが完了しました.\r\n但し,「ffmpeg」で変換できなかったのでファイルをコピーしました.";
constexpr const char* kAssignCancelled = "動画ファイルの割り当てを中止しました.";
constexpr const char* kOldVideoKept = "元の動画ファイルはそのまま残っています.";
constexpr const char* kCountsKept = "以前の動画のカウント情報と速度情報は次の名前で残しました.";
constexpr const char* kSharedStart =
    "同じ開始日時の測定が他にあるので,動画ファイルを割り当てられません.\r\n"
    "「実測開始日時の変更」で開始日時を変えてから割り当てて下さい.";
constexpr const char* kDateRefused = "実測開始日時を変更できませんでした.";
constexpr const char* kDateShared =
    "変更後の開始日時は次の測定と同じなので,この測定の動画ファイルとカウント情報・速度情報が共通になってしまいます.";
constexpr const char* kSharedVideo = "同じ開始日時の測定が他にあります.";
// What the observation and the extraction say of a shared video, with one other measurement and with several.
constexpr const char* kSharedObservation[] = {
    "動画ファイルとカウント情報・速度情報はその測定と共通なので,ビデオ観測は閲覧のみで開きます"
    "(カウント情報と速度情報は変更できません).\r\n"
    "その測定の開始日時を「実測開始日時の変更」で変えると,この測定だけのものになります.",
    "動画ファイルとカウント情報・速度情報はそれらの測定と共通なので,ビデオ観測は閲覧のみで開きます"
    "(カウント情報と速度情報は変更できません).\r\n"
    "それらの測定すべての開始日時を「実測開始日時の変更」で変えると,この測定だけのものになります."};
constexpr const char* kSharedExtraction[] = {"動画ファイルはその測定と共通です.", "動画ファイルはそれらの測定と共通です."};
// The video and its side files, which share its name, with what each holds.
struct VideoFile {
    const char* extension;
    const char* holds;
};
constexpr VideoFile kVideoFiles[] = {{".avi", "動画ファイル"}, {".car", "カウント情報"}, {".kmh", "速度情報"}};
// The file of `path`, one of kVideoFiles by its extension.
const VideoFile& VideoFileNamed(const std::string& path) {
    for (const VideoFile& file : kVideoFiles) {
        if (std::string_view(path).ends_with(file.extension)) return file;
    }
    return kVideoFiles[0];
}

// Why a rename failed, from its errno.
std::string RenameFailure(int error) {
    switch (error) {
    case EROFS: return "フォルダが読み取り専用です";
    case EACCES:
    case EPERM: return "フォルダに書き込む権限がありません";
    case ENOENT: return "ファイルが見つかりません";
    default: return std::strerror(error);
    }
}

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// Milliseconds as seconds to a tenth: "28.7".
std::string SecondsText(std::int32_t ms) { return platform::FormatNumber(ms / 1000.0, "0.0"); }

// Whether the file has a picture to show: a file of sound only plays too, as a black picture.
bool HasPicture(const std::string& path) {
    std::int32_t width = 0;
    std::int32_t height = 0;
    return g_VideoLibrary().GetVideoWithHeight(path, width, height) != 0;
}

// Whether the file's pictures move: one still picture (an image file, a stream of one picture or of
// pictures of one time) plays too, and its length says nothing (0, or one picture's).
bool PicturesMove(const std::string& path) { return g_VideoLibrary().GetVideoPictureCount(path, 2) >= 2; }

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

// The measurements of the project other than `shown` whose start gives the same video name.
std::vector<std::int32_t> SameStart(const CPreserve* records, const std::shared_ptr<CMeasure>& shown, Date start) {
    if (records == nullptr) return {};
    return MeasuresOfSameStart(records->Measures, start, shown.get());
}

bool VideoNameShared(const CPreserve* records, const std::shared_ptr<CMeasure>& shown, Date start) {
    return !SameStart(records, shown, start).empty();
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
    if (oldVideo == newVideo) {
        return true;
    }
    const CPreserve* records = Records();
    const std::string oldStem = oldVideo.substr(0, oldVideo.size() - 4);
    const std::string newStem = newVideo.substr(0, newVideo.size() - 4);
    // Files that another measurement of the old start also names stay with it: nothing moves.
    const bool oldShared = VideoNameShared(records, shown_.measure, from);
    std::vector<platform::FileMove> moves;
    const VideoFile* taken = nullptr;
    for (const VideoFile& file : kVideoFiles) {
        if (!oldShared && PathTaken(oldStem + file.extension)) {
            moves.push_back({oldStem + file.extension, newStem + file.extension});
        }
        if (taken == nullptr && PathTaken(newStem + file.extension)) {
            taken = &file;
        }
    }
    // A file of the new start's name would be the measurement's own after the change, whoever's it is;
    // the measurement's files moved to a start another measurement has would be that one's too.
    const std::vector<std::int32_t> others = SameStart(records, shown_.measure, to);
    std::string refusal;
    if (taken != nullptr) {
        refusal = others.empty() ? "変更後の開始日時の" + std::string(taken->holds) + "が既にあります."
                                 : "変更後の開始日時には次の測定の" + std::string(taken->holds) + "があります.";
    } else if (!moves.empty() && !others.empty()) {
        refusal = kDateShared;
    }
    if (refusal.empty()) {
        platform::FileMove failed;
        if (platform::RenameAllOrNothing(moves, &failed)) {
            return true;
        }
        // The file that could not be renamed (the video may be gone and its counts still there) and why.
        const std::string reason = RenameFailure(errno);
        const std::string file = VideoFileNamed(failed.from).holds;
        ui_.MsgBox(std::string(kDateRefused) + "\r\n" + file + "の名前を変更できませんでした(" + reason + ").\r\n" +
                       failed.from,
                   platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return false;
    }
    std::string text = std::string(kDateRefused) + "\r\n" + refusal;
    for (const std::int32_t other : others) text += "\r\n" + MeasureListName(g_PreserveDoc(), other);
    if (taken != nullptr) text += "\r\n" + newStem + taken->extension;
    ui_.MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
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
    // Neither converted nor copied: a file without pictures never takes the place of a video.
    if (!HasPicture(source)) {
        busy.End();
        ui_.MsgBox(kNoPicture, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        return;
    }
    if (!PicturesMove(source)) {
        busy.End();
        ui_.MsgBox(kStillPicture, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
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
    if (VideoNameShared(Records(), shown_.measure, shown_.measure->StartTime)) {
        busy.End();
        ui_.MsgBox(kSharedStart, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    const bool hadVideo = PathTaken(target);
    const std::string kept = hadVideo ? "\r\n" + std::string(kOldVideoKept) : std::string();
    fs::create_directories(fs::path(target).parent_path(), ec);

    const PlayTest plays = [this](const std::string& path) -> std::optional<std::int32_t> {
        std::int32_t ms = 0;
        if (!CanPlayVideo(path, false, &ms) || !HasPicture(path) || !PicturesMove(path)) return std::nullopt;
        return ms;
    };
    const ConverterRun run = ConvertVideo(ui_, *this, *m_ProcessRunner, plays, source, target, lengthMs);
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
    // A source cut short (a copy broken off, a card pulled out) converts to what it holds.
    if (run.end == ConverterEnd::Converted && run.lengthMs > 0 && run.lengthMs < lengthMs - kShorterMs) {
        done = std::string(kAssignedShorter) + "\r\n但し,割り当てた動画の長さは" + SecondsText(run.lengthMs) +
               "秒で,元の動画ファイルが示す長さ" + SecondsText(lengthMs) + "秒より短くなっています.";
    }
    if (!aside.empty()) {
        done += "\r\n" + std::string(kCountsKept);
        for (const platform::FileMove& move : aside) done += "\r\n" + fs::path(move.to).filename().string();
    }
    ui_.MsgBox(done);
}

// ---- Watching and extracting

bool frmOctCalc::SetVideoOfLE() {
    const CBandLCalcInfo* info = ShownBandInfo();
    std::int32_t startMs = 0;
    std::int32_t endMs = 0;
    if (info == nullptr || info->LEScopes.count() == 0 || !shown_.measure ||
        !shown_.RangeMs(info->LEScopes.Item(1), startMs, endMs)) {
        return false;
    }
    g_VideoStartTime = shown_.measure->StartTime;
    g_VideoPath = VideoFileOf(shown_.measure->StartTime);
    g_VideoStartMs = startMs;
    g_VideoEndMs = endMs;
    return true;
}

bool frmOctCalc::TellSharedVideo(bool observation) {
    const std::vector<std::int32_t> others = SameStart(Records(), shown_.measure, shown_.measure->StartTime);
    if (others.empty()) return false;
    std::string text = kSharedVideo;
    for (const std::int32_t other : others) text += "\r\n" + MeasureListName(g_PreserveDoc(), other);
    const std::size_t several = others.size() > 1 ? 1 : 0;
    text += "\r\n" + std::string(observation ? kSharedObservation[several] : kSharedExtraction[several]);
    ui_.MsgBox(text, platform::MsgButtons::OK, platform::MsgIcon::Information);
    return true;
}

void frmOctCalc::ShowVideo(platform::Form* owner) {
    // The video's side files are written only for a measurement that is alone at its start.
    g_bVideoReadOnly = TellSharedVideo(true);
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
    if (info == nullptr || info->LEScopes.count() == 0 || !shown_.measure) {
        return;
    }
    TellSharedVideo(false);
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
