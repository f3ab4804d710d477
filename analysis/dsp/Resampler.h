// Rate changes of sample blocks and level series: linear and four-point cubic interpolation, and an exact
// doubling with a half-sample kernel. The band-level chain uses them to raise a block before the A and C
// weightings, to bring a block to 1000 Hz for the vibration weightings, to thin band signals and to turn a
// time-weighted power signal into level steps.
#pragma once

#include <cstdint>
#include <vector>

namespace murtesk::dsp {

class CResampler {
public:
    virtual ~CResampler() = default;

    // Number of output values for n input values: n / d rounded half up for doubles, truncated for 16-bit.
    virtual int OutputCount(int n, double inRate, double outRate) const;
    virtual int OutputCount16(int n, double inRate, double outRate) const;

    // Resample n values from inRate to outRate into out, writing at most capacity values; returns the number
    // written (the smaller of capacity and OutputCount). Output 0 is input 0; output i the interpolation at
    // position i × inRate / outRate. Nothing is written for n < 1 or rates not above 0.
    int Resample(const double* in, int n, double inRate, double* out, int capacity, double outRate) const;
    virtual int Resample(const std::int16_t* in, int n, double inRate, std::int16_t* out, int capacity,
                         double outRate) const;

    // Output values first .. first + count - 1 of the same resampling into out[0 .. count - 1], so that a long
    // output can be produced piece by piece; returns the number written (none from OutputCount on).
    virtual int ResamplePart(const double* in, int n, double inRate, double* out, int first, int count,
                             double outRate) const;

    // The whole output, sized by OutputCount.
    std::vector<double> Resample(const std::vector<double>& in, double inRate, double outRate) const;

    // Interpolation at the fractional position x over n values.
    virtual double Interpolate(double x, const double* v, int n) const = 0;
    virtual std::int16_t Interpolate(double x, const std::int16_t* v, int n) const = 0;
};

class CLinearResampler : public CResampler {
public:
    double Interpolate(double x, const double* v, int n) const override;
    std::int16_t Interpolate(double x, const std::int16_t* v, int n) const override;
};

class CCubicResampler : public CResampler {
public:
    double Interpolate(double x, const double* v, int n) const override;
    std::int16_t Interpolate(double x, const std::int16_t* v, int n) const override;
};

// Exactly twice the rate: the half-sample kernel; any other ratio: the cubic kernel.
class CDoublingResampler : public CCubicResampler {
public:
    int OutputCount(int n, double inRate, double outRate) const override;
    int OutputCount16(int n, double inRate, double outRate) const override;
    int ResamplePart(const double* in, int n, double inRate, double* out, int first, int count,
                     double outRate) const override;
    int Resample(const std::int16_t* in, int n, double inRate, std::int16_t* out, int capacity,
                 double outRate) const override;
    using CResampler::Resample;
};

}  // namespace murtesk::dsp
