// The AVX2 kernels. This file alone is compiled for AVX2, and its code runs
// only where the processor has it; it uses nothing from outside but the
// kernels' own header, so that no AVX2 copy of a shared function can stand
// in for the plain one elsewhere.
#include "tree/kernels.hpp"

#ifdef MST_VECTOR_KERNELS

#include <immintrin.h>

#include "tree/kernel_body.hpp"

namespace {

struct Avx2 {
    using V = __m256i;
    static constexpr std::int32_t lanes = 8;
    static V set(std::int32_t a) { return _mm256_set1_epi32(a); }
    static V ramp(std::int32_t a)
    {
        return _mm256_add_epi32(_mm256_set1_epi32(a), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }
    static V load(const std::int32_t* p)
    {
        return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    }
    static void store(std::int32_t* p, V a) { _mm256_storeu_si256(reinterpret_cast<V*>(p), a); }
    static V add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V sub(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V gt(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
    static V eq(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V min(V a, V b) { return _mm256_min_epi32(a, b); }
    static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
    static V blend(V a, V b, V m) { return _mm256_blendv_epi8(a, b, m); }
    static std::uint32_t mask(V m)
    {
        return static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(m)));
    }
};

}  // namespace

const TreeKernels avx2Tree{offerBody<Avx2>, takenRowBody<Avx2>};

#endif
