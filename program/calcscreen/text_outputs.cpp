#include "text_outputs.h"

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
#include <climits>
#include <limits>

namespace murtesk {

namespace {

constexpr const char* kRule = "'--------------------";
constexpr std::int16_t kWeightedSlot = 2;
// The resampled series has ten values for each of the level file's.
constexpr double kResampleFactor = 10.0;
// User correction characteristics (w 5 and above) are computed from the band levels without delay.
constexpr std::int16_t kFirstUserWeighting = 5;
// Rows of the column table read and written at a time.
constexpr std::int64_t kColumnBlockRows = 4096;

std::string DateText(Date date) { return platform::FormatDisplayDate(date); }

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

// Writes a mark-range file: the lines of `blocks` through a text output that takes the path's place
// only when they were all written.
bool WriteMarkText(const std::string& path, const ShownSelection& shown,
                   const std::function<bool(const LineSink&, MarkTableWriter&)>& blocks) {
    if (!shown.measure || !shown.channel) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    bool written = false;
    {
        MarkTableWriter tables(shown.channel->BandLCalcInfos.context());
        written = blocks([&out](std::string_view line) { out.Line(line); }, tables);
    }
    if (!written) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

}  // namespace

bool WriteCalcTextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown) {
    if (!shown.measure) return false;
    const CMeasure& measure = *shown.measure;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    out.Line(measure.MeasureCondition.Account);
    out.Line("出力開始日時,出力終了日時");
    out.Line(DateText(measure.StartTime) + ", " + DateText(measure.EndTime));
    const std::int32_t channels = AnalysedChannelCount(measure);
    for (std::int32_t c = 1; c <= channels; ++c) {
        const CChMeasure& channel = measure.ChMeasures.Item(c);
        if (SlotCount(channel.ChMeasureCondition.oct1or3) == 0) break;
        out.Line("");
        out.Line("< " + FractionText(shown.measureIndex, doc.Measures.count()) + " 測定 " +
                 FractionText(c, channels) + "ch データ >");
        WriteCalcValueBlock(out, channel, doc.SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs),
                            [] { return true; });
    }
    return out.Commit();
}

CScopes PartitionAreas(const ShownSelection& shown, std::int32_t minutes, std::int32_t valueCount) {
    return shown.channel ? PartitionPieces(minutes, shown.Rate(), valueCount) : CScopes();
}

bool WritePartitionAreaCalc(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                            const CScopes& parts, bool calcAreaInfluence, bool allBand) {
    if (!shown.measure || !shown.channel) return false;
    const CMeasure& measure = *shown.measure;
    const double rate = shown.Rate();
    if (!RateUsable(rate)) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    CorePool pool;
    const std::int32_t channels = AnalysedChannelCount(measure);
    for (std::int32_t i = 1; i <= parts.count(); ++i) {
        const std::int64_t S = ScopePosition(parts.Item(i).S).value_or(1);
        const std::int64_t E = ScopePosition(parts.Item(i).E).value_or(0);
        out.Line("");
        out.Line("===== 分割" + CountText(i));
        // Printed to the whole second, as the mark-range outputs print their ranges.
        out.Line("計算開始日時, " + DateText(platform::AddSeconds(measure.StartTime, (S - 1) / rate)));
        out.Line("計算終了日時, " + DateText(platform::AddSeconds(measure.StartTime, (E - 1) / rate)));
        for (std::int32_t c = 1; c <= channels; ++c) {
            const CChMeasure& channel = measure.ChMeasures.Item(c);
            const std::vector<std::int16_t> slots = RowSlots(channel.ChMeasureCondition.oct1or3);
            if (slots.empty()) break;
            out.Line("");
            out.Line(FractionText(c, channels) + "ch データ");
            const std::int16_t count = SlotCount(channel.ChMeasureCondition.oct1or3);
            const std::vector<std::int16_t> written =
                allBand ? slots : std::vector<std::int16_t>{shown.band > count ? kWeightedSlot : shown.band};
            const auto [s, e] = ScaledRange(static_cast<std::int32_t>(S), static_cast<std::int32_t>(E), rate,
                                            channel.ChMeasureCondition.LevelOutHz);
            const BlockEnd end = WritePartitionBlock(
                out, channel, doc.SaveFilePath, channel.ChMeasureCondition.getWName(true, g_OriginalWs), s, e,
                calcAreaInfluence, written, [](double) { return true; }, &pool);
            if (end != BlockEnd::Written) return false;
        }
    }
    return out.Commit();
}

std::optional<bool> WriteResampledLevels(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                                         std::int16_t area) {
    if (!shown.channel) return std::nullopt;
    LevelFile file(shown.channel->LevelData, shown.BandFolder(doc.SaveFilePath, shown.band));
    const std::int64_t n = std::min<std::int64_t>(file.Count(), std::numeric_limits<std::int32_t>::max());
    if (n < 1) return std::nullopt;
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
    const double rate = shown.Rate();
    bool missing = false;
    const bool written = platform::ReplaceFileByPath(path, [&](const std::string& temporary) {
        const std::optional<std::int32_t> result =
            g_WaveLibrary().ChgHz(temporary, values, rate, rate * kResampleFactor, area);
        missing = !result;
        return result.value_or(0) != 0;
    });
    if (missing) return std::nullopt;
    return written;
}

bool WriteLevelTextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                        std::int16_t period, std::int16_t area, std::span<const float> windowLevels) {
    if (!shown.measure || !shown.channel) return false;
    const CChMeasureCondition& condition = shown.channel->ChMeasureCondition;
    const std::int16_t step = std::max<std::int16_t>(period, 1);
    Date start = shown.measure->StartTime;
    Date end = shown.measure->EndTime;
    if (area == 1) {
        const std::optional<TimeWindow> window = WindowOf(shown.channel->CalcXYAxis);
        if (!window) return false;
        start = window->start;
        end = std::min(window->end, shown.measure->EndTime);
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
    out.Line("'" + shown.BandCaption());
    out.Line(kRule);
    bool written = true;
    if (area == 1) {
        // Every value of the span as the chart holds it, thinned from its first.
        std::string text;
        for (std::size_t i = 0; written && i < windowLevels.size(); i += static_cast<std::size_t>(step)) {
            AppendLevelLine(text, windowLevels[i]);
            written = FlushBlock(out, text, false);
        }
        written = written && FlushBlock(out, text, true);
    } else {
        written = shown.channel->LevelData.TextFileOut(out.file(), step, shown.BandFolder(doc.SaveFilePath, shown.band));
    }
    if (!written) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

bool WriteLETextFile(const std::string& path, const CPreserve& doc, const ShownSelection& shown) {
    const CBandLCalcInfo* info = shown.BandInfo();
    const std::optional<ShownSelection::Range> le = shown.LE();
    if (info == nullptr || !le) return false;
    platform::TextOutput out(path);
    if (!out.Open()) return false;
    out.Line("'出力開始日時, " + le->startText);
    out.Line("'出力終了日時, " + le->endText);
    out.Line("'出力サンプリング間隔, " + MillisecondsText(shown.Rate()) + "ms");
    out.Line("'ＬE(dB), " + LevelText(info->AllLCalc.LE));
    out.Line(kRule);
    out.Line("'" + shown.BandCaption());
    out.Line(kRule);
    if (!shown.channel->LevelData.TextFileAreaOut(out.file(), static_cast<std::int32_t>(le->S),
                                                  static_cast<std::int32_t>(le->E),
                                                  shown.BandFolder(doc.SaveFilePath, shown.band))) {
        out.Discard();
        return false;
    }
    return out.Commit();
}

bool WriteLETextFileOfChBands(const std::string& path, const CPreserve& doc, const ShownSelection& shown,
                              bool allChannels, bool allBands, int& error) {
    error = 0;
    const std::optional<ShownSelection::Range> le = shown.LE();
    if (!le) return false;
    const CMeasure& measure = *shown.measure;
    const CChMeasureCondition& shownCondition = shown.channel->ChMeasureCondition;
    const std::int32_t delay = AddBandDelay(shownCondition.oct1or3, shown.band, 0, shownCondition.LevelOutHz);
    const std::int64_t S0 = le->S - delay;
    const std::int64_t E0 = le->E - delay;

    // The columns, channels outer and slots inner, with their labels; the row count over every
    // channel of the range, also one that gives no column.
    std::vector<LEColumn> columns;
    std::string title;
    std::int64_t rowCount = 0;
    const std::int32_t firstChannel = allChannels ? 1 : shown.channelNumber;
    const std::int32_t lastChannel = allChannels ? measure.ChMeasures.count() : shown.channelNumber;
    for (std::int32_t c = std::max(firstChannel, 1); c <= std::min(lastChannel, measure.ChMeasures.count()); ++c) {
        const CChMeasure& channel = measure.ChMeasures.Item(c);
        const CChMeasureCondition& condition = channel.ChMeasureCondition;
        const double ratio = condition.LevelOutHz / shownCondition.LevelOutHz;
        const std::int64_t s0 = CarriedPosition(S0, ratio);
        const std::int64_t e0 = CarriedPosition(E0, ratio);
        rowCount = std::max(rowCount, e0 - s0 + 1);
        std::vector<std::int16_t> slots;
        if (allBands) {
            slots = RowSlots(condition.oct1or3);
        } else {
            slots = {condition.GetSameBandIndex(shownCondition.oct1or3, shown.band)};
        }
        for (const std::int16_t b : slots) {
            if (b < 1) continue;
            LEColumn column;
            column.channel = &channel;
            column.folder = GetBandFolder(doc.SaveFilePath, condition.oct1or3, b);
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

    // A failure keeps the system's number of the call that failed.
    const auto failed = [&error](int number) {
        error = number != 0 ? number : EIO;
        return false;
    };
    platform::TextOutput out(path);
    if (!out.Open()) return failed(errno);
    out.Line("'出力開始日時, " + le->startText);
    out.Line("'出力終了日時, " + le->endText);
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
            if (!file.IsOpen() && !column.channel->LevelData.Absent(column.folder)) return failed(errno);
            float* values = block.data() + j * static_cast<std::size_t>(kColumnBlockRows);
            std::fill_n(values, rows, static_cast<float>(kLevelOutsideFile));
            const std::int64_t from = std::max<std::int64_t>(column.first + k0, 1);
            const std::int64_t to = std::min<std::int64_t>(column.first + k0 + rows - 1, file.Count());
            if (to >= from) {
                const auto want = static_cast<std::int32_t>(to - from + 1);
                if (file.Read(static_cast<std::int32_t>(from), want, values + (from - column.first - k0)) != want)
                    return failed(errno);
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
            if (!FlushBlock(out, text, false)) return failed(errno);
        }
    }
    if (!FlushBlock(out, text, true)) return failed(errno);
    errno = 0;
    if (!out.Commit()) return failed(errno);
    return true;
}

bool WriteMarkAreaCalc(const std::string& path, const ShownSelection& shown, bool allBand, bool calcAreaInfluence) {
    return WriteMarkText(path, shown, [&](const LineSink& line, MarkTableWriter& tables) {
        return WriteMarkAreaBlocks(line, tables, *shown.measure, *shown.channel, shown.band, allBand,
                                   calcAreaInfluence);
    });
}

bool WriteAllChMarkAreaCalc(const std::string& path, const ShownSelection& shown, bool calcAreaInfluence) {
    return WriteMarkText(path, shown, [&](const LineSink& line, MarkTableWriter& tables) {
        return WriteAllChannelMarkAreaBlocks(line, tables, *shown.measure, *shown.channel, shown.band,
                                             calcAreaInfluence);
    });
}

}  // namespace murtesk
