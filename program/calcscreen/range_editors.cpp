#include "range_editors.h"

#include "range_work.h"
#include "shown_selection.h"

#include "model/band_recalc.h"
#include "model/band_slots.h"
#include "model/level_over.h"
#include "model/shared_procedures.h"
#include "platform/numbers.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace murtesk {

using calc::GapsWithin;
using calc::NewRange;
using calc::Recalcs;

BandSet BandSet::Of(const ShownSelection& shown, const std::string& projectPath, bool allBands) {
    BandSet set;
    set.channel = shown.channel.get();
    set.projectPath = projectPath;
    if (!shown.channel) {
        return set;
    }
    const std::int32_t listed = shown.channel->BandLCalcInfos.count();
    if (allBands) {
        const std::int16_t slots = SlotCount(shown.channel->ChMeasureCondition.oct1or3);
        for (std::int16_t slot = 1; slot <= slots && slot <= listed; ++slot) {
            set.slots.push_back(slot);
        }
    } else if (shown.band >= 1 && shown.band <= listed) {
        set.slots.push_back(shown.band);
    }
    return set;
}

std::string BandSet::Folder(std::int16_t slot) const {
    return channel != nullptr ? GetBandFolder(projectPath, channel->ChMeasureCondition.oct1or3, slot) : std::string();
}

std::int32_t BandSet::ValueCount(std::int16_t slot) const {
    return channel != nullptr ? channel->LevelData.getDataNumNoWait(Folder(slot)) : 0;
}

void RangeListEditor::Clear() const {
    for (const std::int16_t slot : bands_.slots) {
        List(slot).AllDelete();
    }
}

// ---- Excluded ranges and the calculation target

namespace {

// Each band's excluded ranges made anew by `edit` (on the cores), then its statistics recomputed over
// their gaps: every band or none (Recalcs).
bool EditExcluded(const BandSet& bands, const std::function<Recalcs::Edit(std::int16_t)>& edit) {
    Recalcs work;
    for (const std::int16_t slot : bands.slots) {
        CBandLCalcInfo& info = bands.Info(slot);
        work.AddEdited(info.Scopes, edit(slot), bands.ValueCount(slot), info.LCalc, bands.channel->LevelData,
                       bands.Folder(slot));
    }
    return work.Run();
}

}  // namespace

bool ExcludedRanges::Add(std::int32_t S, std::int32_t E) const {
    return EditExcluded(bands_, [S, E](std::int16_t) {
        return [S, E](const CScopes& ranges) {
            CScopes added = ranges;
            added.AddOneNoOverlap(NewRange(S, E));
            return added;
        };
    });
}

bool ExcludedRanges::Merge(const CScopes& ranges) const {
    return EditExcluded(bands_, [&ranges](std::int16_t) {
        return [&ranges](const CScopes& list) {
            CScopes merged = list;
            merged.AppendMerged(ranges);
            return merged;
        };
    });
}

bool ExcludedRanges::CopyToAll(const CScopes& ranges) const {
    return EditExcluded(bands_, [this, &ranges](std::int16_t slot) -> Recalcs::Edit {
        if (&List(slot) == &ranges) return {};
        return [&ranges](const CScopes&) { return ranges; };
    });
}

bool ExcludedRanges::Delete(std::int16_t slot, std::int32_t index) const {
    const CScopes& list = List(slot);
    if (index < 1 || index > list.count()) return true;
    Recalcs work;
    work.AddEdited(
        bands_.Info(slot).Scopes,
        [index](const CScopes& ranges) {
            CScopes kept = ranges;
            kept.Delete(index);
            return kept;
        },
        bands_.ValueCount(slot), bands_.Info(slot).LCalc, bands_.channel->LevelData, bands_.Folder(slot));
    return work.Run();
}

void ExcludedRanges::ExcludeAll() const {
    for (const std::int16_t slot : bands_.slots) {
        CBandLCalcInfo& info = bands_.Info(slot);
        // A band without statistics of its series has no series to exclude.
        if (!(info.AllLCalc.Scope.E.AsDouble() >= 1.0)) {
            continue;
        }
        info.Scopes.AllDelete();
        info.Scopes.SimpleAdd(std::make_shared<CScope>(info.AllLCalc.Scope.MeCopy()));
        info.LCalc.initdB();
    }
}

// Bands with fewer than two values are left alone (an empty edit with nothing to count).
bool TargetRanges::Add(std::int32_t S, std::int32_t E) const {
    return EditExcluded(bands_, [this, S, E](std::int16_t slot) -> Recalcs::Edit {
        const std::int32_t n = bands_.ValueCount(slot);
        if (n <= 1) return {};
        return [S, E, n](const CScopes& ranges) {
            CScopes target = GapsWithin(ranges, n);
            target.AddOneNoOverlap(NewRange(S, E));
            return GapsWithin(target, n);
        };
    });
}

bool TargetRanges::All() const {
    return EditExcluded(bands_, [this](std::int16_t slot) -> Recalcs::Edit {
        if (bands_.ValueCount(slot) <= 1) return {};
        return [](const CScopes&) { return CScopes{}; };
    });
}

// ---- LE, marks, level-over ranges

void LERanges::Set(std::int32_t S, std::int32_t E) const {
    std::vector<BandLE> work;
    for (const std::int16_t slot : bands_.slots) {
        CBandLCalcInfo& info = bands_.Info(slot);
        info.LEScopes.AllDelete();
        info.LEScopes.SimpleAdd(NewRange(S, E));
        work.push_back({&info.AllLCalc, &bands_.channel->LevelData, bands_.Folder(slot), S, E,
                        bands_.channel->ChMeasureCondition.LevelOutHz});
    }
    GetLEBands(work);
}

void MarkRanges::Add(std::int32_t S, std::int32_t E) const {
    for (const std::int16_t slot : bands_.slots) {
        List(slot).AddOneNoOverlap(NewRange(S, E));
    }
}

void MarkRanges::Erase(std::int32_t S, std::int32_t E) const {
    for (const std::int16_t slot : bands_.slots) {
        const std::int32_t n = bands_.ValueCount(slot);
        if (n <= 1) {
            continue;
        }
        CScopes& marks = List(slot);
        CScopes gaps = GapsWithin(marks, n);
        gaps.AddOneNoOverlap(NewRange(S, E));
        marks = GapsWithin(gaps, n);
    }
}

void MarkRanges::Merge(const CScopes& ranges) const {
    std::vector<std::pair<CScopes*, const CScopes*>> lists;
    for (const std::int16_t slot : bands_.slots) {
        lists.emplace_back(&List(slot), &ranges);
    }
    calc::AppendAndMerge(lists);
}

void LevelOverRanges::Find(std::int32_t sliceLength) const {
    for (const std::int16_t slot : bands_.slots) {
        CBandLCalcInfo& info = bands_.Info(slot);
        auto runs = FindLevelOverScopes(bands_.channel->LevelData, bands_.Folder(slot), bands_.ValueCount(slot),
                                        info.OverLevel, sliceLength, {});
        info.LevelOverScopes = runs ? std::move(*runs) : CScopes{};
    }
}

// ---- Ranges carried to another channel

std::pair<std::int32_t, std::int32_t> ChannelRange(std::int32_t S, std::int32_t E, double ratio) {
    if (ratio == 1.0) {
        return {S, E};
    }
    // Positions stay within 32 bits; a scale past them is held at the edge, never wrapped.
    const auto held = [](double p) {
        constexpr double lo = std::numeric_limits<std::int32_t>::min();
        constexpr double hi = std::numeric_limits<std::int32_t>::max();
        return static_cast<std::int32_t>(std::clamp(p, lo, hi));
    };
    // The start keeps its time, (S - 1) steps after position 1; the end the time its step ends.
    const std::int32_t s = held(platform::RoundHalfToEven((static_cast<double>(S) - 1.0) * ratio) + 1.0);
    std::int32_t e = held(platform::RoundHalfToEven(static_cast<double>(E) * ratio));
    if (S <= E && e < s) {
        e = s;  // shorter than a step of the target: the step its start falls in
    }
    return {s, e};
}

CScopes ChannelRanges(const CScopes& ranges, double ratio) {
    CScopes converted;
    for (std::int32_t i = 1; i <= ranges.count(); ++i) {
        const auto S = ScopePosition(ranges.Item(i).S);
        const auto E = ScopePosition(ranges.Item(i).E);
        if (!S || !E) {
            continue;
        }
        const auto clamp32 = [](std::int64_t v) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                                      std::numeric_limits<std::int32_t>::max()));
        };
        const auto [s, e] = ChannelRange(clamp32(*S), clamp32(*E), ratio);
        converted.SimpleAdd(NewRange(s, e));
    }
    return converted;
}

}  // namespace murtesk
