// The statistics of one mark range per band slot that the band result windows show: what they
// take over from the calculation screen (g_ChMeasure, g_BandIndex, g_SelectNo,
// g_CalcAreaInfluence), the pair of statistics each slot gets over its own list of positions,
// the chooser's order of the statistic codes (model/statistic_codes.h), the evaluation of a code for a slot, and the rule that
// a level at or below -60 dB is no value.
//
// The mark range is the one numbered g_SelectNo among the mark ranges of slot g_BandIndex; it
// serves every slot, each with its own excluded ranges when g_CalcAreaInfluence is 1. The
// statistics live as long as the window that built them; releasing them (or destroying the
// object) deletes every histogram file they wrote. Nothing is stored in the project.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ch_measure.h"
#include "model/level_calcs.h"
#include "model/statistic_codes.h"

namespace murtesk {

// The codes in the chooser's order: Ｌeq, Ｌmax, Ｌeq(Lmax-10dB), ＬE, Ｌ1 ... Ｌ99, Ｌmin, ＬFmax, ＬWmax.
std::vector<std::int32_t> StatisticCodes();

// The no-value rule: at or below -60 dB a level is stored as exactly -60.0 and shown as "---";
// above, it is shown as "0.0" followed by "dB".
double StoredLevel(double level);
std::string LevelDisplay(double level);

// Told once by a window whose statistics could not be stored (a read-only project): the values it
// has no histogram for show as none.
inline constexpr const char* kStatisticsNotStored = "統計データを保存できませんでした．";

class BandStatistics {
public:
    // Takes the hand-over as it stands now; the histogram files go into the "LCalc" folder of the
    // project the channel's statistics belong to.
    BandStatistics();
    ~BandStatistics();
    BandStatistics(const BandStatistics&) = delete;
    BandStatistics& operator=(const BandStatistics&) = delete;

    // Builds the pair of every slot (17 or 47; none for another band mode) on up to `threads`
    // threads (0: one per core). False when a histogram could not be written; that slot then
    // counts nothing.
    bool MakeAllBandLCalcs(unsigned threads = 0);
    // Builds the pair of slot g_BandIndex alone.
    bool MakeOneBandLCalc();

    // The value of `code` for `slot`, at or above -60 (the no-value rule applied): -60 when the
    // slot has no pair or counted nothing. ＬFmax and ＬWmax read one value of the slot's level
    // file at the moment of the F or W maximum; they need the pairs of slots 1 and 2.
    double Evaluate(std::int32_t code, std::int16_t slot) const;

    // Deletes every histogram file and empties both lists.
    void Release();

    // The range statistics and the upper statistics (Lmax - 10 dB), item i for Slots()[i - 1].
    // Both null before a build and after Release.
    const CLCalcs* RangeLCalcs() const { return range_ ? &*range_ : nullptr; }
    const CLCalcs* UpperLCalcs() const { return upper_ ? &*upper_ : nullptr; }
    const std::vector<std::int16_t>& Slots() const { return slots_; }

private:
    // The list item of a slot, 0 when it has none.
    std::int32_t ItemOf(std::int16_t slot) const;
    bool Make(const std::vector<std::int16_t>& slots, unsigned threads);
    double Raw(std::int32_t code, std::int16_t slot) const;
    std::string Folder(std::int16_t slot) const;

    std::shared_ptr<CChMeasure> channel_;
    std::int16_t band_;
    std::int32_t selectNo_;
    bool excludeOwn_;
    std::string projectPath_;
    std::optional<CLCalcs> range_;
    std::optional<CLCalcs> upper_;
    std::vector<std::int16_t> slots_;
};

}  // namespace murtesk
