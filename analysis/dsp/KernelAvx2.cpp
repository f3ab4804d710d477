// The lane kernel on AVX2 (this file is compiled for AVX2): the baseline's arithmetic in 256-bit vectors.
#include "LaneKernel.h"

typedef double V __attribute__((vector_size(32)));
#define MURTESK_LANES 4
#define MURTESK_FUSED 0
#define MURTESK_KERNEL Kernel::kAvx2
#define MURTESK_OPS kAvx2
#include "LaneKernel.inc"
