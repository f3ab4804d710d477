#include "model/mark_statistics.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "model/band_recalc.h"
#include "model/band_slots.h"
#include "model/level_accumulator.h"

namespace murtesk {

CScopes SlotRangeList(const CBandLCalcInfos& infos, std::int16_t slot, std::int32_t S, std::int32_t E,
                      bool excludeOwn) {
    CScopes list;
    if (slot < 1 || slot > infos.count() || S > E) return list;
    if (excludeOwn) return infos.Item(slot).Scopes.getReverse(Variant(S), Variant(E));
    list.SimpleAdd(std::make_shared<CScope>(Variant(S), Variant(E)));
    return list;
}

double ExposureLevelOfRanges(const CScopes& ranges, const CData& LevelData, const std::string& SaveDir,
                             double LevelOutHz, std::int32_t sliceLength) {
    if (!(LevelOutHz > 0.0 && LevelOutHz < std::numeric_limits<double>::infinity())) return kNoLevel;
    const std::int64_t available = LevelData.getDataNumNoWait(SaveDir);
    sliceLength = std::max<std::int32_t>(sliceLength, 1);
    std::vector<float> slice;
    CompensatedSum energy;
    for (const auto& r : ranges) {
        const auto s = ScopePosition(r->S);
        const auto e = ScopePosition(r->E);
        if (!s || !e || *s < 1) continue;
        const std::int64_t last = std::min(*e, available);
        for (std::int64_t pos = *s; pos <= last;) {
            const auto want = static_cast<std::int32_t>(std::min<std::int64_t>(sliceLength, last - pos + 1));
            if (slice.size() < static_cast<std::size_t>(want)) slice.resize(static_cast<std::size_t>(want));
            const std::int32_t got = LevelData.ReadArea(static_cast<std::int32_t>(pos), want, SaveDir, slice.data());
            if (got <= 0) break;
            energy.Add(EnergySum(slice.data(), static_cast<std::size_t>(got)));
            pos += got;
        }
    }
    const double sum = energy.Value();
    return sum > 0.0 ? 10.0 * std::log10(sum) - 10.0 * std::log10(LevelOutHz) : kNoLevel;
}

bool ComputeSlotPair(const std::string& LCalcFolder, SlotPair& pair, std::int32_t sliceLength) {
    CLCalc& range = *pair.Range;
    CLCalc& upper = *pair.Upper;
    pair.Saved = false;
    try {
        if (range.ResetNewIn(LCalcFolder, *pair.Ranges, *pair.LevelData, pair.SaveDir, sliceLength)) {
            range.LE = ExposureLevelOfRanges(*pair.Ranges, *pair.LevelData, pair.SaveDir, pair.LevelOutHz, sliceLength);
            pair.Saved = upper.ResetNewMaxMinusNAreaIn(LCalcFolder, *pair.Ranges, *pair.LevelData, pair.SaveDir,
                                                       range.getLmax(), kUpperSpanDb, sliceLength);
        }
    } catch (const std::bad_alloc&) {
        pair.Saved = false;
    }
    if (!pair.Saved) {
        // Neither half of a pair stands alone.
        range.Scope.E = std::int32_t{0};
        upper.Scope.E = std::int32_t{0};
        range.LE = kNoLevel;
    }
    return pair.Saved;
}

bool ComputeSlotPairs(std::span<SlotPair> pairs, unsigned threads, std::int32_t sliceLength) {
    if (pairs.empty()) return true;
    const std::string folder = pairs.front().Range->LxData.context().LCalcFolder();
    OnCores(pairs.size(), threads, [&](std::size_t i) { ComputeSlotPair(folder, pairs[i], sliceLength); });
    return std::all_of(pairs.begin(), pairs.end(), [](const SlotPair& p) { return p.Saved; });
}

bool CountedNothing(const CLCalc& calc) { return ScopePosition(calc.Scope.E).value_or(0) < 1; }

std::int32_t MaximumPosition(const CLCalc& calc) { return CountedNothing(calc) ? -1 : calc.getLmaxPos(); }

std::optional<float> LevelAtMoment(const CData& LevelData, const std::string& SaveDir, std::int16_t oct1or3,
                                   std::int16_t slot, std::int32_t pos, double LevelOutHz, bool delayed) {
    if (pos < 1) return std::nullopt;
    const std::int32_t q = delayed ? AddBandDelay(oct1or3, slot, pos, LevelOutHz) : pos;
    float value = 0.0f;
    if (LevelData.ReadArea(q, 1, SaveDir, &value) != 1) return std::nullopt;
    return value;
}

}  // namespace murtesk
