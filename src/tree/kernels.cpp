// The scalar and SSE2 kernels; AVX2's are in kernels_avx2.cpp, compiled for it.
#include "tree/kernels.hpp"

#include "tree/kernel_body.hpp"

#ifdef MST_VECTOR_KERNELS
#include <emmintrin.h>
#endif

namespace {

// One lane: plain integers, a compare giving -1 or 0.
struct Scalar {
    using V = std::int32_t;
    static constexpr std::int32_t lanes = 1;
    static V set(std::int32_t a) { return a; }
    static V ramp(std::int32_t a) { return a; }
    static V load(const std::int32_t* p) { return *p; }
    static void store(std::int32_t* p, V a) { *p = a; }
    static V add(V a, V b) { return a + b; }
    static V sub(V a, V b) { return a - b; }
    static V gt(V a, V b) { return -static_cast<V>(a > b); }
    static V eq(V a, V b) { return -static_cast<V>(a == b); }
    static V min(V a, V b) { return a < b ? a : b; }
    static V bitAnd(V a, V b) { return a & b; }
    static V bitOr(V a, V b) { return a | b; }
    static V blend(V a, V b, V m) { return (a & ~m) | (b & m); }
    static std::uint32_t mask(V m) { return static_cast<std::uint32_t>(m) & 1u; }
};

#ifdef MST_VECTOR_KERNELS
// Four lanes of SSE2, which has no 32-bit minimum and no blend of its own.
struct Sse2 {
    using V = __m128i;
    static constexpr std::int32_t lanes = 4;
    static V set(std::int32_t a) { return _mm_set1_epi32(a); }
    static V ramp(std::int32_t a)
    {
        return _mm_add_epi32(_mm_set1_epi32(a), _mm_setr_epi32(0, 1, 2, 3));
    }
    static V load(const std::int32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(std::int32_t* p, V a) { _mm_storeu_si128(reinterpret_cast<V*>(p), a); }
    static V add(V a, V b) { return _mm_add_epi32(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi32(a, b); }
    static V gt(V a, V b) { return _mm_cmpgt_epi32(a, b); }
    static V eq(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static V blend(V a, V b, V m)
    {
        return _mm_or_si128(_mm_and_si128(m, b), _mm_andnot_si128(m, a));
    }
    static V min(V a, V b) { return blend(a, b, gt(a, b)); }
    static std::uint32_t mask(V m)
    {
        return static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(m)));
    }
};
#endif

}  // namespace

const TreeKernels scalarTree{offerBody<Scalar>, takenRowBody<Scalar>};
#ifdef MST_VECTOR_KERNELS
const TreeKernels sse2Tree{offerBody<Sse2>, takenRowBody<Sse2>};
#endif

RowOffer offerRow = offerBody<Scalar>;
BitsTaker takenBits = takenRowBody<Scalar>;
