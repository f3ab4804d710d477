// The lane kernel for any x86-64 processor: plain multiplies and adds, as CFilterDesign::Run computes them.
#include "LaneKernel.h"

typedef double V __attribute__((vector_size(32)));
#define MURTESK_LANES 4
#define MURTESK_FUSED 0
#define MURTESK_KERNEL Kernel::kBaseline
#define MURTESK_OPS kBaseline
#include "LaneKernel.inc"
