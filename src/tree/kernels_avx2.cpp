// The AVX2 kernels. This file alone is compiled for AVX2, and its code runs
// only where the processor has it; it uses nothing from outside but the
// kernels' own headers, so that no AVX2 copy of a shared function can stand
// in for the plain one elsewhere.
#include "tree/kernels.hpp"

#ifdef MST_VECTOR_KERNELS

#include "isa/avx2.hpp"
#include "tree/kernel_body.hpp"

const TreeKernels& avx2Tree()
{
    static constexpr TreeKernels kernels{offerBody<Avx2>, takenRowBody<Avx2>};
    return kernels;
}

#endif
