// The calculation screen's text outputs besides the mark-range files: the stored statistics of every
// channel, the partitioned statistics, the level series of the shown band (thinned, or resampled by
// the analysis library) and the levels of the LE range, alone or as columns of several channels and
// bands. The form asks what to write and runs the writers of text_outputs.h in its output frame
// (frmOctCalc_text.cpp).
#include "frmOctCalc.h"

#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetTestFileOut.h"
#include "globals.h"
#include "text_outputs.h"

#include <cstring>

namespace murtesk {

namespace {

constexpr const char* kCsvFilter = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";
constexpr const char* kTextFilter = "テキストファイル(*.csv;*.txt)|*.csv;*.txt";
constexpr const char* kNoData = "データ取得に失敗しました．";
constexpr const char* kNoParts = "ゼロ件です．";
constexpr const char* kNoLERange = "ＬE範囲が選択されていません．";
constexpr const char* kLETitle = "ﾚﾍﾞﾙ波形を出力するﾌｧｲﾙ名を指定して下さい．";
constexpr const char* kAllChannelsQuestion =
    "全ｃｈデータを出力しますか？\r\n[いいえ]ボタンを押すと表示ｃｎデータのみを出力します．";
constexpr const char* kAllBandsQuestion =
    "全バンドのデータを出力しますか？\r\n[いいえ]ボタンを押すと表示バンドデータのみを出力します．";
constexpr std::int16_t kResampled = -1;

}  // namespace

// ---- The stored statistics of every channel

void frmOctCalc::mnuCalcTextFile_Click() {
    StoreMemo();
    TextOutput(kCsvFilter, [this](const std::string& path) { return writeCalcTextFile(path); });
}

bool frmOctCalc::writeCalcTextFile(const std::string& path) {
    const CPreserve* doc = Records();
    return doc != nullptr && WriteCalcTextFile(path, *doc, shown_);
}

// ---- Partitioned statistics

void frmOctCalc::mnuFilePartitionAreaCSVOut_Click() {
    if (!shown_.channel) return;
    frmSetPartitionAreaCSVOut dialog(ui_);
    ui_.Load(dialog);
    g_bDialogOk = true;
    dialog.m_SplitMin = 10;
    dialog.m_bAllBand = false;
    dialog.m_bCalcAreaInfluence = true;
    ui_.ShowModal(dialog);
    if (!g_bDialogOk) {
        if (ui_.IsLoaded(dialog)) ui_.Unload(dialog);
        return;
    }
    const std::int32_t minutes = dialog.m_SplitMin;
    const bool allBand = dialog.m_bAllBand;
    const bool influence = dialog.m_bCalcAreaInfluence;
    ui_.Unload(dialog);
    ui_.Refresh(*this);
    ui_.DoEvents();
    CScopes parts;
    TextOutput(
        kCsvFilter, [&](const std::string& path) { return writePartitionAreaCalc(path, parts, influence, allBand); },
        {},
        [&] {
            makePartitionAreas(minutes, parts);
            if (parts.count() > 0) return true;
            ui_.MsgBox(kNoParts);
            return false;
        });
}

void frmOctCalc::makePartitionAreas(std::int32_t minutes, CScopes& parts) const {
    parts = PartitionAreas(shown_, minutes, ValueCount(shown_.band));
}

bool frmOctCalc::writePartitionAreaCalc(const std::string& path, const CScopes& parts, bool calcAreaInfluence,
                                        bool allBand) {
    const CPreserve* doc = Records();
    return doc != nullptr && WritePartitionAreaCalc(path, *doc, shown_, parts, calcAreaInfluence, allBand);
}

// ---- The level series of the shown band

void frmOctCalc::mnuTextFile_Click() {
    if (!shown_.channel) return;
    m_TextFilePeriod = frmSetTestFileOut::PresetOf(shown_.channel->ChMeasureCondition.LevelOutHz);
    g_bDialogOk = true;
    {
        frmSetTestFileOut dialog(ui_, m_TextFilePeriod, m_TextFileArea);
        ui_.Load(dialog);
        ui_.ShowModal(dialog);
        if (ui_.IsLoaded(dialog)) ui_.Unload(dialog);
    }
    if (g_bDialogOk) outLevelTextFile();
}

bool frmOctCalc::outLevelTextFile() {
    return TextOutput(kTextFilter, [this](const std::string& path) -> std::optional<bool> {
        if (ValueCount(shown_.band) < 1) {
            ui_.SetBusy(false);
            ui_.MsgBox(kNoData);
            return std::nullopt;
        }
        if (m_TextFilePeriod == kResampled) {
            const CPreserve* doc = Records();
            const std::optional<bool> written =
                doc != nullptr ? WriteResampledLevels(path, *doc, shown_, m_TextFileArea) : std::nullopt;
            if (written) return written;
            ui_.SetBusy(false);
            ui_.MsgBox(kNoData);
            return std::nullopt;
        }
        return writeLevelTextFile(path);
    });
}

bool frmOctCalc::writeLevelTextFile(const std::string& path) {
    const CPreserve* doc = Records();
    return doc != nullptr &&
           WriteLevelTextFile(path, *doc, shown_, m_TextFilePeriod, m_TextFileArea, Chart2DLevelWave.Levels());
}

// ---- The levels of the LE range

void frmOctCalc::mnuLETextFile_Click() { cmdLETextOut_Click(); }

void frmOctCalc::cmdLETextOut_Click() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || info->LEScopes.count() < 1) {
        ui_.MsgBox(kNoLERange);
        return;
    }
    bool allChannels = false;
    bool allBands = false;
    TextOutput(
        kTextFilter,
        [&](const std::string& path) {
            return allChannels || allBands ? writeLETextFileOfChBands(path, allChannels, allBands)
                                           : writeLETextFile(path);
        },
        kLETitle,
        [&] {
            if (shown_.listedChannels >= 2)
                allChannels = ui_.MsgBox(kAllChannelsQuestion, platform::MsgButtons::YesNo,
                                         platform::MsgIcon::Question) == platform::MsgAnswer::Yes;
            allBands = ui_.MsgBox(kAllBandsQuestion, platform::MsgButtons::YesNo, platform::MsgIcon::Question) ==
                       platform::MsgAnswer::Yes;
            return true;
        });
}

bool frmOctCalc::writeLETextFile(const std::string& path) {
    const CPreserve* doc = Records();
    return doc != nullptr && WriteLETextFile(path, *doc, shown_);
}

bool frmOctCalc::writeLETextFileOfChBands(const std::string& path, bool allChannels, bool allBands) {
    const CPreserve* doc = Records();
    int error = 0;
    if (doc != nullptr && WriteLETextFileOfChBands(path, *doc, shown_, allChannels, allBands, error)) return true;
    // A failure of the file system is told with the system's number and text.
    if (error != 0)
        ui_.MsgBox("ｴﾗｰ番号 " + std::to_string(error) + " Murtesk でｴﾗｰが発生しました。\r" + std::strerror(error),
                   platform::MsgButtons::OK, platform::MsgIcon::None, "ｴﾗｰ");
    return false;
}

}  // namespace murtesk
