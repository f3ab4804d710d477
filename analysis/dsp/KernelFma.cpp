// The lane kernel on AVX2 with fused multiply-adds (this file is compiled for AVX2 and FMA), four lanes.
#include <immintrin.h>

#include "LaneKernel.h"

typedef double V __attribute__((vector_size(32)));

static inline V FusedMultiplyAdd(V a, V b, V c) { return (V)_mm256_fmadd_pd((__m256d)a, (__m256d)b, (__m256d)c); }

#define MURTESK_LANES 4
#define MURTESK_FUSED 1
#define MURTESK_KERNEL Kernel::kFma
#define MURTESK_OPS kFma
#include "LaneKernel.inc"
