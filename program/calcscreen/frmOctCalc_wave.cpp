// The calculation screen's commands on the recorded sound of its ranges: playing the LE range of the
// shown channel (or of the memo channel 2) in the partial playback window, and writing the LE range
// or the mark ranges as WAV files cut out of the channels' split recordings by the analysis library,
// one channel alone or every channel side by side. Each output is written under a temporary name
// beside the chosen one and takes its place only when whole: a failure leaves no partial file and
// keeps an earlier file of that name.
#include "frmOctCalc.h"

#include "globals.h"
#include "output_target.h"
#include "wav_mono.h"
#include "wave_library.h"

#include "model/scopes.h"
#include "model/shared_procedures.h"
#include "platform/atomic_file.h"
#include "platform/numbers.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <utility>

namespace murtesk {

namespace {

constexpr const char* kChooseTitle = "出力内容を選択してください";
constexpr const char* kWriteFailed = "Ｗａｖｅファイル作成失敗";
constexpr const char* kWritten = "Ｗａｖｅファイル作成しました";

bool RegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The name of mark range i's file: the chosen path without its extension, "_Mark", i, ".Wav".
std::string MarkFileName(const std::string& chosen, std::int32_t i) {
    std::filesystem::path path(chosen);
    path.replace_extension();
    return path.string() + "_Mark" + std::to_string(i) + ".Wav";
}

}  // namespace

// What the WAV outputs share once their ranges are known: the output-mode question (under a title),
// the file, the play record's recording (the shown channel's) and its format, and the busy pointer
// for the rest of the command.
struct CalcWaveOutput {
    std::string path;
    bool merged = false;
    double rate = 0.0;
    std::int16_t bits = 0;
    std::int32_t count = 0;
    platform::BusyPointer busy;
};

void frmOctCalc::PlayLE(std::int32_t channel) {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || info->LEScopes.count() == 0 || !shown_.measure) {
        return;
    }
    g_PlayStartTime = shown_.measure->StartTime;
    g_PlayWavePath = SplitRecording(channel);
    if (!shown_.RangeMs(info->LEScopes.Item(1), g_PlayStartMs, g_PlayEndMs) || !g_ShowPlayPartOfWave) {
        return;
    }
    g_ShowPlayPartOfWave(ui_);
}

void frmOctCalc::cmdWavePlay_Click() { PlayLE(shown_.channelNumber); }

// The memo recording of channel 2, over the shown channel's LE range; no measurement without a channel 2.
void frmOctCalc::cmdRchMemoPlay_Click() {
    if (shown_.measure && shown_.measure->ChMeasures.count() >= 2) {
        PlayLE(2);
    }
}

int frmOctCalc::AskOutputMode(const std::string& title) {
    if (shown_.listedChannels < 2) {
        return 0;
    }
    const platform::MsgAnswer answer =
        ui_.MsgBox("全chﾃﾞｰﾀをﾏｰｼﾞしたWaveﾌｧｲﾙを出力しますか？\r\n「いいえ」なら表示ﾃﾞｰﾀのﾓﾉﾗﾙWaveﾌｧｲﾙを出力します.",
                   platform::MsgButtons::YesNoCancel, platform::MsgIcon::None, title, platform::MsgAnswer::No);
    if (answer == platform::MsgAnswer::Cancel) {
        return -1;
    }
    return answer == platform::MsgAnswer::Yes ? 1 : 0;
}

std::optional<std::string> frmOctCalc::ChooseWaveFile(MadeNames made) {
    dlgFileSave.DialogTitle = "出力するWaveﾌｧｲﾙ名を指定して下さい．";
    dlgFileSave.Filter = "Waveﾌｧｲﾙ (*.wav)|*.wav";
    const std::optional<std::string> chosen = dlgFileSave.ShowSave(std::move(made));
    if (!chosen) {
        ui_.SetBusy(false);
        return std::nullopt;
    }
    if (chosen->empty()) {
        return std::nullopt;
    }
    ui_.Refresh(*this);
    return chosen;
}

std::optional<CalcWaveOutput> frmOctCalc::BeginWaveOutput(const std::string& title, MadeNames made) {
    const int mode = AskOutputMode(title);
    if (mode < 0) {
        return std::nullopt;
    }
    std::optional<std::string> path = ChooseWaveFile(std::move(made));
    if (!path) {
        return std::nullopt;
    }
    platform::BusyPointer busy(ui_);
    ui_.DoEvents();
    g_PlayStartTime = shown_.measure->StartTime;
    g_PlayWavePath = SplitRecording(shown_.channelNumber);
    CWavMono reader(ui_);
    if (!reader.InitInfo(g_PlayWavePath)) {
        return std::nullopt;
    }
    return CalcWaveOutput{std::move(*path),    mode == 1,
                          reader.getSampHz(),  static_cast<std::int16_t>(reader.getBit()),
                          reader.getDataNum(), std::move(busy)};
}

bool frmOctCalc::makeMarkAreaWave(const std::string& path, bool allChannels, double rate, std::int16_t bits,
                                  std::int32_t count) {
    g_PlayStartSample = SampleOfMs(g_PlayStartMs, rate, count);
    g_PlayEndSample = SampleOfMs(g_PlayEndMs, rate, count);
    if (g_PlayEndSample <= g_PlayStartSample) {
        ui_.MsgBox("再生範囲が不適切です", platform::MsgButtons::OK, platform::MsgIcon::Critical, "お知らせ");
        return false;
    }
    const auto wholeRate = static_cast<std::int32_t>(platform::RoundHalfToEven(rate));
    WaveLibrary& library = g_WaveLibrary();
    const bool written = platform::ReplaceFileByPath(path, [&](const std::string& temporary) {
        if (!allChannels) {
            return library.CreateBigMonoWave(temporary, bits, g_PlayStartSample, g_PlayEndSample, 1, 1, wholeRate,
                                             g_PlayWavePath) != 0;
        }
        std::vector<std::string> files;
        for (std::int32_t c = 1; c <= shown_.listedChannels; ++c) {
            files.push_back(SplitRecording(c));
        }
        return library.MergeMonoWave(temporary, bits, g_PlayStartSample, g_PlayEndSample, wholeRate, files) != 0;
    });
    if (!written) {
        ui_.MsgBox(kWriteFailed);
    }
    return written;
}

void frmOctCalc::cmdLEWaveOut_Click() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || info->LEScopes.count() == 0 || !shown_.measure) {
        return;
    }
    std::optional<CalcWaveOutput> output = BeginWaveOutput(kChooseTitle);
    if (!output) {
        return;
    }
    if (!shown_.RangeMs(info->LEScopes.Item(1), g_PlayStartMs, g_PlayEndMs) ||
        !makeMarkAreaWave(output->path, output->merged, output->rate, output->bits, output->count)) {
        return;
    }
    output->busy.End();
    ui_.MsgBox(RegularFile(output->path) ? kWritten : kWriteFailed);
}

void frmOctCalc::cmdMarkWaveOut_Click() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (lstMarkArea.ListCount() == 0 || info == nullptr || !shown_.measure) {
        return;
    }
    bool all = true;
    if (lstMarkArea.ListCount() >= 2) {
        const platform::MsgAnswer answer = ui_.MsgBox(
            "全マーク範囲のWaveﾌｧｲﾙを出力しますか？\r\n「いいえ」なら選択しているマーク範囲のWaveﾌｧｲﾙだけを出力します.",
            platform::MsgButtons::YesNoCancel, platform::MsgIcon::None, std::string(kChooseTitle) + "(1/2)",
            platform::MsgAnswer::No);
        if (answer == platform::MsgAnswer::Cancel) {
            return;
        }
        all = answer == platform::MsgAnswer::Yes;
        if (!all && lstMarkArea.ListIndex < 0) {
            ui_.MsgBox("Waveﾌｧｲﾙを出力したいマーク範囲を選択してください.", platform::MsgButtons::OK,
                       platform::MsgIcon::Information, "お知らせ");
            return;
        }
    }
    const std::int32_t first = all ? 1 : lstMarkArea.ListIndex + 1;
    const std::int32_t last = std::min(all ? info->MarkScopes.count() : lstMarkArea.ListIndex + 1,
                                       info->MarkScopes.count());
    // The files written are named after the chosen one: the dialog refuses a choice one of whose
    // files the project keeps, and they are asked again once it has closed (a link made meanwhile).
    const MadeNames markFiles = [first, last](const std::string& chosen) {
        std::vector<std::string> names;
        for (std::int32_t i = first; i <= last; ++i) names.push_back(MarkFileName(chosen, i));
        return names;
    };
    std::optional<CalcWaveOutput> output = BeginWaveOutput(std::string(kChooseTitle) + "(2/2)", markFiles);
    if (!output) {
        return;
    }
    if (const std::string refusal = OutputRefusal(output->path, markFiles); !refusal.empty()) {
        output->busy.End();
        ui_.MsgBox(refusal, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
        return;
    }
    for (std::int32_t i = first; i <= last; ++i) {
        if (!shown_.RangeMs(info->MarkScopes.Item(i), g_PlayStartMs, g_PlayEndMs) ||
            !makeMarkAreaWave(MarkFileName(output->path, i), output->merged, output->rate, output->bits,
                              output->count)) {
            return;
        }
    }
    output->busy.End();
    ui_.MsgBox(kWritten);
}

}  // namespace murtesk
