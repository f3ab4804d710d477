#include "FilterDesign.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace murtesk::dsp {

namespace {
constexpr double kPi = std::numbers::pi;
}

void CFilterDesign::Clear() {
    *this = CFilterDesign{};
}

// Clears the design, checks what every design of a type and kind needs (a ripple above minRipple, a cutoff
// between 0 and the Nyquist frequency) and keeps it; false when refused.
bool CFilterDesign::Start(int type, double rippleDb, double minRipple, int kind, int order, double rate,
                          double cutoff) {
    Clear();
    if ((type != kButterworth && type != kChebyshev) || !(rippleDb > minRipple) ||
        (kind != kLowPass && kind != kHighPass) || !(rate > 0.0) || !(cutoff > 0.0) || !(cutoff < rate / 2.0)) {
        return false;
    }
    m_sign = kind == kLowPass ? 1.0 : -1.0;
    m_cutoff = cutoff;
    m_rate = rate;
    // A high-pass is the low-pass prototype at the mirrored corner, mirrored back by the sign.
    m_corner = kind == kLowPass ? cutoff : rate / 2.0 - cutoff;
    m_ripple = rippleDb;
    m_order = order;
    m_type = type;
    return true;
}

bool CFilterDesign::Design(int type, double rippleDb, int kind, int order, double rate, double cutoff) {
    if (order == 1) return DesignFirstOrder(type, rippleDb, kind, rate, cutoff);
    if (order < 2 || order > 2 * kMaxSections || !Start(type, rippleDb, 0.0001, kind, order, rate, cutoff)) {
        Clear();
        return false;
    }
    const double e = std::tan(kPi * m_corner / rate);
    const double h = type == kChebyshev ? std::asinh(1.0 / std::sqrt(std::pow(10.0, 0.1 * rippleDb) - 1.0)) / order
                                        : 0.0;
    const bool odd = (order & 1) != 0;
    for (int k = 0; k < order / 2; ++k) {
        const int g = odd ? 2 * k + 2 : 2 * k + 1;
        const double theta = kPi * g / (2.0 * order);
        double c = std::cos(theta);
        double rho = 1.0;
        if (type == kChebyshev) {
            const double a = std::sinh(h) * std::cos(theta);
            const double b = std::cosh(h) * std::sin(theta);
            rho = std::sqrt(a * a + b * b);
            c = a / rho;
        }
        const double m = rho * e;
        const double nn = m * m;
        const double o = 2.0 * c * m;
        const double p = nn + o + 1.0;
        m_A0[k] = 1.0;
        m_A1[k] = -2.0 * (nn - 1.0) * m_sign / p;
        m_A2[k] = -(nn + 1.0 - o) / p;
        m_B0[k] = nn / p;
        m_B1[k] = 2.0 * m_sign * m_B0[k];
        m_B2[k] = m_B0[k];
    }
    if (type == kChebyshev && !odd) {
        // Every section has unit gain at the outer end of the pass band; together they give -ripple dB there.
        const double scale = std::pow(std::pow(10.0, -0.05 * rippleDb), 2.0 / order);
        for (int k = 0; k < order / 2; ++k) {
            m_B0[k] *= scale;
            m_B1[k] *= scale;
            m_B2[k] *= scale;
        }
    }
    if (odd) {
        const int k = order / 2;
        const double g = type == kChebyshev ? std::sinh(h) * e : e;
        m_A0[k] = 1.0;
        m_A1[k] = -(g - 1.0) * m_sign / (g + 1.0);
        m_B0[k] = g / (g + 1.0);
        m_B1[k] = m_B0[k] * m_sign;
    }
    return true;
}

bool CFilterDesign::DesignFirstOrder(int type, double rippleDb, int kind, double rate, double cutoff) {
    if (!Start(type, rippleDb, 0.0, kind, 1, rate, cutoff)) return false;
    const double lambda =
        type == kChebyshev ? std::sinh(std::asinh(1.0 / std::sqrt(std::pow(10.0, 0.1 * rippleDb) - 1.0))) : 1.0;
    const double t = std::tan(kPi * cutoff / rate);
    m_A0[0] = 1.0;
    if (kind == kLowPass) {
        const double k = 2.0 * lambda * t;
        m_A1[0] = (2.0 - k) / (k + 2.0);
        m_B0[0] = k / (k + 2.0);
        m_B1[0] = m_B0[0];
    } else {
        // The pole lies at the corner divided by lambda; for a Butterworth (lambda 1) this is the usual form.
        const double k = 2.0 * t;
        m_A1[0] = (2.0 * lambda - k) / (k + 2.0 * lambda);
        m_B0[0] = 2.0 * lambda / (k + 2.0 * lambda);
        m_B1[0] = -m_B0[0];
    }
    return true;
}

// The band-pass section shared by the A and C weightings: zeros at DC and Nyquist, poles set by the
// upper and lower corners.
void CFilterDesign::DesignWeightingSection0(double rate, double fHigh, double fLow) {
    const double w1 = kPi * fHigh / rate;
    const double w2 = kPi * fLow / rate;
    const double theta = (w1 - w2) / 2.0;
    const double f = 1.0 / std::tan(theta) * std::tan(0.04 * kPi);
    const double e = std::exp(-0.08 * kPi);
    const double g = f + e * (f - 1.0) + 1.0;
    m_A0[0] = 1.0;
    m_A1[0] = 2.0 * f * (e + 1.0) * std::cos((w1 + w2) / 2.0) / std::cos(theta) / g;
    m_A2[0] = -(f - 1.0 + e * (f + 1.0)) / g;
    m_B0[0] = 1.0;
    m_B1[0] = 0.0;
    m_B2[0] = -1.0;
}

void CFilterDesign::NormaliseAt1000() {
    const double r = std::pow(10.0, GainDb(1000.0) / 20.0);
    m_B0[0] = 1.0 / r;
    m_B2[0] = -1.0 / r;
}

bool CFilterDesign::DesignA(double rate) {
    Clear();
    m_rate = rate;
    m_order = 4;
    DesignWeightingSection0(rate, 17608.0, 1316.0);
    const auto p = [rate](double f0) {
        const double w0 = kPi * f0 / rate;
        return -(std::exp(-w0) - std::cos(w0)) / (1.0 - std::cos(w0) * std::exp(-w0));
    };
    m_A0[1] = 1.0;
    m_A1[1] = p(200.0) + p(66.0);
    m_A2[1] = -p(200.0) * p(66.0);
    m_B0[1] = 1.0;
    m_B1[1] = -2.0;
    m_B2[1] = 1.0;
    NormaliseAt1000();
    return true;
}

bool CFilterDesign::DesignC(double rate) {
    Clear();
    m_rate = rate;
    m_order = 2;
    DesignWeightingSection0(rate, 16000.0, 63.0);
    NormaliseAt1000();
    return true;
}

void CFilterDesign::SetLvz() {
    Clear();
    m_rate = 1000.0;
    m_order = 5;
    const double x = std::pow(10.0, 0.095) * 0.026255968464838023;
    m_A0 = {1.0, 1.0, 1.0};
    m_A1[0] = 1.931489754217774;
    m_A2[0] = -0.9323146267550257;
    m_B0[0] = x;
    m_B1[0] = 0.0;
    m_B2[0] = -x;
    m_A1[1] = 1.4;
    m_A2[1] = -0.8;
    m_B0[1] = 0.40000000000000013;
    m_A1[2] = 0.8;
    m_B0[2] = 0.19999999999999996;
}

void CFilterDesign::SetLvxy() {
    Clear();
    m_rate = 1000.0;
    m_order = 1;
    m_A0[0] = 1.0;
    m_A1[0] = 0.988;
    m_B0[0] = std::pow(10.0, 0.2144445) * 0.01200000000000001;
}

void CFilterDesign::SetG() {
    Clear();
    m_rate = 1000.0;
    m_order = 9;
    const double z = std::pow(10.0, 0.4175) * 0.9034392397459;
    const double v = -std::pow(10.0, 0.4175) * 1.8068784794918;
    m_A0 = {1.0, 1.0, 1.0, 1.0, 1.0};
    m_A1[0] = 1.8717570735704;
    m_A2[0] = -0.88193757314484;
    m_B0[0] = z;
    m_B1[0] = v;
    m_B2[0] = z;
    m_A1[1] = 1.7826226526513;
    m_A2[1] = -0.79717534434692;
    m_B0[1] = 0.0036376493863958;
    m_B1[1] = 0.0072752987727916;
    m_B2[1] = 0.0036376493863958;
    m_A1[2] = 1.8897713603505;
    m_A2[2] = -0.91080590418156;
    m_B0[2] = 0.0052578792336573;
    m_B1[2] = 0.010515758467315;
    m_B2[2] = 0.0052578792336573;
    m_A1[3] = 1.9624344734672958;
    m_A2[3] = -0.980631545528658;
    m_B0[3] = 1.0005856912049897;
    m_B1[3] = -1.9624344734672958;
    m_B2[3] = 0.9812172367336479;
    m_A1[4] = 0.99436106191873;
    m_B0[4] = 0.99718053095937;
    m_B1[4] = -0.99718053095937;
}

void CFilterDesign::DesignTimeWeighting(double rate, double cr) {
    Clear();
    m_rate = rate;
    m_order = 1;
    m_A0[0] = 1.0;
    // The sampled exponential: a step response of 1 - exp(-t / cr) at every sample, whatever the rate (the
    // coefficient 1 / (1 + rate cr) would make the time constant cr + 1 / (2 rate)).
    m_A1[0] = std::exp(-1.0 / (rate * cr));
    m_B0[0] = -std::expm1(-1.0 / (rate * cr));
}

double CFilterDesign::GainDb(double f) const {
    const std::complex<double> zi = std::polar(1.0, -2.0 * kPi * f / m_rate);  // z^-1
    std::complex<double> h = 1.0;
    for (int k = 0; k < sections(); ++k) {
        const std::complex<double> num = b0(k) + zi * (b1(k) + zi * b2(k));
        const std::complex<double> den = 1.0 - zi * (a1(k) + zi * a2(k));
        h *= num / den;
    }
    const double mag = std::abs(h);
    return mag == 0.0 ? -100.0 : 20.0 * std::log10(mag);
}

bool CFilterDesign::Run(const double* in, double* out, int n, FilterMemory& mem, bool square) const {
    if (m_order < 1 || n < m_order + 1) return false;
    const int ns = sections();
    double w1[kMaxSections], w2[kMaxSections];
    for (int k = 0; k < ns; ++k) {
        w1[k] = mem[3 * k + 1];
        w2[k] = mem[3 * k + 2];
    }
    for (int i = 0; i < n; ++i) {
        double x = in[i];
        if (square) x = x * x;
        for (int k = 0; k < ns; ++k) {
            const double w0 = x + (a1(k) * w1[k] + a2(k) * w2[k]);
            x = b0(k) * w0 + (b1(k) * w1[k] + b2(k) * w2[k]);
            w2[k] = w1[k];
            w1[k] = w0;
        }
        out[i] = x;
    }
    for (int k = 0; k < ns; ++k) {
        mem[3 * k] = w1[k];
        mem[3 * k + 1] = w1[k];
        mem[3 * k + 2] = w2[k];
    }
    return true;
}

}  // namespace murtesk::dsp
