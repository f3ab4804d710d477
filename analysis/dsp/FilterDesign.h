// Filter design: cascades of up to 20 second-order sections in direct form II, designed as Butterworth or
// Chebyshev low- and high-passes (bilinear transform with pre-warping), as the A and C frequency weightings
// for a given rate, as the fixed vibration and G weightings at 1000 Hz, or as the first-order time weighting.
#pragma once

#include <array>

namespace murtesk::dsp {

inline constexpr int kMaxSections = 20;

// The running memory of one cascade: per section w0, w1, w2 (w0 is the last value entered).
using FilterMemory = std::array<double, 3 * kMaxSections>;

enum FilterType { kButterworth = 1, kChebyshev = 2 };
enum FilterKind { kLowPass = 1, kHighPass = 2 };

class CFilterDesign {
public:
    // Designs a Butterworth or Chebyshev low- or high-pass of the given order (1 to 40). Refuses (false, the
    // design is then unusable) a bad type, kind or order, ripple not above 0.0001 dB (above 0 for order 1),
    // a rate not above 0 or a cutoff outside (0, rate / 2).
    bool Design(int type, double rippleDb, int kind, int order, double rate, double cutoff);
    // The A and C weightings for a rate; 0 dB at 1000 Hz.
    bool DesignA(double rate);
    bool DesignC(double rate);
    // The fixed vertical and horizontal vibration weightings and the G weighting, all at 1000 Hz.
    void SetLvz();
    void SetLvxy();
    void SetG();
    // First-order exponential average with time constant cr seconds: y = b0 x + a1 y[-1], a1 = exp(-1 / (rate cr)),
    // b0 = 1 - a1.
    void DesignTimeWeighting(double rate, double cr);

    // Gain in dB at frequency f (Hz); -100 dB where the magnitude is zero.
    double GainDb(double f) const;

    // Runs the cascade over n values in place (out may equal in), continuing from and updating mem.
    // With square set every input value is squared first. Fails (false, nothing changed) when
    // n < order + 1 or the filter has not been designed.
    bool Run(const double* in, double* out, int n, FilterMemory& mem, bool square = false) const;

    int order() const { return m_order; }
    int sections() const { return (m_order + 1) / 2; }
    double rate() const { return m_rate; }
    // Coefficients of section k as they are run (A2 and B2 of an odd order's last section are 0).
    double a1(int k) const { return m_A1[k]; }
    double a2(int k) const { return oddLast(k) ? 0.0 : m_A2[k]; }
    double b0(int k) const { return m_B0[k]; }
    double b1(int k) const { return m_B1[k]; }
    double b2(int k) const { return oddLast(k) ? 0.0 : m_B2[k]; }

private:
    bool Start(int type, double rippleDb, double minRipple, int kind, int order, double rate, double cutoff);
    bool DesignFirstOrder(int type, double rippleDb, int kind, double rate, double cutoff);
    void DesignWeightingSection0(double rate, double fHigh, double fLow);
    void NormaliseAt1000();
    void Clear();
    bool oddLast(int k) const { return (m_order & 1) && k == m_order / 2; }

    double m_sign = 1.0;
    double m_cutoff = 0.0;
    double m_rate = 0.0;
    double m_corner = 0.0;
    double m_ripple = 0.0;
    int m_order = 0;
    int m_type = 0;
    std::array<double, kMaxSections> m_A0{}, m_A1{}, m_A2{}, m_B0{}, m_B1{}, m_B2{};
};

}  // namespace murtesk::dsp
