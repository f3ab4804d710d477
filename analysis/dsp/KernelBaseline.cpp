// The lane kernel for any x86-64 processor: plain multiplies and adds, as CFilterDesign::Run computes them, in the
// two lanes of its 128-bit registers.
#include "LaneKernel.h"

typedef double V __attribute__((vector_size(16)));
#define MURTESK_LANES 2
#define MURTESK_FUSED 0
#define MURTESK_KERNEL Kernel::kBaseline
#define MURTESK_OPS kBaseline
#include "LaneKernel.inc"
