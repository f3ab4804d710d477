// Statistics of level values computed the plain way, for tests to compare the statistics engine's
// results with: energy mean and sum, maximum, and percentiles counted over the values rounded to
// 0.1 dB from -60 dB (halves away from zero). Values outside the 2300 bins of 0.1 dB from -60 dB
// (a -1000 dB "no signal", for one) count towards the maximum and the energy, not the number of
// values.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace murtesk::testing {

struct OracleStats {
    std::int64_t count = 0;
    double leq = -60.0;
    double lmax = -60.0;
    std::int64_t lmaxPos = -1;  // first position of the maximum
    double le = -60.0;          // over rate values per second
    double upperLeq = -60.0;    // of the values at or above lmax - 10
    std::int64_t upperCount = 0;
    std::vector<double> rounded;  // ascending

    // The level exceeded by X percent of the values (X = 100: the lowest).
    double Lx(int X) const {
        if (rounded.empty()) return -60.0;
        if (X == 100) return rounded.front();
        const double threshold = static_cast<double>(count) * (100 - X) / 100;
        const auto index = static_cast<std::size_t>(std::max(0.0, std::ceil(threshold) - 1));
        return rounded[std::min(index, rounded.size() - 1)];
    }
};

// `levels` holds (position, level) pairs in position order.
inline OracleStats Oracle(const std::vector<std::pair<std::int64_t, float>>& levels, double rate) {
    OracleStats s;
    double energy = 0;
    for (const auto& [pos, v] : levels) {
        energy += std::pow(10.0, v / 10.0);
        if (s.lmaxPos < 0 || v > s.lmax) {
            s.lmax = v;
            s.lmaxPos = pos;
        }
        const long k = std::lround((static_cast<double>(v) + 60.0) * 10.0);
        if (k < 0 || k >= 2300) continue;
        ++s.count;
        s.rounded.push_back(static_cast<double>(k) / 10.0 - 60.0);
    }
    std::sort(s.rounded.begin(), s.rounded.end());
    if (s.count == 0) return s;
    s.leq = 10.0 * std::log10(energy / static_cast<double>(s.count));
    s.le = 10.0 * std::log10(energy / rate);
    double upper = 0;
    for (const auto& [pos, v] : levels) {
        const long k = std::lround((static_cast<double>(v) + 60.0) * 10.0);
        if (v >= s.lmax - 10.0 && k >= 0 && k < 2300) {
            upper += std::pow(10.0, v / 10.0);
            ++s.upperCount;
        }
    }
    s.upperLeq = 10.0 * std::log10(upper / static_cast<double>(s.upperCount));
    return s;
}

}  // namespace murtesk::testing
