// What the band chain's tests share: a configuration with one-second blocks and a sine.
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "BandLevel.h"

namespace murtesk::dsp::chain_test {

inline BandChainConfig Config(int mode, double rate, int weighting) {
    BandChainConfig c;
    c.bandMode = mode;
    c.rate = rate;
    c.samplesPerBlock = static_cast<int>(rate);
    c.weighting = weighting;
    return c;
}

inline std::vector<double> Sine(double f, double amplitude, double rate, int n) {
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) x[i] = amplitude * std::sin(2.0 * std::numbers::pi * f * i / rate);
    return x;
}

}  // namespace murtesk::dsp::chain_test
