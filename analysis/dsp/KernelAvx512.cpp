// The lane kernel on AVX-512 (this file is compiled for AVX-512F): eight lanes with fused multiply-adds.
#include <immintrin.h>

#include "LaneKernel.h"

typedef double V __attribute__((vector_size(64)));

static inline V FusedMultiplyAdd(V a, V b, V c) { return (V)_mm512_fmadd_pd((__m512d)a, (__m512d)b, (__m512d)c); }

#define MURTESK_LANES 8
#define MURTESK_FUSED 1
#define MURTESK_KERNEL Kernel::kAvx512
#define MURTESK_OPS kAvx512
#include "LaneKernel.inc"
