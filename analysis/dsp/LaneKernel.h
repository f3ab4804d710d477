// The arithmetic core of every filter the chain runs: second-order sections in direct form II, several
// independent cascades side by side, one cascade (or one piece of a cascade) per vector lane. A run takes one
// section after another over a stretch of samples, three sections at a time interleaved, so that the
// recurrences of different sections fill the multiply-add units while each one waits for its own last value.
//
// Kernels: "baseline" (any x86-64) and "avx2" compute exactly what CFilterDesign::Run computes, to the bit;
// "fma" and "avx512" use fused multiply-adds (one rounding per multiply-add), so their results differ from the
// baseline's in the last bits. "fma8" runs the eight-lane arithmetic of "avx512" on AVX2 and FMA, for checking
// eight-lane runs on a processor without AVX-512; it computes the same bits as "fma" and "avx512". The best kernel
// the processor has is chosen at the first use; the environment variable MURTESK_DSP_KERNEL names another (one the
// processor cannot run is passed over).
#pragma once

#include <cstdint>

namespace murtesk::dsp {

inline constexpr int kMaxLanes = 8;

enum class Kernel : int { kBaseline, kAvx2, kFma, kFma8, kAvx512 };
inline constexpr int kKernelCount = 5;

// One section of a lane run: per lane the coefficients as run (y = b0 w0 + b1 w1 + b2 w2, w0 = x + a1 w1 + a2 w2),
// whether the input is squared first, and the section's memory. Lanes beyond a run's width are not read.
struct alignas(64) LaneSection {
    double a1[kMaxLanes], a2[kMaxLanes], b0[kMaxLanes], b1[kMaxLanes], b2[kMaxLanes];
    std::int64_t square[kMaxLanes];  // all bits set where the input is squared, else 0
    double w1[kMaxLanes], w2[kMaxLanes];
    bool squares;  // any lane squared
};

// The first section's input built row by row as the run goes: lane l of row t is prev[t * lanes + source[l]] for
// source[l] >= 0 (an output of the run before), and outside[t * stride] for source[l] < 0 (outside may be null
// when no source is negative). prev may be the run's out: a row is read before the run writes it.
struct LaneAssembly {
    const double* prev;
    const double* outside;
    long stride;
    const int* source;
};

struct KernelOps {
    Kernel kernel;
    int lanes;   // 4 or 8
    bool fused;  // fused multiply-adds
    // Runs sections[0 .. count) over m steps: in (or, when assembly is not null, the rows it builds) and out hold
    // m rows of `lanes` values (row t, lane l at t * lanes + l); scratch has room for m rows. in and scratch
    // overlap nothing else.
    void (*run)(LaneSection* sections, int count, const double* in, const LaneAssembly* assembly, double* out,
                double* scratch, int m);
    // The processor's peak for this kernel's arithmetic: `rounds` rounds of independent multiply-adds (as many in
    // flight as the units take), result in *sink. Returns the multiply-adds done.
    long long (*probe)(long rounds, double* sink);
};

const char* KernelName(Kernel k);
// Whether this processor can run k.
bool KernelAvailable(Kernel k);
// The kernel newly configured chains use: the best available, or the one MURTESK_DSP_KERNEL names.
const KernelOps& ActiveKernel();
// Makes k the active kernel (for tests and benchmarks); false, with nothing changed, when it is not available.
bool SelectKernel(Kernel k);
const KernelOps& KernelOpsOf(Kernel k);

// Keeps values too small for normal doubles at zero while it lives (on processors that can), so that decaying
// filter states of a silent signal cost no more than any other. Every thread that runs sections holds one, so
// that all of them compute alike.
class FlushDenormals {
public:
    FlushDenormals();
    ~FlushDenormals();
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
    unsigned m_saved = 0;
};

namespace kernels {
// Defined by the per-instruction-set translation units (each compiled for its own processor features).
extern const KernelOps kBaseline;
extern const KernelOps kAvx2;
extern const KernelOps kFma;
extern const KernelOps kFma8;
extern const KernelOps kAvx512;
}  // namespace kernels

}  // namespace murtesk::dsp
