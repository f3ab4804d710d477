#include "LaneKernel.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace murtesk::dsp {

namespace {

const KernelOps* const kAll[kKernelCount] = {&kernels::kBaseline, &kernels::kAvx2, &kernels::kFma, &kernels::kFma8,
                                             &kernels::kAvx512};
const char* const kNames[kKernelCount] = {"baseline", "avx2", "fma", "fma8", "avx512"};

bool CpuHas(Kernel k) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    switch (k) {
    case Kernel::kBaseline: return true;
    case Kernel::kAvx2: return __builtin_cpu_supports("avx2");
    case Kernel::kFma:
    case Kernel::kFma8: return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case Kernel::kAvx512: return __builtin_cpu_supports("avx512f");
    }
    return false;
#else
    return k == Kernel::kBaseline;
#endif
}

const KernelOps* Initial() {
    if (const char* wanted = std::getenv("MURTESK_DSP_KERNEL")) {
        for (int i = 0; i < kKernelCount; ++i)
            if (std::strcmp(wanted, kNames[i]) == 0 && CpuHas(static_cast<Kernel>(i))) return kAll[i];
    }
    for (Kernel k : {Kernel::kAvx512, Kernel::kFma, Kernel::kAvx2})
        if (CpuHas(k)) return kAll[static_cast<int>(k)];
    return &kernels::kBaseline;
}

std::atomic<const KernelOps*>& Active() {
    static std::atomic<const KernelOps*> active{Initial()};
    return active;
}

}  // namespace

const char* KernelName(Kernel k) { return kNames[static_cast<int>(k)]; }

bool KernelAvailable(Kernel k) { return CpuHas(k); }

const KernelOps& ActiveKernel() { return *Active().load(std::memory_order_acquire); }

const KernelOps& KernelOpsOf(Kernel k) { return *kAll[static_cast<int>(k)]; }

bool SelectKernel(Kernel k) {
    if (!CpuHas(k)) return false;
    Active().store(kAll[static_cast<int>(k)], std::memory_order_release);
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
