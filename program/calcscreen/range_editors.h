// The range lists of the calculation screen, one editor per list: the excluded ranges and the
// calculation target (their gaps), the LE range, the mark ranges and the level-over ranges. An
// editor works on one list of every band of a band set (every slot of the channel, or the shown one)
// and holds what an edit of that list must recompute: the statistics of the calculation target over
// the excluded ranges' gaps, the LE over the LE range; marks and level-over ranges recompute nothing.
//
// Editors hold no control and tell the user nothing: an edit that recomputes is done whole or not at
// all, and gives false when the statistics of some band could not be saved (every band then keeps
// its list and statistics as they were); the caller tells the user once. Statistics of the bands of a set are recomputed together on the
// processor's cores, and a list that receives many ranges is appended to and merged once.
#pragma once

#include "model/ch_measure.h"
#include "model/scopes.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace murtesk {

struct ShownSelection;

// The band slots an edit reaches, of one channel whose level files lie in the project saved at
// projectPath; slots the channel's band list lacks are left out.
struct BandSet {
    CChMeasure* channel = nullptr;
    std::string projectPath;
    std::vector<std::int16_t> slots;

    // Every slot of the shown channel's band type (allBands), else the shown slot.
    static BandSet Of(const ShownSelection& shown, const std::string& projectPath, bool allBands);
    CBandLCalcInfo& Info(std::int16_t slot) const { return channel->BandLCalcInfos.Item(slot); }
    std::string Folder(std::int16_t slot) const;
    // The number of values of a slot's level file; 0 without one.
    std::int32_t ValueCount(std::int16_t slot) const;
};

// The base of the editors: one list of every band of the set.
class RangeListEditor {
public:
    RangeListEditor(BandSet bands, CScopes CBandLCalcInfo::*list) : bands_(std::move(bands)), list_(list) {}
    CScopes& List(std::int16_t slot) const { return bands_.Info(slot).*list_; }
    const BandSet& Bands() const { return bands_; }
    // Empties the list of every band; nothing is recomputed.
    void Clear() const;

protected:
    BandSet bands_;
    CScopes CBandLCalcInfo::*list_;
};

// Excluded ranges (Scopes): the statistics of each band (LCalc) follow over the gaps within its values.
class ExcludedRanges : public RangeListEditor {
public:
    explicit ExcludedRanges(BandSet bands) : RangeListEditor(std::move(bands), &CBandLCalcInfo::Scopes) {}
    // Adds S..E (kept as given, also where a band has no values).
    bool Add(std::int32_t S, std::int32_t E) const;
    // Adds every range of `ranges` (merged once).
    bool Merge(const CScopes& ranges) const;
    // Gives every band a copy of `ranges` (a band whose list it is keeps it), then recomputes.
    bool CopyToAll(const CScopes& ranges) const;
    // Deletes range `index` (1-based) of slot `slot` alone.
    bool Delete(std::int16_t slot, std::int32_t index) const;
    // Excludes the whole series of every band that has statistics of one; its target is then empty.
    void ExcludeAll() const;
};

// The calculation target: the gaps of the excluded ranges within each band's values.
class TargetRanges : public RangeListEditor {
public:
    explicit TargetRanges(BandSet bands) : RangeListEditor(std::move(bands), &CBandLCalcInfo::Scopes) {}
    // Adds S..E to the target (takes it out of the excluded ranges) of bands with two values or more.
    bool Add(std::int32_t S, std::int32_t E) const;
    // Makes the whole series of those bands the target.
    bool All() const;
};

// The LE range (LEScopes): one range whose exposure level (AllLCalc.LE) each band keeps.
class LERanges : public RangeListEditor {
public:
    explicit LERanges(BandSet bands) : RangeListEditor(std::move(bands), &CBandLCalcInfo::LEScopes) {}
    // Makes S..E the one LE range of every band and computes its LE.
    void Set(std::int32_t S, std::int32_t E) const;
};

// Mark ranges (MarkScopes).
class MarkRanges : public RangeListEditor {
public:
    explicit MarkRanges(BandSet bands) : RangeListEditor(std::move(bands), &CBandLCalcInfo::MarkScopes) {}
    void Add(std::int32_t S, std::int32_t E) const;
    // Erases S..E from the marks of bands with two values or more.
    void Erase(std::int32_t S, std::int32_t E) const;
    // Adds every range of `ranges` (merged once).
    void Merge(const CScopes& ranges) const;
};

// Level-over ("orange") ranges (LevelOverScopes) of the set's bands: the runs at or above a level.
class LevelOverRanges : public RangeListEditor {
public:
    explicit LevelOverRanges(BandSet bands) : RangeListEditor(std::move(bands), &CBandLCalcInfo::LevelOverScopes) {}
    // The runs of each band's series at or above its OverLevel, read in slices of sliceLength values;
    // none where the series cannot be read.
    void Find(std::int32_t sliceLength) const;
};

// A range S..E of a channel in a channel whose rate is `ratio` times its own, keeping its time:
// unchanged at ratio 1, else nearest((S - 1) × ratio) + 1 .. nearest(E × ratio) (halves to even, held
// within 32 bits); a range shorter than one step there keeps the step of its start.
std::pair<std::int32_t, std::int32_t> ChannelRange(std::int32_t S, std::int32_t E, double ratio);
// Every range of a list carried so; ranges whose ends are no positions are left out.
CScopes ChannelRanges(const CScopes& ranges, double ratio);

}  // namespace murtesk
