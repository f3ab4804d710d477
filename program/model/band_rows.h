// Rows of band statistics in the text outputs of both screens: one line per band slot of a channel
// with the name, the levels (Leq, Lmax, L5 ... L95), optionally the count and LE, the level of the
// band at the moments of the F and W maxima (LFmax, LWmax) and optionally the user's Lx.
//
// Levels are written as "0.0" and counts as "0" by the program's one formatter. A missing LFmax,
// LWmax (or any single level read at a position) is ", ---"; a missing LE is ",---"; a slot without
// statistics gives a row of its name alone.
//
// The LFmax of band k is the band's level at the F maximum moved later by band k's filter delay
// (AddBandDelay at the channel's level output rate); LWmax the same at the W maximum, except that a
// user correction characteristic (w above 4) takes the W position as it stands.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/level_calc.h"

namespace murtesk {

namespace platform {
class TextOutput;
}
class CChMeasure;
class CMeasure;

// The statistics one row shows.
struct BandRowStatistics {
    std::int32_t num = 0;      // values counted as the statistics keep them; below 1: no statistics
    std::int64_t counted = 0;  // values in the histogram
    double leq = kNoLevel;
    double lmax = kNoLevel;
    std::int32_t lmaxPos = 0;  // absolute 1-based position of the maximum; 0 when none
    LevelHistogram histogram{};
    bool missing = false;      // values were counted, but the histogram file cannot be read: no figures

    bool Empty() const { return num < 1; }
    // The position of the maximum, or -1 without statistics.
    std::int32_t MaximumPosition() const { return Empty() ? -1 : lmaxPos; }
};

// The statistics a band keeps (its histogram file read once); empty for a missing band record, and
// empty and `missing` when the band counted values whose histogram file cannot be read.
BandRowStatistics StoredStatistics(const CLCalc& calc);
// The statistics of one pass, as resetNew would keep them.
BandRowStatistics PassStatistics(const LevelPass& pass);

// The columns besides the name, the nine levels and LFmax and LWmax.
struct BandRowLayout {
    bool num = false;     // the count, after the name
    bool le = false;      // LE, after L95
    std::int16_t lx = 0;  // the user's Lx column when above 0 (100 and above: Lmin)
};

// "BAND, Num,Ｌeq,Ｌmax,Ｌ5,Ｌ10,Ｌ25,Ｌ50,Ｌ75,Ｌ90,Ｌ95,ＬE,ＬFmax,ＬWmax,Ｌ50" and its shorter forms.
std::string BandRowHeader(const BandRowLayout& layout);
// The Lx column's title: none for 0 and below, ",Ｌmin" from 100, else ",Ｌ" and the number.
std::string LxColumnTitle(std::int16_t lx);

// The slots of a channel's rows: F, W, then the bands from the lowest frequency up (empty for a band
// mode other than 1 and 3).
std::vector<std::int16_t> RowSlots(std::int16_t oct1or3);

// The channels of a measurement that the outputs write: those before the first without bands (the
// import adds a second channel that is not analysed to a mono recording); the total they count.
std::int32_t AnalysedChannelCount(const CMeasure& measure);

// The rows of one channel, whose level files lie in the band folders beside the project file.
class BandRows {
public:
    // weightingName: the long name of the channel's frequency weighting, the name of slot 2's rows.
    BandRows(const CChMeasure& channel, std::string projectPath, std::string weightingName);

    // The positions of the F and W maxima (below 1: none).
    void SetMaxima(std::int32_t pF, std::int32_t pW) {
        pF_ = pF;
        pW_ = pW;
    }
    // The stored statistics of slot k; null (or empty) when the channel has no record for it.
    const CLCalc* Calc(std::int16_t slot) const;
    BandRowStatistics Stored(std::int16_t slot) const;
    // True when slot k's stored statistics counted any value.
    bool HasStatistics(std::int16_t slot) const;
    // Sets the maxima from the stored statistics of slots 1 and 2.
    void SetStoredMaxima();

    std::string Name(std::int16_t slot) const;
    // The row of slot k: its name alone when `s` is empty. le: the LE value, or none for "---".
    // file: band k's level file when the caller holds it open.
    std::string Row(std::int16_t slot, const BandRowStatistics& s, const BandRowLayout& layout,
                    const std::optional<double>& le = std::nullopt, LevelFile* file = nullptr) const;
    // "," and the level of band k at pos (moved by its delay when `delayed`), or ", ---" when pos is
    // below 1 or the band's file holds no value there.
    std::string LevelAt(std::int16_t slot, std::int32_t pos, bool delayed = true, LevelFile* file = nullptr) const;
    std::string LFmax(std::int16_t slot, LevelFile* file = nullptr) const { return LevelAt(slot, pF_, true, file); }
    std::string LWmax(std::int16_t slot, LevelFile* file = nullptr) const;

    std::string Folder(std::int16_t slot) const;

private:
    const CChMeasure& channel_;
    std::string projectPath_;
    std::string weightingName_;
    std::int16_t mode_;
    std::int32_t pF_ = -1;
    std::int32_t pW_ = -1;
};

// The block of one channel in the calculation-value outputs, after its heading line: the channel's
// memo, an empty line, its time weighting and calibration level, the header and one row per slot
// (F, W, then the bands from the lowest frequency up) from the stored statistics, with LE from the
// whole-series statistics of a band that has LE ranges. `proceed` is asked before each row; when
// it answers false the block stops there and false is returned. Writes nothing for a band mode
// other than 1 and 3.
bool WriteCalcValueBlock(platform::TextOutput& out, const CChMeasure& channel, const std::string& projectPath,
                         const std::string& weightingName, const std::function<bool()>& proceed);

// "0.0" and "0", the formats of the outputs' levels and counts.
std::string LevelText(double value);
std::string CountText(double value);
// "2／5": a counter and its total, as the outputs number measurements, channels and pieces.
std::string FractionText(std::int32_t i, std::int32_t n);

}  // namespace murtesk
