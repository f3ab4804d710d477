// One pass of the level statistics over a series of levels: the histogram of 0.1 dB bins,
// the maximum with its position and the energy sum.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace murtesk {

// Bins of 0.1 dB from -60 dB: bin k holds the levels within ±0.05 dB of k / 10 - 60.
inline constexpr int kHistogramBins = 2300;
// Histogram files written before the range reached 170 dB hold this many bins.
inline constexpr int kOldHistogramBins = 2000;
using LevelHistogram = std::array<std::int32_t, kHistogramBins>;

// Adds n (0 or more) to a bin count, stopping at the largest count a histogram file holds.
inline void AddToBin(std::int32_t& count, std::int32_t n) {
    count = count > INT32_MAX - n ? INT32_MAX : count + n;
}

// Level at or below which a series counts as silent; also the floor of every statistic.
inline constexpr double kNoLevel = -60.0;
// Energy sum of a pass that has taken nothing yet.
inline constexpr double kEmptyEnergySum = -70.0;

// Histogram bin of a level (rounding halves away from zero), or -1 when it lies outside the
// histogram. The test is made on the double value, so no level can overflow into a bin.
int HistogramBin(double dB);

// A sum of many positive terms with Neumaier's compensation.
class CompensatedSum {
public:
    void Add(double x);
    double Value() const { return sum_ + compensation_; }

private:
    double sum_ = 0.0;
    double compensation_ = 0.0;
};

// The energy of levels, the sum of 10^(v/10) over the finite values[0..n). 0 when none is finite.
double EnergySum(const float* values, std::size_t n);

// Running statistics of levels taken in order. The energy sum follows these rules:
// while the sum is below -60 dB (nothing yet, or only values below -60) each value replaces it;
// once a value of -60 dB or more has started it, every later value is added, however low.
// Internally the sum is kept as linear energy with compensated summation, which gives the same
// level as adding in the dB domain value by value, only faster and with less rounding.
// A non-finite value occupies its position but enters neither maximum, sum nor histogram.
class LevelAccumulator {
public:
    // Continues from a sum, maximum and position as a statistics object keeps them.
    LevelAccumulator(double dBSum, double lmax, std::int32_t lmaxPos, LevelHistogram& histogram);

    // Takes values[0..n) into the statistics and the histogram, whose counts stop at INT32_MAX.
    // firstPos is the 1-based position of values[0] in the series.
    // Only values at or above `floor` are taken (-infinity takes all).
    // Returns how many values were passed on: all n when nothing is filtered (non-finite ones
    // included, as they occupy positions); otherwise the finite values at or above the floor.
    std::int64_t Add(const float* values, std::size_t n, std::int64_t firstPos, double floor);

    // The energy sum as a level in dB, with the rules above (below -60 when not started).
    double dBSum() const;
    double Lmax() const { return lmax_; }
    std::int32_t LmaxPos() const { return lmaxPos_; }

private:
    template <bool kDirect>
    std::int64_t AddValues(const float* values, std::size_t n, std::int64_t firstPos, double floor);

    LevelHistogram& histogram_;
    bool started_ = false;
    double pending_;  // the replacing value while the sum has not started
    CompensatedSum energy_;
    double lmax_;
    std::int32_t lmaxPos_;
};

}  // namespace murtesk
