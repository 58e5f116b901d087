// The SSE2 block kernel; AVX2's is in input_blocks_avx2.cpp, compiled for it.
#include "dialogue/reader/input_blocks.hpp"

#ifdef MST_VECTOR_KERNELS

#include <emmintrin.h>

#include "dialogue/reader/input_blocks_body.hpp"

namespace {

struct Sse2 {
    using V = __m128i;
    static constexpr int width = 16;
    static V set(int a) { return _mm_set1_epi8(static_cast<char>(a)); }
    static V allButFirst()
    {
        return _mm_insert_epi16(_mm_set1_epi8(-1), static_cast<short>(0xff00), 0);
    }
    static V load(const char* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(unsigned char* p, V a) { _mm_store_si128(reinterpret_cast<V*>(p), a); }
    static V add(V a, V b) { return _mm_add_epi8(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi8(a, b); }
    static V min(V a, V b) { return _mm_min_epu8(a, b); }
    static V eq(V a, V b) { return _mm_cmpeq_epi8(a, b); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static std::uint32_t mask(V a) { return static_cast<std::uint16_t>(_mm_movemask_epi8(a)); }
};

}  // namespace

std::int32_t takeSse2(const char*& p, std::int32_t* row, std::int32_t count, std::int32_t inf)
{
    Block b;
    sortBlock<Sse2>(p, b);
    const std::int64_t ends = numberEnds(b);
    return ends < 0 ? -1 : takeEach(b, static_cast<std::uint64_t>(ends), p, row, count, inf);
}

#endif
