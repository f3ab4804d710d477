// The weighting tables, rounded to 0.1 dB. The A and C values are the standard sound-level-meter
// weightings at the nominal mid-band frequencies; G is the infrasound weighting; Lvz and Lvxy are the
// vertical and horizontal vibration-level weightings. The octave tables repeat the one-third-octave
// values at the common centre frequencies, except Lvz at 4 Hz, which has its own octave value.
#include "model/weighting_tables.h"

namespace murtesk {
namespace {

constexpr double X = kBandNotPassed;

// clang-format off
constexpr std::array<double, 15> kOct1A    = {X, X, X, X, -56.7, -39.4, -26.2, -16.1, -8.6, -3.2, 0.0, 1.2, 1.0, -1.1, -6.6};
constexpr std::array<double, 15> kOct1C    = {X, X, X, X, -8.5, -3.0, -0.8, -0.2, 0.0, 0.0, 0.0, -0.2, -0.8, -3.0, -8.5};
constexpr std::array<double, 15> kOct1G    = {-43.0, -28.3, -16.0, -4.0, 7.7, -4.0, -28.0, X, X, X, X, X, X, X, X};
constexpr std::array<double, 15> kOct1Lvz  = {-5.9, -3.2, 0.1, -0.9, -6.1, -12.0, -18.0, X, X, X, X, X, X, X, X};
constexpr std::array<double, 15> kOct1Lvxy = {3.3, 2.1, -2.8, -8.9, -15.0, -21.0, -27.0, X, X, X, X, X, X, X, X};

constexpr std::array<double, 45> kOct3A = {
        X, X, X, X, X, X, X, X, X, X, X,                                   // 0.8 .. 8 Hz
        -70.4, -63.4, -56.7, -50.5, -44.7, -39.4, -34.6, -30.2, -26.2, -22.5,  // 10 .. 80 Hz
        -19.1, -16.1, -13.4, -10.9, -8.6, -6.6, -4.8, -3.2, -1.9, -0.8,       // 100 .. 800 Hz
        0.0, 0.6, 1.0, 1.2, 1.3, 1.2, 1.0, 0.5, -0.1, -1.1,                   // 1 .. 8 kHz
        -2.5, -4.3, -6.6, -9.3};                                           // 10 .. 20 kHz
constexpr std::array<double, 45> kOct3C = {
        X, X, X, X, X, X, X, X, X, X, X,
        -14.3, -11.2, -8.5, -6.2, -4.4, -3.0, -2.0, -1.3, -0.8, -0.5,
        -0.3, -0.2, -0.1, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0,
        0.0, 0.0, -0.1, -0.2, -0.3, -0.5, -0.8, -1.3, -2.0, -3.0,
        -4.4, -6.2, -8.5, -11.2};
constexpr std::array<double, 45> kOct3G = {
        -48.0, -43.0, -37.5, -32.6, -28.3, -24.1, -20.0, -16.0, -12.0, -8.0, -4.0,
        0.0, 4.0, 7.7, 9.0, 3.7, -4.0, -12.0, -20.0, -28.0, -36.0,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X};
constexpr std::array<double, 45> kOct3Lvz = {
        -6.6, -5.9, -5.2, -4.3, -3.2, -2.0, -0.8, -0.1, -0.5, -0.2, -0.9,
        -2.4, -4.2, -6.1, -8.0, -10.0, -12.0, -14.0, -16.0, -18.0, -20.0,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X};
constexpr std::array<double, 45> kOct3Lvxy = {
        3.3, 3.3, 3.2, 2.9, 2.1, 0.9, -0.8, -2.8, -4.8, -6.8, -8.9,
        -10.9, -13.0, -15.0, -17.0, -19.0, -21.0, -23.0, -25.0, -27.0, -29.0,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X, X, X, X, X, X, X,
        X, X, X, X};
// clang-format on

}  // namespace

const std::array<double, 15>& octaveWeightingTable(Weighting w) {
    switch (w) {
        case Weighting::A: return kOct1A;
        case Weighting::C: return kOct1C;
        case Weighting::G: return kOct1G;
        case Weighting::Lvz: return kOct1Lvz;
        case Weighting::Lvxy: break;
    }
    return kOct1Lvxy;
}

const std::array<double, 45>& thirdOctaveWeightingTable(Weighting w) {
    switch (w) {
        case Weighting::A: return kOct3A;
        case Weighting::C: return kOct3C;
        case Weighting::G: return kOct3G;
        case Weighting::Lvz: return kOct3Lvz;
        case Weighting::Lvxy: break;
    }
    return kOct3Lvxy;
}

}  // namespace murtesk
