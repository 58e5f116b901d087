// An SSE2 register as the inner loops use it: four 32-bit lanes, or 16 bytes
// (the names ending in 8). A compare gives -1 or 0 a lane or a byte. SSE2
// has no 32-bit minimum and no blend of its own.
#pragma once

#include <cstdint>

#include <emmintrin.h>

namespace {

struct Sse2 {
    using V = __m128i;
    static constexpr std::int32_t lanes = 4;
    static constexpr int width = 16;
    static V load(const void* p) { return _mm_loadu_si128(static_cast<const V*>(p)); }
    static void store(void* p, V a) { _mm_storeu_si128(static_cast<V*>(p), a); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static V set(std::int32_t a) { return _mm_set1_epi32(a); }
    static V ramp(std::int32_t a)
    {
        return _mm_add_epi32(_mm_set1_epi32(a), _mm_setr_epi32(0, 1, 2, 3));
    }
    static V add(V a, V b) { return _mm_add_epi32(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi32(a, b); }
    static V gt(V a, V b) { return _mm_cmpgt_epi32(a, b); }
    static V eq(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V blend(V a, V b, V m)
    {
        return _mm_or_si128(_mm_and_si128(m, b), _mm_andnot_si128(m, a));
    }
    static V min(V a, V b) { return blend(a, b, gt(a, b)); }
    static std::uint32_t mask(V m)
    {
        return static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(m)));
    }
    static V set8(int a) { return _mm_set1_epi8(static_cast<char>(a)); }
    static V allButFirst8()
    {
        return _mm_insert_epi16(_mm_set1_epi8(-1), static_cast<short>(0xff00), 0);
    }
    static V add8(V a, V b) { return _mm_add_epi8(a, b); }
    static V sub8(V a, V b) { return _mm_sub_epi8(a, b); }
    static V minU8(V a, V b) { return _mm_min_epu8(a, b); }
    static V eq8(V a, V b) { return _mm_cmpeq_epi8(a, b); }
    static std::uint32_t mask8(V a) { return static_cast<std::uint16_t>(_mm_movemask_epi8(a)); }
};

}  // namespace
