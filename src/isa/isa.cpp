#include "isa/isa.hpp"

bool hasIsa(Isa isa)
{
#ifdef MST_VECTOR_KERNELS
    // Every x86-64 processor has SSE2; the AVX2 files are compiled for POPCNT too.
    __builtin_cpu_init();
    return isa != Isa::avx2 || (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"));
#else
    return isa == Isa::scalar;
#endif
}

std::vector<Isa> isas()
{
    std::vector<Isa> found;
    for (const Isa isa : {Isa::scalar, Isa::sse2, Isa::avx2})
        if (hasIsa(isa))
            found.push_back(isa);
    return found;
}
