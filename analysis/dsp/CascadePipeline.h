// Runs several filters in series as one pipeline of second-order sections. Section k works on sample t - k
// while section 0 takes sample t, so the sections of a cascade and the filters that follow it proceed side by
// side instead of waiting for each other; each section still sees its input values in order and computes
// exactly what running the filters one after another computes, to the bit.
#pragma once

#include "FilterDesign.h"

namespace murtesk::dsp {

class CCascadePipeline {
public:
    static constexpr int kMaxStages = 24;

    void Clear() { m_stages = 0, m_minCount = 0; }
    // Appends the sections of a designed filter whose memory is mem (kept by reference until Run returns).
    // With square each of this filter's input values is squared first. Returns the index of the filter's
    // last stage (for Run's tap), or -1 when the pipeline would grow beyond kMaxStages or f is not designed.
    int Add(const CFilterDesign& f, FilterMemory& mem, bool square = false);
    int stages() const { return m_stages; }

    // Runs n values of in through every stage, continuing from and updating the filter memories. The last
    // stage's output goes to out, and the output of stage tap (when tapOut is not null) to tapOut; either may
    // be in. Fails (false, nothing changed) when n is smaller than the order of a filter plus one.
    bool Run(const double* in, int n, double* out, int tap = -1, double* tapOut = nullptr);

private:
    int m_stages = 0;
    int m_minCount = 0;
    alignas(32) double m_a1[kMaxStages], m_a2[kMaxStages], m_b0[kMaxStages], m_b1[kMaxStages], m_b2[kMaxStages];
    bool m_square[kMaxStages];
    double* m_mem[kMaxStages];
};

// Keeps values too small for normal doubles at zero while it lives (on processors that can), so that decaying
// filter states of a silent signal cost no more than any other.
class FlushDenormals {
public:
    FlushDenormals();
    ~FlushDenormals();
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
    unsigned m_saved = 0;
};

}  // namespace murtesk::dsp
