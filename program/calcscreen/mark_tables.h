// The band statistics tables of the calculation screen's mark-range outputs, and the blocks of
// those outputs: the shown channel's file (every mark range of the shown band slot, its table of
// all slots or of the shown slot alone) and the all-channel file (every mark range carried to each
// channel of the measurement).
//
// A table has a header and one row per slot (F, W, then the bands from the lowest frequency up):
// Leq, Lmax, L5 ... L95, LE, Leq of the values within 10 dB of Lmax, the levels at the moments
// of the F and W maxima, the channel's own Lx column, and the seconds of the values counted.
// Levels are written as computed; a slot that counted nothing has its name alone. The slots of a
// table are computed on the processor's cores, each with its own pair of statistics, whose
// histogram file names are taken on the calling thread; the text is the same on any number of
// threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/ch_measure.h"
#include "model/core_pool.h"
#include "model/measure.h"

namespace murtesk {

using LineSink = std::function<void(std::string_view line)>;

// The header of a table whose channel has the extra percentile lx.
std::string MarkTableHeader(std::int16_t lx);
// The range S..E of a channel at rateShown carried to a channel at rate: unchanged when the rates
// are equal (or either is unusable), else each end times rate / rateShown rounded half to even; a
// start below 1 becomes 1.
std::pair<std::int32_t, std::int32_t> ScaledRange(std::int32_t S, std::int32_t E, double rateShown, double rate);

class MarkTableWriter {
public:
    // threads 0: one per core.
    explicit MarkTableWriter(StatsContext& context, unsigned threads = 0);
    // Deletes the histogram files.
    ~MarkTableWriter();
    MarkTableWriter(const MarkTableWriter&) = delete;
    MarkTableWriter& operator=(const MarkTableWriter&) = delete;

    // Writes the table of `channel` over S..E: all slots, or `onlySlot` alone when it is above 0.
    // excludeOwn: each slot leaves its excluded ranges out (the F and W moments too). seconds: the
    // format of the seconds columns. False, with no row written, when a histogram could not be
    // written or the channel's band mode is neither 1 nor 3.
    bool WriteTable(const LineSink& out, const CChMeasure& channel, std::int32_t S, std::int32_t E, bool excludeOwn,
                    std::int16_t onlySlot, std::string_view seconds);
    // Deletes the histogram files of every statistics object used so far.
    void DeleteFiles();

private:
    StatsContext& context_;
    unsigned threads_;
    std::unique_ptr<CorePool> pool_;
    // One pair of statistics for each thread.
    std::vector<std::unique_ptr<CLCalc>> range_;
    std::vector<std::unique_ptr<CLCalc>> upper_;
};

// The shown channel's output: for every mark range of slot `band` of `shown`, its heading, start
// and end and its table (all slots, or slot `band` alone), seconds in "0.0". False when a table
// failed; a band mode neither 1 nor 3 ends the blocks there and counts as written.
bool WriteMarkAreaBlocks(const LineSink& out, MarkTableWriter& tables, const CMeasure& measure,
                         const CChMeasure& shown, std::int16_t band, bool allSlots, bool excludeOwn);
// The all-channel output: for every mark range of slot `band` of `shown`, its heading, start and
// end, then each channel's heading and table over the range carried to its rate, seconds in
// "0.000", and an empty line closing the range. A channel whose band mode is neither 1 nor 3 keeps
// its heading; it and the channels after it get no table for that range. False when a table
// failed.
bool WriteAllChannelMarkAreaBlocks(const LineSink& out, MarkTableWriter& tables, const CMeasure& measure,
                                   const CChMeasure& shown, std::int16_t band, bool excludeOwn);

}  // namespace murtesk
