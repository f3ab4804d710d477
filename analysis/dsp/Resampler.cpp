#include "Resampler.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace murtesk::dsp {

namespace {

// Converts to a 16-bit sample, truncating toward zero; values beyond the range are clamped.
std::int16_t ToInt16(double v) {
    if (!(v > -32768.0)) return v != v ? 0 : -32768;
    if (v > 32767.0) return 32767;
    return static_cast<std::int16_t>(v);
}

// Output counts beyond int are not representable; such a request resamples nothing.
int ClampCount(double c) {
    if (!(c >= 0.0) || c > static_cast<double>(std::numeric_limits<int>::max())) return 0;
    return static_cast<int>(c);
}

template <class T>
T At(const T* v, int n, long long i) {
    return v[std::clamp<long long>(i, 0, n - 1)];
}

double CubicKernel(double t) {
    const double a = std::fabs(t);
    if (a < 1.0) return 1.0 - 2.0 * a * a + a * a * a;
    if (a < 2.0) return 4.0 - 8.0 * a + 5.0 * a * a - a * a * a;
    return 0.0;
}

template <class T>
double Cubic(double x, const T* v, int n) {
    const double kf = std::floor(x);
    const long long k = static_cast<long long>(kf);
    const double f = x - kf;
    return CubicKernel(-1.0 - f) * At(v, n, k - 1) + CubicKernel(-f) * At(v, n, k) +
           CubicKernel(1.0 - f) * At(v, n, k + 1) + CubicKernel(2.0 - f) * At(v, n, k + 2);
}

template <class T>
double Linear(double x, const T* v, int n) {
    if (x < 0.0 || x > n || n < 1) return 0.0;
    const int k = static_cast<int>(x);
    const double vk = v[std::min(k, n - 1)];
    if (x == k) return vk;
    const double f = x - k;
    return vk * (1.0 - f) + v[std::min(k + 1, n - 1)] * f;
}

double Sinc(double t) {
    if (t == 0.0) return 1.0;
    return std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
}

// Output values first .. first + m - 1 (m limited by capacity and the output count) into out[0 .. m - 1].
template <class T, class Interp>
int General(const T* in, int n, double inRate, T* out, int first, int capacity, int count, double outRate,
            Interp interp) {
    const double d = inRate / outRate;
    if (first < 0 || first >= count || capacity < 1) return 0;
    const int m = std::min(capacity, count - first);
    for (int j = 0; j < m; ++j) {
        const int i = first + j;
        out[j] = i == 0 ? in[0] : interp(i * d, in, n);
    }
    return m;
}

template <class T, class Conv>
int Doubling(const T* in, int n, T* out, int first, int capacity, Conv conv) {
    static const double s[4] = {Sinc(-1.5), Sinc(-0.5), Sinc(0.5), Sinc(1.5)};
    const long long total = 2LL * n;
    if (first < 0 || first >= total || capacity < 1) return 0;
    const int m = static_cast<int>(std::min<long long>(capacity, total - first));
    for (int j = 0; j < m; ++j) {
        const int i = first + j;
        const int k = i / 2;
        if (i == 0) {
            out[j] = in[0];
        } else if ((i & 1) == 0) {
            out[j] = in[k];
        } else {
            out[j] = conv(s[0] * At(in, n, k - 1) + s[1] * At(in, n, k) + s[2] * At(in, n, k + 1) +
                          s[3] * At(in, n, k + 2));
        }
    }
    return m;
}

bool ValidRates(int n, double inRate, double outRate) {
    return n >= 1 && inRate > 0.0 && outRate > 0.0 && std::isfinite(inRate) && std::isfinite(outRate);
}

}  // namespace

int CResampler::OutputCount(int n, double inRate, double outRate) const {
    if (!ValidRates(n, inRate, outRate)) return 0;
    const double q = n / (inRate / outRate);
    const double fl = std::floor(q);
    return ClampCount(q - fl >= 0.5 ? fl + 1.0 : fl);
}

int CResampler::OutputCount16(int n, double inRate, double outRate) const {
    if (!ValidRates(n, inRate, outRate)) return 0;
    return ClampCount(std::trunc(n / (inRate / outRate)));
}

int CResampler::Resample(const double* in, int n, double inRate, double* out, int capacity, double outRate) const {
    return ResamplePart(in, n, inRate, out, 0, capacity, outRate);
}

int CResampler::ResamplePart(const double* in, int n, double inRate, double* out, int first, int count,
                             double outRate) const {
    return General(in, n, inRate, out, first, count, OutputCount(n, inRate, outRate), outRate,
                   [this](double x, const double* v, int c) { return Interpolate(x, v, c); });
}

int CResampler::Resample(const std::int16_t* in, int n, double inRate, std::int16_t* out, int capacity,
                         double outRate) const {
    return General(in, n, inRate, out, 0, capacity, OutputCount16(n, inRate, outRate), outRate,
                   [this](double x, const std::int16_t* v, int c) { return Interpolate(x, v, c); });
}

std::vector<double> CResampler::Resample(const std::vector<double>& in, double inRate, double outRate) const {
    const int n = static_cast<int>(std::min<std::size_t>(in.size(), std::numeric_limits<int>::max()));
    std::vector<double> out(static_cast<std::size_t>(OutputCount(n, inRate, outRate)));
    out.resize(static_cast<std::size_t>(Resample(in.data(), n, inRate, out.data(), static_cast<int>(out.size()),
                                                 outRate)));
    return out;
}

double CLinearResampler::Interpolate(double x, const double* v, int n) const {
    return Linear(x, v, n);
}

std::int16_t CLinearResampler::Interpolate(double x, const std::int16_t* v, int n) const {
    return ToInt16(Linear(x, v, n));
}

double CCubicResampler::Interpolate(double x, const double* v, int n) const {
    return n < 1 ? 0.0 : Cubic(x, v, n);
}

std::int16_t CCubicResampler::Interpolate(double x, const std::int16_t* v, int n) const {
    return n < 1 ? 0 : ToInt16(Cubic(x, v, n));
}

int CDoublingResampler::OutputCount(int n, double inRate, double outRate) const {
    if (ValidRates(n, inRate, outRate) && outRate == 2.0 * inRate) return ClampCount(2.0 * n);
    return CResampler::OutputCount(n, inRate, outRate);
}

int CDoublingResampler::OutputCount16(int n, double inRate, double outRate) const {
    if (ValidRates(n, inRate, outRate) && outRate == 2.0 * inRate) return ClampCount(2.0 * n);
    return CResampler::OutputCount16(n, inRate, outRate);
}

int CDoublingResampler::ResamplePart(const double* in, int n, double inRate, double* out, int first, int count,
                                     double outRate) const {
    if (!ValidRates(n, inRate, outRate) || outRate != 2.0 * inRate)
        return CResampler::ResamplePart(in, n, inRate, out, first, count, outRate);
    return Doubling(in, n, out, first, count, [](double v) { return v; });
}

int CDoublingResampler::Resample(const std::int16_t* in, int n, double inRate, std::int16_t* out, int capacity,
                                 double outRate) const {
    if (!ValidRates(n, inRate, outRate) || outRate != 2.0 * inRate)
        return CResampler::Resample(in, n, inRate, out, capacity, outRate);
    return Doubling(in, n, out, 0, capacity, ToInt16);
}

}  // namespace murtesk::dsp
