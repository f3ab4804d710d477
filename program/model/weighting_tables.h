// Frequency-weighting tables of the band value sets: one value in dB per band, bands ascending.
// -1000 marks a band that the weighting does not pass.
#pragma once

#include <array>

namespace murtesk {

enum class Weighting { A, C, G, Lvz, Lvxy };

inline constexpr double kBandNotPassed = -1000.0;

// The 15 octave bands 1 Hz .. 16 kHz.
const std::array<double, 15>& octaveWeightingTable(Weighting w);
// The 45 one-third-octave bands 0.8 Hz .. 20 kHz.
const std::array<double, 45>& thirdOctaveWeightingTable(Weighting w);

}  // namespace murtesk
