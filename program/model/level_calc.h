// The level statistics engine of one band: Leq, Lmax and its position, Lmin, the percentile
// levels Lx, LE and the number of values, over a list of ranges of the band's level series.
// One pass over the series fills a histogram of 0.1 dB bins from -60 dB, kept in a level
// histogram file (".ldt", 2300 little-endian 32-bit counts) in the project's "LCalc" folder;
// the object itself keeps the file's name and a few numbers, as its record does.
//
// Copies name the same histogram file: deleting it through either removes it for both (stored
// projects hold such pairs). Nothing here deletes a file when an object goes away. In the open
// project a file its saved project file names is never changed before the next save
// (histogram_files.h).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <tuple>

#include "model/level_accumulator.h"
#include "model/level_data.h"
#include "model/record_stream.h"
#include "model/scopes.h"
#include "model/stats_context.h"

namespace murtesk {

class CLCalcs;

// Bin counts of one or more histograms taken together, in 64 bits (two full histograms exceed 32).
using LevelCounts = std::array<std::int64_t, kHistogramBins>;

// The Lx of a histogram: X = 100 gives the lowest non-empty bin (Lmin); any other X the first
// bin whose running count reaches total * (100 - X) / 100. -60 when the histogram is empty.
double HistogramPercentile(const LevelCounts& histogram, std::int32_t X);
// The Lx of every X of `xs` at once (out[i] for xs[i], as HistogramPercentile gives each), in one
// pass over the bins; total is the sum of the counts.
void HistogramPercentiles(const LevelHistogram& histogram, std::int64_t total, std::span<const std::int32_t> xs,
                          std::span<double> out);

// Leq of n values whose energy sum is dBSum (as a level): -60 when nothing was counted or the sum
// has not started.
double EquivalentLevel(double dBSum, std::int64_t n);

// One pass of the statistics over the values of a level file inside ranges, in list order, kept
// in memory: what resetNew computes before it saves the histogram.
struct LevelPass {
    LevelHistogram histogram{};
    double dBSum = kEmptyEnergySum;
    double lmax = kNoLevel;
    std::int32_t lmaxPos = 0;         // absolute 1-based position of lmax; 0 when none
    std::int32_t lastRangeTaken = 0;  // values taken from the last range
    bool complete = true;             // false when no memory could be had for a slice, or when stopped
    std::int64_t count = 0;           // values counted in the histogram
    // The Leq of the values counted.
    double Leq() const;
};

// Reads the values in slices of at most sliceLength; only values at or above floor are taken
// (-infinity takes all).
LevelPass PassOverRanges(const CScopes& ranges, const CData& levels, const std::string& SaveDir, double floor,
                         std::int32_t sliceLength = kStatsSliceLength);
// The same over a level file already open.
LevelPass PassOverRanges(const CScopes& ranges, LevelFile& file, double floor,
                         std::int32_t sliceLength = kStatsSliceLength);
// The same over ranges given as positions. The file is read a slice at a time, each slice running
// on over the ranges that follow closely, so many short ranges cost few reads. `onSlice`, when
// given, is told how many values each slice (or part of one) gave once they are counted; when it
// answers false the pass stops there, not complete.
LevelPass PassOverRanges(std::span<const PositionRange> ranges, LevelFile& file, double floor,
                         std::int32_t sliceLength = kStatsSliceLength,
                         const std::function<bool(std::int32_t values)>& onSlice = {});

// A level histogram file, named at creation from the clock and the running number.
class CLCalcData : public Record<CLCalcData> {
public:
    explicit CLCalcData(StatsContext& context);

    std::string SaveFileName;

    static constexpr std::int32_t getDataNum() { return kHistogramBins; }
    // The counts of the file in SaveDir: zeros when it is absent, unreadable or of a foreign
    // length; a file of the older 2000 bins reads with zeros on top.
    LevelHistogram getData(const std::string& SaveDir) const;
    // The same, but none when the file is absent, unreadable or of a foreign length.
    std::optional<LevelHistogram> ReadData(const std::string& SaveDir) const;
    // Writes the counts as the file in SaveDir, creating the folder when it is missing. In the open
    // project the counts may go to a new file, which SaveFileName then names (histogram_files.h).
    bool SaveData(const LevelHistogram& IArray, const std::string& SaveDir);

    StatsContext& context() const { return *context_; }

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.SaveFileName);
    }
    static auto Compared(const CLCalcData& r) { return std::tie(r.SaveFileName); }

private:
    StatsContext* context_;
};

class CLCalc : public Record<CLCalc> {
public:
    // A new, empty statistics object; its histogram file gets a fresh name (the file itself
    // exists only once resetNew has saved it).
    explicit CLCalc(StatsContext& context);

    // After resetNew: S = 1 and E = the number of values counted; after initdB both 0.
    CScope Scope;
    CLCalcData LxData;
    double m_dBSum = kEmptyEnergySum;  // energy sum as a level; below -60 means nothing yet
    double Lmax = kNoLevel;
    std::int32_t LmaxPos = 0;          // absolute position of Lmax in the series; 0 when none
    double LE = kNoLevel;              // last result of getLE
    std::int32_t m_Cnt = 0;            // values taken since the current range began

    // Empties the statistics and deletes the histogram file (its name is kept, unless the saved
    // project names the file, which then stays until the next save).
    void initdB();
    // True when the statistics counted values (Scope.E at least 1).
    bool Counted() const { return Scope.E.AsDouble() >= 1.0; }
    // True when they counted values but their histogram file is not there as a histogram file
    // (deleted by another program, or never written): they have no figures to show, though Lmax is kept.
    bool HistogramMissing() const;
    // True when there are figures to show: values counted and their histogram file there.
    bool HasFigures() const { return Counted() && !HistogramMissing(); }
    // Statistics read from the histogram file on every call. getNum is the number of values
    // counted, up to INT32_MAX; ValueCount the same number whole.
    std::int32_t getNum() const;
    std::int64_t ValueCount() const;
    double getLx(std::int32_t X) const;
    double getLeq() const;
    double getLmax() const { return Lmax; }
    // 1-based position of the maximum in the band's whole series.
    std::int32_t getLmaxPos() const;
    // The exposure level of the levels: their energy sum times 1 / LevelOutHz seconds, in dB.
    // Non-finite levels are passed over; no level at all gives -60. Also stored in LE.
    double getLE(std::span<const float> iData, double LevelOutHz);
    // The same over the values at positions S..E of the level file in SaveDir (cut where the file
    // ends; a start below 1 reads nothing), read in slices of sliceLength values.
    double getLEArea(const CData& LevelData, std::int32_t S, std::int32_t E, const std::string& SaveDir,
                     double LevelOutHz, std::int32_t sliceLength = kStatsSliceLength);

    // Computes the statistics of every value of the level file inside the ranges, in list
    // order, and saves the histogram. False when it could not be saved: the statistics and their
    // histogram file are then left as they were.
    bool resetNew(const CScopes& CalcScopes, const CData& LevelData, const std::string& SaveDir,
                  std::int32_t sliceLength = kStatsSliceLength);
    // The same, taking only the values at or above Lmax - MinusN.
    bool resetNewMaxMinusNArea(const CScopes& CalcScopes, const CData& LevelData, const std::string& SaveDir,
                               double Lmax, double MinusN, std::int32_t sliceLength = kStatsSliceLength);
    // resetNew with the histogram folder given: work spread over threads reads the folder on
    // the calling thread first.
    bool ResetNewIn(const std::string& LCalcFolder, const CScopes& CalcScopes, const CData& LevelData,
                    const std::string& SaveDir, std::int32_t sliceLength = kStatsSliceLength);
    // The same over ranges given as positions (GapPositions: the parts an excluded list keeps).
    bool ResetNewIn(const std::string& LCalcFolder, std::span<const PositionRange> CalcScopes, const CData& LevelData,
                    const std::string& SaveDir, std::int32_t sliceLength = kStatsSliceLength);

    // Takes the result computed earlier for this object's range from a list sorted by Scope.S:
    // the matching item is moved into this object (with its histogram file) and removed from
    // the list. False when no item matches; nothing changes then.
    bool resetFromTempLCalcs(CLCalcs& TempLCalcs);

    // Takes one level into the statistics and into `iAccumulation` (whose counts stop at
    // INT32_MAX), adding in the dB domain.
    void setdB(double idB, LevelHistogram& iAccumulation);

    // Deletes the histogram file; an absent file is no error, and anything but a regular file of
    // that name is left alone. A file the saved project names stays until the next save.
    void DeleteFile() const;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.Scope) && io(self.LxData) && io(self.m_dBSum) && io(self.Lmax)
            && io(self.LmaxPos) && io(self.LE) && io(self.m_Cnt);
    }
    static auto Compared(const CLCalc& r) {
        return std::tie(r.Scope, r.LxData, r.m_dBSum, r.Lmax, r.LmaxPos, r.LE);
    }

private:
    bool Compute(const std::string& LCalcFolder, std::span<const PositionRange> CalcScopes, const CData& LevelData,
                 const std::string& SaveDir, double floor, std::int32_t sliceLength);
    void Clear(const std::string& LCalcFolder);
};

}  // namespace murtesk
