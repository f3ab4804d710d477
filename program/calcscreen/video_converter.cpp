#include "video_converter.h"

#include "platform/dates.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string_view>

namespace murtesk {

namespace {

namespace fs = std::filesystem;

constexpr const char* kConverterUnplayable = "「ffmpeg」の変換結果が再生できませんでした.";
constexpr const char* kConverterMissing = "「ffmpeg」がインストールされていません.";
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
    for (const char* a :
         {"-fps_mode", "passthrough", "-avoid_negative_ts", "disabled", "-progress", "pipe:1", "-nostats"}) {
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

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
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

ConverterRun RunConverter(platform::UiServices& ui, platform::ProcessRunner& runner,
                          const std::vector<std::string>& argv, std::int32_t lengthMs, frmVideoConvert& window) {
    const std::unique_ptr<platform::RunningProcess> process = runner.Start(argv);
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
        ui.DoEvents();
        if (window.CancelRequested()) {
            process->End(kConverterEndGraceMs);
            return {ConverterEnd::Cancelled, 0, {}};
        }
    }
}

}  // namespace

ConverterRun ConvertVideo(platform::UiServices& ui, platform::Form& owner, platform::ProcessRunner& runner,
                          const PlayTest& plays, const std::string& source, const std::string& target,
                          std::int32_t lengthMs) {
    const fs::path folder = fs::path(target).parent_path();
    const std::string converted = platform::UnusedFileName(folder.string(), fs::path(target).stem().string(), ".avi");
    ConverterRun run;
    frmVideoConvert progress(ui, [&](frmVideoConvert& window) {
        // An AVI file's own streams when the player takes them as they are; else coded anew, finely.
        for (const bool copy : {true, false}) {
            if (copy && !IsAviFile(source)) continue;
            run = RunConverter(ui, runner, ConverterArgs(source, converted, copy), lengthMs, window);
            if (run.end == ConverterEnd::Converted) {
                const std::optional<std::int32_t> length =
                    IsRegularFile(converted) ? plays(converted) : std::optional<std::int32_t>();
                run.end = length ? ConverterEnd::Converted : ConverterEnd::Unplayable;
                run.lengthMs = length.value_or(0);
            }
            if (run.end == ConverterEnd::Converted || run.end == ConverterEnd::Cancelled ||
                run.end == ConverterEnd::NotFound) {
                break;
            }
        }
    });
    // The normal pointer over the progress window, whose Cancel is for clicking.
    ui.SetBusy(false);
    ui.ShowModal(progress, &owner);
    ui.SetBusy(true);
    std::error_code ec;
    if (run.end == ConverterEnd::Converted) {
        run.file = converted;
    } else {
        fs::remove(converted, ec);
    }
    return run;
}

std::string ConverterReason(const ConverterRun& run) {
    switch (run.end) {
    case ConverterEnd::NotFound: return kConverterMissing;
    case ConverterEnd::Failed: return "「ffmpeg」の変換が失敗しました(終了コード " + std::to_string(run.code) + ").";
    case ConverterEnd::Signalled:
        return "「ffmpeg」の変換が途中で終了しました(シグナル " + std::to_string(run.code) + ").";
    case ConverterEnd::Unplayable: return kConverterUnplayable;
    default: return {};
    }
}

bool InstallVideo(const std::string& ready, const std::string& target, std::vector<platform::FileMove>& aside) {
    // The counts of the old video are not the new video's: they stay beside it under names of
    // their own, dated by the old video, and the new video starts with none.
    const std::string stem = target.substr(0, target.size() - 4);
    const std::string dated = "_old" + ModifiedCompactDate(PathTaken(target) ? target : stem + ".car");
    for (const char* extension : {".car", ".kmh"}) {
        if (!PathTaken(stem + extension)) continue;
        std::string to = stem + dated + extension;
        for (int n = 2; PathTaken(to); ++n) to = stem + dated + "-" + std::to_string(n) + extension;
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

bool PathTaken(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace murtesk
