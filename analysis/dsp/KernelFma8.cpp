// The eight-lane kernel of AVX-512 built from AVX2 and FMA halves (this file is compiled for AVX2 and FMA): the same
// results as the AVX-512 kernel, for checking eight-lane runs on processors without AVX-512.
#include <immintrin.h>

#include "LaneKernel.h"

typedef double V __attribute__((vector_size(64)));
typedef double V4 __attribute__((vector_size(32)));

static inline V FusedMultiplyAdd(V a, V b, V c) {
    const V4 lo = (V4)_mm256_fmadd_pd((__m256d)__builtin_shufflevector(a, a, 0, 1, 2, 3),
                                      (__m256d)__builtin_shufflevector(b, b, 0, 1, 2, 3),
                                      (__m256d)__builtin_shufflevector(c, c, 0, 1, 2, 3));
    const V4 hi = (V4)_mm256_fmadd_pd((__m256d)__builtin_shufflevector(a, a, 4, 5, 6, 7),
                                      (__m256d)__builtin_shufflevector(b, b, 4, 5, 6, 7),
                                      (__m256d)__builtin_shufflevector(c, c, 4, 5, 6, 7));
    return __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7);
}

#define MURTESK_LANES 8
#define MURTESK_FUSED 1
#define MURTESK_KERNEL Kernel::kFma8
#define MURTESK_OPS kFma8
#include "LaneKernel.inc"
