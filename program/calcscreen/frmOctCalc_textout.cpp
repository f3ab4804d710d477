// The calculation screen's text outputs besides the mark-range files: the stored statistics of every
// channel, the partitioned statistics, the level series of the shown band (thinned, or resampled by
// the analysis library) and the levels of the LE range, alone or as columns of several channels and
// bands. All of them run in the screen's output frame (frmOctCalc_text.cpp) and write through a
// text output that takes the chosen file's place only when it is whole.
#include "frmOctCalc.h"

#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetTestFileOut.h"
#include "globals.h"
#include "mark_tables.h"
#include "time_window.h"
#include "wave_library.h"

#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/core_pool.h"
#include "model/level_text.h"
#include "model/partition_rows.h"
#include "model/shared_procedures.h"
#include "platform/atomic_file.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/text_output.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

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
constexpr const char* kRule = "'--------------------";
constexpr std::int16_t kWeightedSlot = 2;
constexpr std::int16_t kResampled = -1;
// The resampled series has ten values for each of the level file's.
constexpr double kResampleFactor = 10.0;
// User correction characteristics (w 5 and above) are computed from the band levels without delay.
constexpr std::int16_t kFirstUserWeighting = 5;
// Rows of the column table read and written at a time.
constexpr std::int64_t kColumnBlockRows = 4096;

std::string DateText(Date date) { return platform::FormatDisplayDate(date); }

// The text of a list's selected entry.
std::string SelectedText(const platform::ComboBox& list) {
    return list.ListIndex >= 0 && list.ListIndex < list.ListCount()
               ? list.Items[static_cast<std::size_t>(list.ListIndex)]
               : std::string();
}

// "1000 / rate" milliseconds as a whole number.
std::string MillisecondsText(double rate) { return CountText(1000.0 / rate); }

// Writes the text gathered so far to the output's file once it fills a block (or at once with
// `force`), then empties it.
bool FlushBlock(platform::TextOutput& out, std::string& text, bool force) {
    if (!force && text.size() < (1u << 16)) return true;
    const bool written = text.empty() || out.file().Write(text);
    text.clear();
    return written;
}

}  // namespace

// ---- The stored statistics of every channel

void frmOctCalc::mnuCalcTextFile_Click() {
    StoreMemo();
    outCalcTextFile();
}

bool frmOctCalc::outCalcTextFile() {
    return TextOutput(kCsvFilter, [this](const std::string& path) { return writeCalcTextFile(path); });
}

bool frmOctCalc::writeCalcTextFile(const std::string& path) {
    CPreserve* doc = Records();
    if (!measure_ || doc == nullptr) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    out.Line(measure_->MeasureCondition.Account);
    out.Line("出力開始日時,出力終了日時");
    out.Line(DateText(measure_->StartTime) + ", " + DateText(measure_->EndTime));
    const std::int32_t channels = AnalysedChannelCount(*measure_);
    for (std::int32_t c = 1; c <= channels; ++c) {
        const CChMeasure& channel = measure_->ChMeasures.Item(c);
        if (SlotCount(channel.ChMeasureCondition.oct1or3) == 0) break;
        out.Line("");
        out.Line("< " + FractionText(measureIndex_, doc->Measures.count()) + " 測定 " + FractionText(c, channels) +
                 "ch データ >");
        WriteCalcValueBlock(out, channel, doc->SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs),
                            [] { return true; });
    }
    return out.Commit();
}

// ---- Partitioned statistics

void frmOctCalc::mnuFilePartitionAreaCSVOut_Click() {
    if (!channel_) return;
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
    parts = channel_ ? PartitionPieces(minutes, channel_->ChMeasureCondition.LevelOutHz, ValueCount(band_)) : CScopes();
}

bool frmOctCalc::writePartitionAreaCalc(const std::string& path, const CScopes& parts, bool calcAreaInfluence,
                                        bool allBand) {
    CPreserve* doc = Records();
    if (!measure_ || !channel_ || doc == nullptr) return false;
    const double rate = channel_->ChMeasureCondition.LevelOutHz;
    if (!RateUsable(rate)) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    CorePool pool;
    const std::int32_t channels = AnalysedChannelCount(*measure_);
    for (std::int32_t i = 1; i <= parts.count(); ++i) {
        const std::int64_t S = ScopePosition(parts.Item(i).S).value_or(1);
        const std::int64_t E = ScopePosition(parts.Item(i).E).value_or(0);
        out.Line("");
        out.Line("===== 分割" + CountText(i));
        // Printed to the whole second, as the mark-range outputs print their ranges.
        out.Line("計算開始日時, " + DateText(platform::AddSeconds(measure_->StartTime, (S - 1) / rate)));
        out.Line("計算終了日時, " + DateText(platform::AddSeconds(measure_->StartTime, (E - 1) / rate)));
        for (std::int32_t c = 1; c <= channels; ++c) {
            const CChMeasure& channel = measure_->ChMeasures.Item(c);
            const std::vector<std::int16_t> slots = RowSlots(channel.ChMeasureCondition.oct1or3);
            if (slots.empty()) break;
            out.Line("");
            out.Line(FractionText(c, channels) + "ch データ");
            const std::int16_t count = SlotCount(channel.ChMeasureCondition.oct1or3);
            const std::vector<std::int16_t> written =
                allBand ? slots : std::vector<std::int16_t>{band_ > count ? kWeightedSlot : band_};
            const auto [s, e] = ScaledRange(static_cast<std::int32_t>(S), static_cast<std::int32_t>(E), rate,
                                            channel.ChMeasureCondition.LevelOutHz);
            const BlockEnd end = WritePartitionBlock(
                out, channel, doc->SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs), s, e,
                calcAreaInfluence, written, [](double) { return true; }, &pool);
            if (end != BlockEnd::Written) return false;
        }
    }
    return out.Commit();
}

// ---- The level series of the shown band

void frmOctCalc::mnuTextFile_Click() {
    if (!channel_) return;
    m_TextFilePeriod = frmSetTestFileOut::PresetOf(channel_->ChMeasureCondition.LevelOutHz);
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
        if (ValueCount(band_) < 1) {
            ui_.SetBusy(false);
            ui_.MsgBox(kNoData);
            return std::nullopt;
        }
        if (m_TextFilePeriod == kResampled) return WriteResampledLevels(path);
        return writeLevelTextFile(path);
    });
}

std::optional<bool> frmOctCalc::WriteResampledLevels(const std::string& path) {
    const auto noData = [this]() -> std::optional<bool> {
        ui_.SetBusy(false);
        ui_.MsgBox(kNoData);
        return std::nullopt;
    };
    if (!channel_) return noData();
    LevelFile file(channel_->LevelData, ShownBandFolder());
    const std::int64_t n = std::min<std::int64_t>(file.Count(), std::numeric_limits<std::int32_t>::max());
    if (n < 1) return noData();
    // The series goes to the library as doubles, converted slice by slice as it is read.
    std::vector<double> values(static_cast<std::size_t>(n));
    std::vector<float> slice(static_cast<std::size_t>(std::min<std::int64_t>(n, kStatsSliceLength)));
    for (std::int64_t pos = 1; pos <= n;) {
        const auto want = static_cast<std::int32_t>(std::min<std::int64_t>(kStatsSliceLength, n - pos + 1));
        const std::int32_t got = file.Read(static_cast<std::int32_t>(pos), want, slice.data());
        if (got <= 0) return false;
        std::copy_n(slice.begin(), got, values.begin() + (pos - 1));
        pos += got;
    }
    const double rate = channel_->ChMeasureCondition.LevelOutHz;
    bool missing = false;
    const bool written = platform::ReplaceFileByPath(path, [&](const std::string& temporary) {
        const std::optional<std::int32_t> result =
            g_WaveLibrary().ChgHz(temporary, values, rate, rate * kResampleFactor, m_TextFileArea);
        missing = !result;
        return result.value_or(0) != 0;
    });
    if (missing) return noData();
    return written;
}

bool frmOctCalc::writeLevelTextFile(const std::string& path) {
    if (!measure_ || !channel_) return false;
    const CChMeasureCondition& condition = channel_->ChMeasureCondition;
    const std::int16_t step = std::max<std::int16_t>(m_TextFilePeriod, 1);
    Date start = measure_->StartTime;
    Date end = measure_->EndTime;
    if (m_TextFileArea == 1) {
        const std::optional<TimeWindow> window = WindowOf(channel_->CalcXYAxis);
        if (!window) return false;
        start = window->start;
        end = std::min(window->end, measure_->EndTime);
    }
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    // Every header line is a comment: a memo of several lines (the import writes three) carries the
    // apostrophe on each.
    const std::vector<std::string_view> memo = platform::TextLines(condition.Account);
    out.Line("'コメント," + std::string(memo.front()));
    for (std::size_t i = 1; i < memo.size(); ++i) out.Line("'" + std::string(memo[i]));
    out.Line("'出力開始日時, " + DateText(start));
    out.Line("'出力終了日時, " + DateText(end));
    out.Line("'動特性, " + condition.getTREName(true));
    out.Line("'レベルレンジ(dB), " + CountText(condition.LVL));
    out.Line("'出力サンプリング間隔, " + frmSetTestFileOut::IntervalText(condition.LevelOutHz, step));
    out.Line(kRule);
    out.Line("'" + SelectedText(cmbGraphBand));
    out.Line(kRule);
    bool written = true;
    if (m_TextFileArea == 1) {
        // Every value of the span as the chart holds it, thinned from its first.
        const std::span<const float> levels = Chart2DLevelWave.Levels();
        std::string text;
        for (std::size_t i = 0; written && i < levels.size(); i += static_cast<std::size_t>(step)) {
            AppendLevelLine(text, levels[i]);
            written = FlushBlock(out, text, false);
        }
        written = written && FlushBlock(out, text, true);
    } else {
        written = channel_->LevelData.TextFileOut(out.file(), step, ShownBandFolder());
    }
    if (!written) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

// ---- The levels of the LE range

void frmOctCalc::cmdLETextOut_Click() { outLETextFile(); }
void frmOctCalc::mnuLETextFile_Click() { outLETextFile(); }

bool frmOctCalc::outLETextFile() {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (info == nullptr || info->LEScopes.count() < 1) {
        ui_.MsgBox(kNoLERange);
        return false;
    }
    bool allChannels = false;
    bool allBands = false;
    return TextOutput(
        kTextFilter,
        [&](const std::string& path) {
            return allChannels || allBands ? writeLETextFileOfChBands(path, allChannels, allBands)
                                           : writeLETextFile(path);
        },
        kLETitle,
        [&] {
            if (cmbCh.ListCount() >= 2)
                allChannels = ui_.MsgBox(kAllChannelsQuestion, platform::MsgButtons::YesNo,
                                         platform::MsgIcon::Question) == platform::MsgAnswer::Yes;
            allBands = ui_.MsgBox(kAllBandsQuestion, platform::MsgButtons::YesNo, platform::MsgIcon::Question) ==
                       platform::MsgAnswer::Yes;
            return true;
        });
}

bool frmOctCalc::writeLETextFile(const std::string& path) {
    const CBandLCalcInfo* info = ShownBandInfo();
    if (!measure_ || info == nullptr || info->LEScopes.count() < 1) return false;
    const CScope& range = info->LEScopes.Item(1);
    const std::optional<std::int64_t> S = ScopePosition(range.S);
    const std::optional<std::int64_t> E = ScopePosition(range.E);
    if (!S || !E) return false;
    const double rate = channel_->ChMeasureCondition.LevelOutHz;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    out.Line("'出力開始日時, " + lblLEStart.Caption);
    out.Line("'出力終了日時, " + lblLEEnd.Caption);
    out.Line("'出力サンプリング間隔, " + MillisecondsText(rate) + "ms");
    out.Line("'ＬE(dB), " + LevelText(info->AllLCalc.LE));
    out.Line(kRule);
    out.Line("'" + SelectedText(cmbGraphBand));
    out.Line(kRule);
    if (!channel_->LevelData.TextFileAreaOut(out.file(), static_cast<std::int32_t>(*S), static_cast<std::int32_t>(*E),
                                             ShownBandFolder())) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

namespace {

// One column of the LE-range table: a band slot of a channel over positions first.. (rows values).
struct LEColumn {
    const CChMeasure* channel = nullptr;
    std::string folder;
    std::int64_t first = 0;
    std::int64_t rows = 0;
};

// A position of the shown channel carried to a channel at `ratio` times its rate, rounded half to
// even in 64 bits (held within +-2^62); unchanged at ratio 1 or when either rate is unusable.
std::int64_t CarriedPosition(std::int64_t p, double ratio) {
    if (ratio == 1.0 || !RateUsable(ratio)) return p;
    constexpr double kLimit = 4.611686018427388e18;  // 2^62
    return static_cast<std::int64_t>(
        std::clamp(platform::RoundHalfToEven(static_cast<double>(p) * ratio), -kLimit, kLimit));
}

}  // namespace

bool frmOctCalc::writeLETextFileOfChBands(const std::string& path, bool allChannels, bool allBands) {
    const CBandLCalcInfo* info = ShownBandInfo();
    CPreserve* doc = Records();
    if (!measure_ || info == nullptr || info->LEScopes.count() < 1 || doc == nullptr) return false;
    const std::optional<std::int64_t> S = ScopePosition(info->LEScopes.Item(1).S);
    const std::optional<std::int64_t> E = ScopePosition(info->LEScopes.Item(1).E);
    if (!S || !E) return false;
    const CChMeasureCondition& shown = channel_->ChMeasureCondition;
    const std::int32_t delay = AddBandDelay(shown.oct1or3, band_, 0, shown.LevelOutHz);
    const std::int64_t S0 = *S - delay;
    const std::int64_t E0 = *E - delay;

    // The columns, channels outer and slots inner, with their labels; the row count over every
    // channel of the range, also one that gives no column.
    std::vector<LEColumn> columns;
    std::string title;
    std::int64_t rowCount = 0;
    const std::int32_t shownNumber = cmbCh.SelectedData();
    const std::int32_t firstChannel = allChannels ? 1 : shownNumber;
    const std::int32_t lastChannel = allChannels ? measure_->ChMeasures.count() : shownNumber;
    for (std::int32_t c = std::max(firstChannel, 1); c <= std::min(lastChannel, measure_->ChMeasures.count()); ++c) {
        const CChMeasure& channel = measure_->ChMeasures.Item(c);
        const CChMeasureCondition& condition = channel.ChMeasureCondition;
        const double ratio = condition.LevelOutHz / shown.LevelOutHz;
        const std::int64_t s0 = CarriedPosition(S0, ratio);
        const std::int64_t e0 = CarriedPosition(E0, ratio);
        rowCount = std::max(rowCount, e0 - s0 + 1);
        std::vector<std::int16_t> slots;
        if (allBands) {
            slots = RowSlots(condition.oct1or3);
        } else {
            slots = {condition.GetSameBandIndex(shown.oct1or3, band_)};
        }
        for (const std::int16_t b : slots) {
            if (b < 1) continue;
            LEColumn column;
            column.channel = &channel;
            column.folder = GetBandFolder(doc->SaveFilePath, condition.oct1or3, b);
            const bool own = condition.w >= kFirstUserWeighting;
            column.first =
                own ? s0
                    : AddBandDelay(condition.oct1or3, b,
                                   static_cast<std::int32_t>(std::clamp<std::int64_t>(s0, INT32_MIN, INT32_MAX)),
                                   condition.LevelOutHz);
            const std::int64_t last =
                own ? e0
                    : AddBandDelay(condition.oct1or3, b,
                                   static_cast<std::int32_t>(std::clamp<std::int64_t>(e0, INT32_MIN, INT32_MAX)),
                                   condition.LevelOutHz);
            column.rows = std::max<std::int64_t>(last - column.first + 1, 0);
            columns.push_back(std::move(column));
            const std::string name = b == kWeightedSlot ? condition.getWName(true, g_OriginalWs)
                                                        : std::string(GetBandName(condition.oct1or3, b));
            title += (title.empty() ? "'" : ", ") + CountText(c) + "ch-" + name + "(" +
                     MillisecondsText(condition.LevelOutHz) + "ms間隔)";
        }
    }

    // A failure is told with the system's number and text of the call that failed.
    const auto failed = [this](int error) {
        ui_.MsgBox("ｴﾗｰ番号 " + std::to_string(error) + " Murtesk でｴﾗｰが発生しました。\r" + std::strerror(error),
                   platform::MsgButtons::OK, platform::MsgIcon::None, "ｴﾗｰ");
        return false;
    };
    platform::TextOutput out(path);
    if (!out.Open()) return failed(errno);
    out.Line("'出力開始日時, " + lblLEStart.Caption);
    out.Line("'出力終了日時, " + lblLEEnd.Caption);
    out.Line(kRule);
    out.Line(title);
    out.Line(kRule);

    // The rows in blocks: each column's values of the block read from its level file (positions
    // outside the file give the filler level), then the block's lines.
    std::vector<float> block(static_cast<std::size_t>(kColumnBlockRows) * columns.size());
    std::string text;
    for (std::int64_t k0 = 0; k0 < rowCount; k0 += kColumnBlockRows) {
        const std::int64_t n = std::min(kColumnBlockRows, rowCount - k0);
        for (std::size_t j = 0; j < columns.size(); ++j) {
            const LEColumn& column = columns[j];
            const std::int64_t rows = std::clamp<std::int64_t>(column.rows - k0, 0, n);
            if (rows == 0) continue;
            errno = 0;
            LevelFile file(column.channel->LevelData, column.folder);
            // A missing level file is a column of no power; one that is there and cannot be read fails.
            if (!file.IsOpen() && !column.channel->LevelData.Absent(column.folder))
                return failed(errno != 0 ? errno : EIO);
            float* values = block.data() + j * static_cast<std::size_t>(kColumnBlockRows);
            std::fill_n(values, rows, static_cast<float>(kLevelOutsideFile));
            const std::int64_t from = std::max<std::int64_t>(column.first + k0, 1);
            const std::int64_t to = std::min<std::int64_t>(column.first + k0 + rows - 1, file.Count());
            if (to >= from) {
                const auto want = static_cast<std::int32_t>(to - from + 1);
                if (file.Read(static_cast<std::int32_t>(from), want, values + (from - column.first - k0)) != want)
                    return failed(errno != 0 ? errno : EIO);
            }
        }
        for (std::int64_t k = 0; k < n; ++k) {
            for (std::size_t j = 0; j < columns.size(); ++j) {
                if (j > 0) text += ", ";
                if (k0 + k < columns[j].rows) {
                    AppendPlainLevel(
                        text, block[j * static_cast<std::size_t>(kColumnBlockRows) + static_cast<std::size_t>(k)]);
                } else {
                    text += ' ';
                }
            }
            text += "\r\n";
            if (!FlushBlock(out, text, false)) return failed(errno != 0 ? errno : EIO);
        }
    }
    if (!FlushBlock(out, text, true)) return failed(errno != 0 ? errno : EIO);
    errno = 0;
    if (!out.Commit()) return failed(errno != 0 ? errno : EIO);
    return true;
}

}  // namespace murtesk
