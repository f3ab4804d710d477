#include "mark_tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "globals.h"
#include "model/core_pool.h"
#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/level_accumulator.h"
#include "model/mark_statistics.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

namespace murtesk {

namespace {

constexpr const char* kMissing = ", ---";
constexpr std::int16_t kLmin = 100;
// A user correction characteristic (w above 4) has no filter delay of its own to follow.
constexpr std::int16_t kLastBuiltInWeighting = 4;

std::int32_t Clamped(std::int64_t v) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t Position(const Variant& end) { return Clamped(ScopePosition(end).value_or(0)); }

bool RateUsable(double rate) { return rate > 0.0 && rate < std::numeric_limits<double>::infinity(); }

std::string Level(double value) { return "," + LevelText(value); }
std::string Whole(std::int64_t value) { return CountText(static_cast<double>(value)); }

// The date and time of position p, cut to the whole second as the display shows it.
std::string TimeOf(const CMeasure& measure, std::int32_t p, double rate) {
    const double seconds = RateUsable(rate) ? (static_cast<double>(p) - 1.0) / rate : 0.0;
    return platform::FormatDisplayDate(platform::AddSeconds(measure.StartTime, seconds));
}

// What a row needs of the pair computed for its slot, kept once the pair serves the next slot.
struct SlotResult {
    bool saved = false;
    std::int64_t count = 0;  // values in the range statistics
    std::int64_t upperCount = 0;
    double leq = kNoLevel;
    double lmax = kNoLevel;
    std::int32_t lmaxPos = -1;  // absolute; -1 when nothing was counted
    double le = kNoLevel;
    double upperLeq = kNoLevel;
    std::int64_t counted = 0;  // values in the histogram
    LevelHistogram histogram{};
};

SlotResult ResultOf(const SlotPair& pair) {
    SlotResult r;
    r.saved = pair.Saved;
    r.count = ScopePosition(pair.Range->Scope.E).value_or(0);
    r.upperCount = ScopePosition(pair.Upper->Scope.E).value_or(0);
    r.histogram = pair.Histogram;
    for (const std::int32_t c : r.histogram) r.counted += c;
    r.leq = EquivalentLevel(pair.Range->m_dBSum, r.counted);
    r.lmax = pair.Range->getLmax();
    r.lmaxPos = MaximumPosition(*pair.Range);
    r.le = pair.Range->LE;
    r.upperLeq = EquivalentLevel(pair.Upper->m_dBSum, r.upperCount);
    return r;
}

std::string Row(const CChMeasure& channel, std::int16_t slot, const SlotResult& r, const std::string& folder,
                const std::string& weightingName, std::int32_t pF, std::int32_t pW, std::string_view seconds) {
    const CChMeasureCondition& condition = channel.ChMeasureCondition;
    if (r.count < 1 || !RateUsable(condition.LevelOutHz)) return std::string(GetBandName(condition.oct1or3, slot));
    std::string row = slot == 2 ? weightingName : std::string(GetBandName(condition.oct1or3, slot));
    row += Level(r.leq) + Level(r.lmax);
    // The percentiles and the channel's own Lx (100 and above: the lowest level) in one pass.
    const std::int16_t lx = channel.CalcXYAxis.Lx;
    const std::array<std::int32_t, 8> xs{5, 10, 25, 50, 75, 90, 95, std::clamp<std::int32_t>(lx, 1, kLmin)};
    std::array<double, 8> levels{};
    HistogramPercentiles(r.histogram, r.counted, xs, levels);
    for (std::size_t i = 0; i < 7; ++i) row += Level(levels[i]);
    row += Level(r.le) + Level(r.upperLeq);
    auto moment = [&](std::int32_t p, bool delayed) {
        const auto v = LevelAtMoment(channel.LevelData, folder, condition.oct1or3, slot, p, condition.LevelOutHz, delayed);
        return v ? Level(*v) : std::string(kMissing);
    };
    row += moment(pF, true);
    row += moment(pW, condition.w <= kLastBuiltInWeighting);
    row += lx < 1 ? std::string(kMissing) : Level(levels[7]);
    row += "," + platform::FormatNumber(static_cast<double>(r.count) / condition.LevelOutHz, seconds);
    row += "," + platform::FormatNumber(static_cast<double>(r.upperCount) / condition.LevelOutHz, seconds);
    return row;
}

}  // namespace

std::string MarkTableHeader(std::int16_t lx) {
    std::string header = "BAND,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,Ｌeq(Ｌmax-10dB),ＬFmax,ＬWmax";
    header += lx < 1 ? std::string(kMissing) : lx > 99 ? std::string(",Ｌmin") : ",Ｌ" + Whole(lx);
    return header + ",計算秒数, 計算秒数(Ｌmax-10dB)";
}

std::pair<std::int32_t, std::int32_t> ScaledRange(std::int32_t S, std::int32_t E, double rateShown, double rate) {
    const double ratio = rate / rateShown;
    if (ratio == 1.0 || !RateUsable(rate) || !RateUsable(rateShown)) return {S, E};
    auto scale = [ratio](std::int32_t p) {
        const double v = platform::RoundHalfToEven(ratio * static_cast<double>(p));
        return Clamped(static_cast<std::int64_t>(std::clamp(v, -9.0e18, 9.0e18)));
    };
    return {std::max(scale(S), 1), scale(E)};
}

MarkTableWriter::MarkTableWriter(StatsContext& context, unsigned threads) : context_(context), threads_(threads) {}

MarkTableWriter::~MarkTableWriter() { DeleteFiles(); }

void MarkTableWriter::DeleteFiles() {
    for (const auto& calc : range_) calc->DeleteFile();
    for (const auto& calc : upper_) calc->DeleteFile();
}

bool MarkTableWriter::WriteTable(const LineSink& out, const CChMeasure& channel, std::int32_t S, std::int32_t E,
                                 bool excludeOwn, std::int16_t onlySlot, std::string_view seconds) {
    const CChMeasureCondition& condition = channel.ChMeasureCondition;
    const std::vector<std::int16_t> rows = onlySlot > 0 && SlotCount(condition.oct1or3) > 0
                                               ? std::vector<std::int16_t>{onlySlot}
                                               : RowSlots(condition.oct1or3);
    if (rows.empty()) return false;
    // The slots computed: those of the rows, and F and W for the moments of their maxima.
    std::vector<std::int16_t> slots = rows;
    for (const std::int16_t reference : {std::int16_t{1}, std::int16_t{2}})
        if (std::find(slots.begin(), slots.end(), reference) == slots.end()) slots.push_back(reference);

    // Each thread computes its slots with a pair of its own, whose histogram files it rewrites from
    // slot to slot; the threads and the objects are made here, on the calling thread.
    if (!pool_) pool_ = std::make_unique<CorePool>(threads_);
    const unsigned workers = pool_->Threads();
    while (range_.size() < workers) {
        range_.push_back(std::make_unique<CLCalc>(context_));
        upper_.push_back(std::make_unique<CLCalc>(context_));
    }
    const std::string project = context_.ProjectFilePath();
    const std::string lcalcFolder = context_.LCalcFolder();
    std::vector<CScopes> lists;
    std::vector<std::string> folders;
    for (const std::int16_t slot : slots) {
        lists.push_back(SlotRangeList(channel.BandLCalcInfos, slot, S, E, excludeOwn));
        folders.push_back(GetBandFolder(project, condition.oct1or3, slot));
    }
    std::vector<SlotResult> results(slots.size());
    pool_->Run(slots.size(), [&](std::size_t i, unsigned worker) {
        SlotPair pair;
        pair.Range = range_[worker].get();
        pair.Upper = upper_[worker].get();
        pair.Ranges = &lists[i];
        pair.LevelData = &channel.LevelData;
        pair.SaveDir = folders[i];
        pair.LevelOutHz = condition.LevelOutHz;
        ComputeSlotPair(lcalcFolder, pair);
        results[i] = ResultOf(pair);
    });
    if (!std::all_of(results.begin(), results.end(), [](const SlotResult& r) { return r.saved; })) return false;

    auto result = [&](std::int16_t slot) -> const SlotResult& {
        return results[static_cast<std::size_t>(std::find(slots.begin(), slots.end(), slot) - slots.begin())];
    };
    const std::int32_t pF = result(1).lmaxPos;
    const std::int32_t pW = result(2).lmaxPos;
    const std::string weightingName = condition.getWName(true, g_OriginalWs);
    std::vector<std::string> text(rows.size());
    pool_->Run(rows.size(), [&](std::size_t i, unsigned) {
        text[i] = Row(channel, rows[i], results[i], folders[i], weightingName, pF, pW, seconds);
    });
    out(MarkTableHeader(channel.CalcXYAxis.Lx));
    for (const std::string& line : text) out(line);
    return true;
}

bool WriteMarkAreaBlocks(const LineSink& out, MarkTableWriter& tables, const CMeasure& measure,
                         const CChMeasure& shown, std::int16_t band, bool allSlots, bool excludeOwn) {
    if (band < 1 || band > shown.BandLCalcInfos.count()) return true;
    const CScopes& marks = shown.BandLCalcInfos.Item(band).MarkScopes;
    const std::int32_t count = marks.count();
    const CChMeasureCondition& condition = shown.ChMeasureCondition;
    for (std::int32_t i = 1; i <= count; ++i) {
        if (SlotCount(condition.oct1or3) == 0) break;
        out("============ " + Whole(i) + ", 動特性" + condition.getTREName(true));
        const std::int32_t S = Position(marks.Item(i).S);
        const std::int32_t E = Position(marks.Item(i).E);
        out("計算開始日時, " + TimeOf(measure, S, condition.LevelOutHz));
        out("計算終了日時, " + TimeOf(measure, E, condition.LevelOutHz));
        if (!tables.WriteTable(out, shown, S, E, excludeOwn, allSlots ? 0 : band, "0.0")) return false;
    }
    return true;
}

bool WriteAllChannelMarkAreaBlocks(const LineSink& out, MarkTableWriter& tables, const CMeasure& measure,
                                   const CChMeasure& shown, std::int16_t band, bool excludeOwn) {
    if (band < 1 || band > shown.BandLCalcInfos.count()) return true;
    const CScopes& marks = shown.BandLCalcInfos.Item(band).MarkScopes;
    const std::int32_t count = marks.count();
    const double rateShown = shown.ChMeasureCondition.LevelOutHz;
    const std::int32_t channels = measure.ChMeasures.count();
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::int32_t S = Position(marks.Item(i).S);
        const std::int32_t E = Position(marks.Item(i).E);
        out("===> マーク範囲 " + Whole(i) + " ／ " + Whole(count));
        out("計算開始日時, " + TimeOf(measure, S, rateShown));
        out("計算終了日時, " + TimeOf(measure, E, rateShown));
        for (std::int32_t c = 1; c <= channels; ++c) {
            const CChMeasure& channel = measure.ChMeasures.Item(c);
            const CChMeasureCondition& condition = channel.ChMeasureCondition;
            out("");
            out("----> " + Whole(c) + "ch ／ " + Whole(channels) + "ch, 動特性" + condition.getTREName(true));
            if (SlotCount(condition.oct1or3) == 0) break;
            const auto [s, e] = ScaledRange(S, E, rateShown, condition.LevelOutHz);
            const bool written = tables.WriteTable(out, channel, s, e, excludeOwn, 0, "0.000");
            tables.DeleteFiles();
            if (!written) return false;
        }
        out("");
    }
    return true;
}

}  // namespace murtesk
