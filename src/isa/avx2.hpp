// An AVX2 register as the inner loops use it: eight 32-bit lanes, or 32
// bytes (the names ending in 8). A compare gives -1 or 0 a lane or a byte.
// Only files compiled for AVX2 include it.
#pragma once

#include <cstdint>

#include <immintrin.h>

namespace {

struct Avx2 {
    using V = __m256i;
    static constexpr std::int32_t lanes = 8;
    static constexpr int width = 32;
    static V load(const void* p) { return _mm256_loadu_si256(static_cast<const V*>(p)); }
    static void store(void* p, V a) { _mm256_storeu_si256(static_cast<V*>(p), a); }
    static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
    static V set(std::int32_t a) { return _mm256_set1_epi32(a); }
    static V ramp(std::int32_t a)
    {
        return _mm256_add_epi32(_mm256_set1_epi32(a), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    }
    static V add(V a, V b) { return _mm256_add_epi32(a, b); }
    static V sub(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V gt(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
    static V eq(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V min(V a, V b) { return _mm256_min_epi32(a, b); }
    static V blend(V a, V b, V m) { return _mm256_blendv_epi8(a, b, m); }
    static std::uint32_t mask(V m)
    {
        return static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(m)));
    }
    static V set8(int a) { return _mm256_set1_epi8(static_cast<char>(a)); }
    static V allButFirst8()
    {
        return _mm256_insert_epi16(_mm256_set1_epi8(-1), static_cast<short>(0xff00), 0);
    }
    static V add8(V a, V b) { return _mm256_add_epi8(a, b); }
    static V sub8(V a, V b) { return _mm256_sub_epi8(a, b); }
    static V minU8(V a, V b) { return _mm256_min_epu8(a, b); }
    static V eq8(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
    static std::uint32_t mask8(V a) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(a)); }
};

}  // namespace
