#include "model/level_accumulator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>

#include "model/shared_procedures.h"

namespace murtesk {

namespace {

// The bin of a level read from a level file. For every value a 4-byte float holds, x + 0.5 is
// exact, so its whole part rounds halves away from zero (levels just below -60 land in bin 0).
inline int BinOfFloat(double dB) {
    const double x = (dB + 60.0) * 10.0;
    if (!(x > -0.5 && x < kHistogramBins - 0.5)) return -1;
    return static_cast<int>(x + 0.5);
}

// The vector helpers below never cross a translation unit, so their argument-passing ABI
// (which differs with and without AVX) does not matter.
#pragma GCC diagnostic ignored "-Wpsabi"

// 10^(dB/10) for four levels at once, as 2^t = 2^n * 2^f with |f| <= 1/2 and a series for 2^f
// accurate to about 1e-14 relative. Levels beyond ±3000 dB are clamped; no level file holds
// such values and they give no meaningful energy in any form.
typedef double Vec4 __attribute__((vector_size(32)));
typedef std::int64_t Int4 __attribute__((vector_size(32)));
typedef float Float4 __attribute__((vector_size(16)));

[[gnu::always_inline]] inline Vec4 Splat(double x) { return Vec4{x, x, x, x}; }

[[gnu::always_inline]] inline Vec4 EnergyOf(Vec4 dB) {
    constexpr double kLog2Of10Over10 = 0.33219280948873623479;
    constexpr double kLn2 = 0.69314718055994530942;
    constexpr double kRoundMagic = 6755399441055744.0;  // 1.5 * 2^52
    Vec4 t = dB * kLog2Of10Over10;
    t = t < -1000.0 ? Splat(-1000.0) : t;
    t = t > 1000.0 ? Splat(1000.0) : t;
    const Vec4 shifted = t + kRoundMagic;
    const Vec4 n = shifted - kRoundMagic;
    const Vec4 y = (t - n) * kLn2;
    // e^y for |y| <= 0.347: Taylor series to degree 12.
    Vec4 p = Splat(1.0 / 479001600.0);
    p = p * y + 1.0 / 39916800.0;
    p = p * y + 1.0 / 3628800.0;
    p = p * y + 1.0 / 362880.0;
    p = p * y + 1.0 / 40320.0;
    p = p * y + 1.0 / 5040.0;
    p = p * y + 1.0 / 720.0;
    p = p * y + 1.0 / 120.0;
    p = p * y + 1.0 / 24.0;
    p = p * y + 1.0 / 6.0;
    p = p * y + 0.5;
    p = p * y + 1.0;
    p = p * y + 1.0;
    const Int4 exponent = ((Int4)shifted - (Int4)Splat(kRoundMagic) + 1023) << 52;
    return p * (Vec4)exponent;
}

[[gnu::always_inline]] inline Vec4 MaskedEnergy(Vec4 v, Int4 take) {
    const Vec4 safe = (Vec4)((Int4)v & take);
    return (Vec4)((Int4)EnergyOf(safe) & take);
}

// Energy of the finite values[0..n) at or above `floor` (at least -FLT_MAX).
[[gnu::always_inline]] inline double BlockEnergyBody(const float* values, std::size_t n, double floor) {
    const Vec4 lo = Splat(floor);
    const Vec4 hi = Splat(FLT_MAX);
    Vec4 acc = Splat(0.0);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Float4 f;
        __builtin_memcpy(&f, values + i, sizeof f);
        const Vec4 v = __builtin_convertvector(f, Vec4);
        acc += MaskedEnergy(v, (v >= lo) & (v <= hi));
    }
    if (i < n) {
        Vec4 v = Splat(0.0);
        Int4 take = {0, 0, 0, 0};
        for (std::size_t j = 0; i + j < n; ++j) {
            v[j] = values[i + j];
            take[j] = (v[j] >= floor && v[j] <= FLT_MAX) ? -1 : 0;
        }
        acc += MaskedEnergy(v, take);
    }
    return (acc[0] + acc[1]) + (acc[2] + acc[3]);
}

double BlockEnergyBaseline(const float* values, std::size_t n, double floor) {
    return BlockEnergyBody(values, n, floor);
}

// The energy sum dominates a statistics pass: processors with AVX2 and FMA get a build of
// their own, chosen once at run time (by a plain test, not an ifunc, which sanitizers and
// static initialisation order do not survive).
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target("avx2,fma")]] double BlockEnergyAvx2(const float* values, std::size_t n, double floor) {
    return BlockEnergyBody(values, n, floor);
}

double BlockEnergy(const float* values, std::size_t n, double floor) {
    static const auto chosen = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &BlockEnergyAvx2
                                                                               : &BlockEnergyBaseline;
    }();
    return chosen(values, n, floor);
}
#else
double BlockEnergy(const float* values, std::size_t n, double floor) { return BlockEnergyBaseline(values, n, floor); }
#endif

// Sums in blocks, so that each block's rounding stays tiny and the blocks add compensated.
void AddEnergy(CompensatedSum& sum, const float* values, std::size_t n, double floor) {
    constexpr std::size_t kBlock = 4096;
    for (std::size_t b = 0; b < n; b += kBlock) sum.Add(BlockEnergy(values + b, std::min(kBlock, n - b), floor));
}

}  // namespace

int HistogramBin(double dB) {
    const double x = (dB + 60.0) * 10.0;
    if (!(x > -0.5 && x < kHistogramBins - 0.5)) return -1;
    return static_cast<int>(RoundOff(x));
}

void CompensatedSum::Add(double x) {
    const double t = sum_ + x;
    if (std::fabs(sum_) >= std::fabs(x))
        compensation_ += (sum_ - t) + x;
    else
        compensation_ += (x - t) + sum_;
    sum_ = t;
}

double EnergySum(const float* values, std::size_t n) {
    CompensatedSum sum;
    AddEnergy(sum, values, n, -FLT_MAX);
    return sum.Value();
}

LevelAccumulator::LevelAccumulator(double dBSum, double lmax, std::int32_t lmaxPos, LevelHistogram& histogram)
    : histogram_(histogram), pending_(dBSum), lmax_(lmax), lmaxPos_(lmaxPos) {
    if (dBSum >= kNoLevel) {
        started_ = true;
        energy_.Add(std::pow(10.0, dBSum / 10.0));
    }
}

std::int64_t LevelAccumulator::Add(const float* values, std::size_t n, std::int64_t firstPos, double floor) {
    // A long call counts into two histograms of its own, merged into the caller's at the end: a
    // bin of those cannot overflow while a call takes no more than this.
    constexpr std::size_t kMostAtOnce = std::size_t{1} << 30;
    if (n > kMostAtOnce) {
        std::int64_t passed = 0;
        for (std::size_t at = 0; at < n; at += kMostAtOnce)
            passed += Add(values + at, std::min(kMostAtOnce, n - at), firstPos + static_cast<std::int64_t>(at), floor);
        return passed;
    }
    // A short one (a range between excluded ones: a list may hold 100,000 such) counts straight into
    // the caller's histogram, as clearing and merging two histograms would cost far more than its
    // values do.
    constexpr std::size_t kShort = 512;
    return n < kShort ? AddValues<true>(values, n, firstPos, floor) : AddValues<false>(values, n, firstPos, floor);
}

template <bool kDirect>
std::int64_t LevelAccumulator::AddValues(const float* values, std::size_t n, std::int64_t firstPos, double floor) {
    const bool filtered = floor > -std::numeric_limits<double>::infinity();
    const double lo = std::max(floor, static_cast<double>(-FLT_MAX));
    std::int64_t passed = 0;
    std::size_t i = 0;
    // Kept in locals so that the histogram stores cannot make the compiler reload them.
    double lmax = lmax_;
    std::size_t lmaxAt = n;
    auto take = [&](double v, std::size_t at, std::int32_t* histogram) {
        ++passed;
        if (v > lmax) {
            lmax = v;
            lmaxAt = at;
        }
        const int k = BinOfFloat(v);
        if (k >= 0) {
            if constexpr (kDirect)
                AddToBin(histogram[k], 1);
            else
                ++histogram[k];
        }
    };

    // The values alternate between two histograms, so that runs of equal levels do not wait on
    // each other's increments.
    struct Own {
        LevelHistogram first{};
        LevelHistogram second{};
    };
    struct None {};
    [[maybe_unused]] std::conditional_t<kDirect, None, Own> own;
    std::int32_t* first = histogram_.data();
    std::int32_t* second = histogram_.data();
    if constexpr (!kDirect) {
        first = own.first.data();
        second = own.second.data();
    }

    // Until a value of -60 dB or more starts the sum, each value replaces it.
    for (; i < n && !started_; ++i) {
        const double v = values[i];
        if (!(v >= lo && v <= FLT_MAX)) continue;
        take(v, i, first);
        if (v >= kNoLevel)
            started_ = true;
        else
            pending_ = v;
    }
    const std::size_t energyFrom = started_ ? (i == 0 ? 0 : i - 1) : n;

    for (; i + 2 <= n; i += 2) {
        const double a = values[i];
        const double b = values[i + 1];
        if (a >= lo && a <= FLT_MAX) take(a, i, first);
        if (b >= lo && b <= FLT_MAX) take(b, i + 1, second);
    }
    if (i < n) {
        const double v = values[i];
        if (v >= lo && v <= FLT_MAX) take(v, i, first);
    }
    if constexpr (!kDirect) {
        for (int k = 0; k < kHistogramBins; ++k) {
            AddToBin(histogram_[k], own.first[k]);
            AddToBin(histogram_[k], own.second[k]);
        }
    }
    if (lmaxAt < n) {
        lmax_ = lmax;
        const std::int64_t pos = firstPos + static_cast<std::int64_t>(lmaxAt);
        lmaxPos_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(pos, INT32_MIN, INT32_MAX));
    }

    if (energyFrom < n) AddEnergy(energy_, values + energyFrom, n - energyFrom, lo);
    return filtered ? passed : static_cast<std::int64_t>(n);
}

double LevelAccumulator::dBSum() const {
    if (!started_) return pending_;
    const double e = energy_.Value();
    return e > 0.0 ? 10.0 * std::log10(e) : kNoLevel;
}

}  // namespace murtesk
