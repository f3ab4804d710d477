#include "CascadePipeline.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace murtesk::dsp {

namespace {

typedef double v4 __attribute__((vector_size(32), __may_alias__));
typedef long long i4 __attribute__((vector_size(32), __may_alias__));

#if defined(MURTESK_DSP_CLONES)
#define MURTESK_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MURTESK_CLONES
#endif

#if defined(__clang__)
#define MURTESK_UNROLL _Pragma("unroll")
#else
#define MURTESK_UNROLL _Pragma("GCC unroll 8")
#endif

struct Lanes {
    alignas(32) double w1[CCascadePipeline::kMaxStages];
    alignas(32) double w2[CCascadePipeline::kMaxStages];
    alignas(32) double y[CCascadePipeline::kMaxStages];
    alignas(32) double a1[CCascadePipeline::kMaxStages], a2[CCascadePipeline::kMaxStages],
        b0[CCascadePipeline::kMaxStages], b1[CCascadePipeline::kMaxStages], b2[CCascadePipeline::kMaxStages];
    alignas(32) long long sq[CCascadePipeline::kMaxStages];  // all ones where the input is squared
};

// One step of the stages lo..hi (descending, so each reads its predecessor's previous output).
inline void ScalarStep(Lanes& s, double x, int lo, int hi) {
    for (int k = hi; k >= lo; --k) {
        double in = k == 0 ? x : s.y[k - 1];
        if (s.sq[k]) in = in * in;
        const double w0 = in + (s.a1[k] * s.w1[k] + s.a2[k] * s.w2[k]);
        s.y[k] = s.b0[k] * w0 + (s.b1[k] * s.w1[k] + s.b2[k] * s.w2[k]);
        s.w2[k] = s.w1[k];
        s.w1[k] = w0;
    }
}

// Steps t0..t1-1 with every stage busy (t - stage within the data for all stages), NV lanes of four.
template <int NV>
[[gnu::always_inline]] inline void FullSteps(Lanes& s, const double* in, int t0, int t1, int last, double* out,
                                             int tap, double* tapOut) {
    v4 w1[NV], w2[NV], y[NV], a1[NV], a2[NV], b0[NV], b1[NV], b2[NV];
    i4 sq[NV];
    bool anySq[NV];
    for (int j = 0; j < NV; ++j) {
        std::memcpy(&w1[j], s.w1 + 4 * j, sizeof(v4));
        std::memcpy(&w2[j], s.w2 + 4 * j, sizeof(v4));
        std::memcpy(&y[j], s.y + 4 * j, sizeof(v4));
        std::memcpy(&a1[j], s.a1 + 4 * j, sizeof(v4));
        std::memcpy(&a2[j], s.a2 + 4 * j, sizeof(v4));
        std::memcpy(&b0[j], s.b0 + 4 * j, sizeof(v4));
        std::memcpy(&b1[j], s.b1 + 4 * j, sizeof(v4));
        std::memcpy(&b2[j], s.b2 + 4 * j, sizeof(v4));
        std::memcpy(&sq[j], s.sq + 4 * j, sizeof(i4));
        anySq[j] = s.sq[4 * j] || s.sq[4 * j + 1] || s.sq[4 * j + 2] || s.sq[4 * j + 3];
    }
    const v4 one = {1.0, 1.0, 1.0, 1.0};
    const int lastV = last >> 2, lastL = last & 3;
    const int tapV = tap >> 2, tapL = tap & 3;
    for (int t = t0; t < t1; ++t) {
        const double x = in[t];
        v4 prev = {x, x, x, x};
        MURTESK_UNROLL
        for (int j = 0; j < NV; ++j) {
            v4 v = __builtin_shufflevector(prev, y[j], 3, 4, 5, 6);
            prev = y[j];
            if (anySq[j]) v = v * (v4)(((i4)v & sq[j]) | ((i4)one & ~sq[j]));
            const v4 w0 = v + (a1[j] * w1[j] + a2[j] * w2[j]);
            y[j] = b0[j] * w0 + (b1[j] * w1[j] + b2[j] * w2[j]);
            w2[j] = w1[j];
            w1[j] = w0;
        }
        out[t - last] = y[lastV][lastL];
        if (tapOut) tapOut[t - tap] = y[tapV][tapL];
    }
    for (int j = 0; j < NV; ++j) {
        std::memcpy(s.w1 + 4 * j, &w1[j], sizeof(v4));
        std::memcpy(s.w2 + 4 * j, &w2[j], sizeof(v4));
        std::memcpy(s.y + 4 * j, &y[j], sizeof(v4));
    }
}

#define MURTESK_FULL_STEPS(NV)                                                                               \
    MURTESK_CLONES void FullSteps##NV(Lanes& s, const double* in, int t0, int t1, int last, double* out,    \
                                      int tap, double* tapOut) {                                            \
        FullSteps<NV>(s, in, t0, t1, last, out, tap, tapOut);                                               \
    }
MURTESK_FULL_STEPS(1)
MURTESK_FULL_STEPS(2)
MURTESK_FULL_STEPS(3)
MURTESK_FULL_STEPS(4)
MURTESK_FULL_STEPS(5)
MURTESK_FULL_STEPS(6)
#undef MURTESK_FULL_STEPS

}  // namespace

int CCascadePipeline::Add(const CFilterDesign& f, FilterMemory& mem, bool square) {
    const int ns = f.sections();
    if (f.order() < 1 || m_stages + ns > kMaxStages) return -1;
    for (int k = 0; k < ns; ++k) {
        const int i = m_stages + k;
        m_a1[i] = f.a1(k);
        m_a2[i] = f.a2(k);
        m_b0[i] = f.b0(k);
        m_b1[i] = f.b1(k);
        m_b2[i] = f.b2(k);
        m_square[i] = square && k == 0;
        m_mem[i] = &mem[3 * k];
    }
    m_stages += ns;
    m_minCount = std::max(m_minCount, f.order() + 1);
    return m_stages - 1;
}

bool CCascadePipeline::Run(const double* in, int n, double* out, int tap, double* tapOut) {
    const int k = m_stages;
    if (k < 1 || n < m_minCount || n < 1) return false;
    if (tap < 0 || tap >= k) tapOut = nullptr;
    Lanes s{};
    for (int i = 0; i < k; ++i) {
        s.w1[i] = m_mem[i][1];
        s.w2[i] = m_mem[i][2];
        s.a1[i] = m_a1[i];
        s.a2[i] = m_a2[i];
        s.b0[i] = m_b0[i];
        s.b1[i] = m_b1[i];
        s.b2[i] = m_b2[i];
        s.sq[i] = m_square[i] ? -1LL : 0LL;
    }
    // Unused lanes have zero coefficients: they pass nothing on and stay bounded.
    const int last = k - 1;
    auto emit = [&](int t, int lo, int hi) {
        if (hi == last) out[t - last] = s.y[last];
        if (tapOut && tap >= lo && tap <= hi) tapOut[t - tap] = s.y[tap];
    };
    const int total = n + k - 1;
    // Filling: stage k starts at step k. Full: every stage busy. Draining: stage k ends at step n - 1 + k.
    const int fullBegin = k - 1, fullEnd = n;
    int t = 0;
    for (; t < std::min(fullBegin, total); ++t) {
        const int lo = std::max(0, t - n + 1), hi = std::min(last, t);
        ScalarStep(s, t < n ? in[t] : 0.0, lo, hi);
        emit(t, lo, hi);
    }
    if (t < fullEnd) {
        // The output stores lag their inputs, so in-place running is safe: step t reads in[t] and writes
        // out[t - last] and tapOut[t - tap] only.
        switch ((k + 3) / 4) {
        case 1: FullSteps1(s, in, t, fullEnd, last, out, tap, tapOut); break;
        case 2: FullSteps2(s, in, t, fullEnd, last, out, tap, tapOut); break;
        case 3: FullSteps3(s, in, t, fullEnd, last, out, tap, tapOut); break;
        case 4: FullSteps4(s, in, t, fullEnd, last, out, tap, tapOut); break;
        case 5: FullSteps5(s, in, t, fullEnd, last, out, tap, tapOut); break;
        default: FullSteps6(s, in, t, fullEnd, last, out, tap, tapOut); break;
        }
        t = fullEnd;
    }
    for (; t < total; ++t) {
        const int lo = std::max(0, t - n + 1), hi = std::min(last, t);
        ScalarStep(s, t < n ? in[t] : 0.0, lo, hi);
        emit(t, lo, hi);
    }
    for (int i = 0; i < k; ++i) {
        m_mem[i][0] = s.w1[i];
        m_mem[i][1] = s.w1[i];
        m_mem[i][2] = s.w2[i];
    }
    return true;
}

FlushDenormals::FlushDenormals() {
#if defined(__SSE2__)
    m_saved = _mm_getcsr();
    _mm_setcsr(m_saved | 0x8040u);  // flush to zero, denormals are zero
#endif
}

FlushDenormals::~FlushDenormals() {
#if defined(__SSE2__)
    _mm_setcsr(m_saved);
#endif
}

}  // namespace murtesk::dsp
