#include "band_statistics.h"

#include <algorithm>
#include <limits>

#include "globals.h"
#include "model/band_slots.h"
#include "model/mark_statistics.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"

namespace murtesk {

namespace {

// A user correction characteristic (w above 4) has no filter delay of its own to follow.
constexpr std::int16_t kLastBuiltInWeighting = 4;

std::int32_t ClampedPosition(const Variant& end) {
    const std::int64_t p = ScopePosition(end).value_or(0);
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(p, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::vector<std::int32_t> StatisticCodes() {
    std::vector<std::int32_t> codes{kCodeLeq, kCodeLmax, kCodeUpperLeq, kCodeLE};
    for (std::int32_t x = 1; x <= 99; ++x) codes.push_back(x);
    codes.insert(codes.end(), {kCodeLmin, kCodeLFmax, kCodeLWmax});
    return codes;
}

double StoredLevel(double level) { return level <= kNoLevel ? kNoLevel : level; }

std::string LevelDisplay(double level) {
    return level <= kNoLevel ? std::string("---") : platform::FormatNumber(level, "0.0") + "dB";
}

BandStatistics::BandStatistics()
    : channel_(g_ChMeasure),
      band_(g_BandIndex),
      selectNo_(g_SelectNo),
      excludeOwn_(g_CalcAreaInfluence == 1),
      projectPath_(channel_ ? channel_->BandLCalcInfos.context().ProjectFilePath() : std::string()) {}

BandStatistics::~BandStatistics() { Release(); }

bool BandStatistics::MakeAllBandLCalcs(unsigned threads) {
    std::vector<std::int16_t> slots;
    if (channel_) {
        const std::int16_t n = SlotCount(channel_->ChMeasureCondition.oct1or3);
        for (std::int16_t j = 1; j <= n; ++j) slots.push_back(j);
    }
    return Make(slots, threads);
}

bool BandStatistics::MakeOneBandLCalc() {
    if (!channel_ || SlotCount(channel_->ChMeasureCondition.oct1or3) == 0) return Make({}, 1);
    return Make({band_}, 1);
}

bool BandStatistics::Make(const std::vector<std::int16_t>& slots, unsigned threads) {
    Release();
    if (!channel_) return true;
    StatsContext& context = channel_->BandLCalcInfos.context();
    range_.emplace(context);
    upper_.emplace(context);
    slots_ = slots;

    // The mark range; a number beyond the list counts nothing (an empty range S > E).
    std::int32_t S = 1;
    std::int32_t E = 0;
    const CBandLCalcInfos& infos = channel_->BandLCalcInfos;
    if (band_ >= 1 && band_ <= infos.count()) {
        const CScopes& marks = infos.Item(band_).MarkScopes;
        if (selectNo_ >= 1 && selectNo_ <= marks.count()) {
            S = ClampedPosition(marks.Item(selectNo_).S);
            E = ClampedPosition(marks.Item(selectNo_).E);
        }
    }

    const CChMeasureCondition& condition = channel_->ChMeasureCondition;
    std::vector<CScopes> lists;
    std::vector<SlotPair> pairs;
    lists.reserve(slots.size());
    pairs.reserve(slots.size());
    for (const std::int16_t j : slots) {
        // The objects take their histogram file names here, on the calling thread.
        lists.push_back(SlotRangeList(infos, j, S, E, excludeOwn_));
        SlotPair pair;
        pair.Range = range_->Add(std::make_shared<CLCalc>(context)).get();
        pair.Upper = upper_->Add(std::make_shared<CLCalc>(context)).get();
        pair.Ranges = &lists.back();
        pair.LevelData = &channel_->LevelData;
        pair.SaveDir = Folder(j);
        pair.LevelOutHz = condition.LevelOutHz;
        pairs.push_back(std::move(pair));
    }
    return ComputeSlotPairs(pairs, threads);
}

void BandStatistics::Release() {
    if (range_) range_->AllDelete();
    if (upper_) upper_->AllDelete();
    range_.reset();
    upper_.reset();
    slots_.clear();
}

std::int32_t BandStatistics::ItemOf(std::int16_t slot) const {
    const auto it = std::find(slots_.begin(), slots_.end(), slot);
    return it == slots_.end() ? 0 : static_cast<std::int32_t>(it - slots_.begin()) + 1;
}

std::string BandStatistics::Folder(std::int16_t slot) const {
    return GetBandFolder(projectPath_, channel_->ChMeasureCondition.oct1or3, slot);
}

double BandStatistics::Evaluate(std::int32_t code, std::int16_t slot) const {
    return StoredLevel(Raw(code, slot));
}

double BandStatistics::Raw(std::int32_t code, std::int16_t slot) const {
    const std::int32_t item = ItemOf(slot);
    if (item == 0 || CountedNothing(range_->Item(item))) return kNoLevel;
    const CLCalc& range = range_->Item(item);
    switch (code) {
        case kCodeLeq: return range.getLeq();
        case kCodeLmax: return range.getLmax();
        case kCodeLE: return range.LE;
        case kCodeUpperLeq: {
            const CLCalc& upper = upper_->Item(item);
            return CountedNothing(upper) ? kNoLevel : upper.getLeq();
        }
        case kCodeLFmax:
        case kCodeLWmax: {
            const std::int32_t reference = ItemOf(code == kCodeLFmax ? 1 : 2);
            const std::int32_t p = reference == 0 ? -1 : MaximumPosition(range_->Item(reference));
            const CChMeasureCondition& condition = channel_->ChMeasureCondition;
            const bool delayed = code == kCodeLFmax || condition.w <= kLastBuiltInWeighting;
            const auto value = LevelAtMoment(channel_->LevelData, Folder(slot), condition.oct1or3, slot, p,
                                             condition.LevelOutHz, delayed);
            return value ? static_cast<double>(*value) : kNoLevel;
        }
        default: return range.getLx(code);
    }
}

}  // namespace murtesk
